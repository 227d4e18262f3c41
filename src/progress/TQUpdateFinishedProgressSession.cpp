#include "progress/TQUpdateFinishedProgressSession.h"

#include "model/TQUtility.h"
#include "platform/system/TQLog.h"

namespace tavrel {

QString TQUpdateFinishedProgressSession::humanReadableName() const
{
    const QString now =
        TQUtility::sharedShortDateTimeFormatter().stringFromDate(QDateTime::currentDateTime());
    return detail::formatLogMessage(localizedString(QStringLiteral("UpdatedAt")).toUtf8().constData(), {now});
}

} // namespace tavrel
