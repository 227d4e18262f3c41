#pragma once

#include "platform/runtime/Error.h"
#include "platform/runtime/Exception.h"

namespace tavrel {

// Raised when the accounts cannot be stored or read back; carries the data manager's error.
class WXDataManagerException : public Exception
{
public:
    static inline const QString kPersistenceExceptionName =
        QStringLiteral("WXDataManagerPersistenceException");
    static inline const QString kRestoreExceptionName = QStringLiteral("WXDataManagerRestoreException");
    static inline const QString kPersistenceReason =
        QStringLiteral("Impossible to persist accounts into Data Manager");
    static inline const QString kRestoreReason =
        QStringLiteral("Impossible to restore existing accounts from Data Manager");

    WXDataManagerException(QString name, QString reason, Error error)
        : Exception(std::move(name), std::move(reason)), m_error(std::move(error))
    {}

    const Error& error() const { return m_error; }
    const QVariantMap& userInfo() const { return m_error.userInfo(); }

private:
    Error m_error;
};

} // namespace tavrel
