#include "platform/runtime/Error.h"

namespace tavrel {

const QString Error::kLocalizedDescriptionKey = QStringLiteral("NSLocalizedDescription");
const QString Error::kLocalizedFailureReasonKey = QStringLiteral("NSLocalizedFailureReason");
const QString Error::kLocalizedRecoverySuggestionKey = QStringLiteral("NSLocalizedRecoverySuggestion");
const QString Error::kUnderlyingErrorKey = QStringLiteral("NSUnderlyingError");
const QString Error::kPOSIXErrorDomain = QStringLiteral("NSPOSIXErrorDomain");

Error::Error(QString domain, qint64 code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo))
{
}

QString Error::localizedDescription() const
{
    const QString text = m_userInfo.value(kLocalizedDescriptionKey).toString();
    if (!text.isEmpty())
        return text;
    return QStringLiteral("The operation couldn't be completed. (%1 error %2.)").arg(m_domain).arg(m_code);
}

QString Error::localizedFailureReason() const
{
    return m_userInfo.value(kLocalizedFailureReasonKey).toString();
}

QString Error::localizedRecoverySuggestion() const
{
    return m_userInfo.value(kLocalizedRecoverySuggestionKey).toString();
}

QString Error::description() const
{
    return QStringLiteral("Error Domain=%1 Code=%2 \"%3\"").arg(m_domain).arg(m_code).arg(localizedDescription());
}

} // namespace tavrel
