#include "platform/runtime/MailAddress.h"

#include <QRegularExpression>

namespace tavrel {

bool MailAddress::isValidMailAddress(const QString& text)
{
    // Top-level domains are not limited to four letters ("museum", "company").
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}")));
    return pattern.match(text).hasMatch();
}

} // namespace tavrel
