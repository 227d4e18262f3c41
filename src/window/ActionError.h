#pragma once

#include "platform/runtime/Error.h"
#include "platform/ui/MessageNames.h"

#include <QObject>
#include <QVariant>

namespace tavrel {

// An action's error as the sender of "processActionError:", which travels up the responder chain to
// the application delegate (commands carry a QObject sender). The receiver reads it with
// error(sender), or as the sender's property "error" (a QVariant of Error).
class ActionError : public QObject
{
    Q_OBJECT
    Q_PROPERTY(tavrel::Error error READ error CONSTANT)
public:
    static inline const QString kProcessActionErrorCommand = Commands::processActionError;

    explicit ActionError(Error error, QObject* parent = nullptr) : QObject(parent), m_error(std::move(error))
    {}

    Error error() const { return m_error; }

    // The error of an action's answer: an Error that is not null; an absent or null one is no error.
    static Error errorFromValue(const QVariant& value);
    // The error a "processActionError:" sender carries; null for any other sender.
    static Error error(const QObject* sender);

    // Logs "E: Got error on requested operation: %@" and sends "processActionError:" up the responder
    // chain with the error; answers whether a responder took it. A null error does nothing.
    static bool processActionError(const Error& error);

private:
    Error m_error;
};

} // namespace tavrel
