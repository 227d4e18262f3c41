#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace tavrel {

// An error as a value: a domain, a code and a dictionary of details. A default-made Error is null
// and stands for "no error".
class Error
{
public:
    static const QString kLocalizedDescriptionKey;        // "NSLocalizedDescription"
    static const QString kLocalizedFailureReasonKey;      // "NSLocalizedFailureReason"
    static const QString kLocalizedRecoverySuggestionKey; // "NSLocalizedRecoverySuggestion"
    static const QString kUnderlyingErrorKey;             // "NSUnderlyingError"
    static const QString kPOSIXErrorDomain;               // "NSPOSIXErrorDomain"

    Error() = default;
    Error(QString domain, qint64 code, QVariantMap userInfo = {});

    bool isNull() const { return m_domain.isEmpty() && m_code == 0 && m_userInfo.isEmpty(); }
    explicit operator bool() const { return !isNull(); }

    const QString& domain() const { return m_domain; }
    qint64 code() const { return m_code; }
    const QVariantMap& userInfo() const { return m_userInfo; }
    void setUserInfoValue(const QString& key, const QVariant& value) { m_userInfo.insert(key, value); }

    // The description falls back to a generic text naming domain and code, as users still need a line.
    QString localizedDescription() const;
    QString localizedFailureReason() const;
    QString localizedRecoverySuggestion() const;
    // Domain, code and description in one line, for logs.
    QString description() const;

    // The error re-made in another domain and code, keeping only its localized description, failure
    // reason and recovery suggestion (never its other details). A null error gives a null error; a
    // null domain gives the error unchanged.
    static Error errorWithError(const Error& error, const QString& domain, qint64 code);
    // The error with another localized description. A null description gives the error unchanged.
    static Error errorWithError(const Error& error, const QString& localizedDescription);

    bool operator==(const Error& other) const
    {
        return m_domain == other.m_domain && m_code == other.m_code && m_userInfo == other.m_userInfo;
    }

private:
    QString m_domain;
    qint64 m_code = 0;
    QVariantMap m_userInfo;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::Error)
