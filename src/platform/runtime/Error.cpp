#include "platform/runtime/Error.h"

namespace tavrel {

const QString Error::kLocalizedDescriptionKey = QStringLiteral("NSLocalizedDescription");
const QString Error::kLocalizedFailureReasonKey = QStringLiteral("NSLocalizedFailureReason");
const QString Error::kLocalizedRecoverySuggestionKey = QStringLiteral("NSLocalizedRecoverySuggestion");
const QString Error::kUnderlyingErrorKey = QStringLiteral("NSUnderlyingError");
const QString Error::kPOSIXErrorDomain = QStringLiteral("NSPOSIXErrorDomain");

Error::Error(QString domain, qint64 code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo))
{}

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
    return QStringLiteral("Error Domain=%1 Code=%2 \"%3\"")
        .arg(m_domain)
        .arg(m_code)
        .arg(localizedDescription());
}

Error Error::errorWithError(const Error& error, const QString& domain, qint64 code)
{
    if (error.isNull())
        return Error();
    if (domain.isNull())
        return error;
    // The description always exists (it falls back to a text naming the old domain and code).
    QVariantMap userInfo{{kLocalizedDescriptionKey, error.localizedDescription()}};
    if (const QString reason = error.localizedFailureReason(); !reason.isEmpty())
        userInfo.insert(kLocalizedFailureReasonKey, reason);
    if (const QString suggestion = error.localizedRecoverySuggestion(); !suggestion.isEmpty())
        userInfo.insert(kLocalizedRecoverySuggestionKey, suggestion);
    return Error(domain, code, userInfo);
}

Error Error::errorWithError(const Error& error, const QString& localizedDescription)
{
    if (localizedDescription.isNull() || error.isNull())
        return error;
    Error made = error;
    made.setUserInfoValue(kLocalizedDescriptionKey, localizedDescription);
    return made;
}

} // namespace tavrel
