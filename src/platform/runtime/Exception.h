#pragma once

#include <QString>
#include <exception>
#include <string>

namespace tavrel {

// A named exception, raised only where the system's design raises one; never let it cross the event loop.
class Exception : public std::exception
{
public:
    Exception(QString name, QString reason)
        : m_name(std::move(name)), m_reason(std::move(reason)),
          m_what((m_name + QStringLiteral(": ") + m_reason).toStdString())
    {}

    const QString& name() const { return m_name; }
    const QString& reason() const { return m_reason; }
    const char* what() const noexcept override { return m_what.c_str(); }

    static inline const QString kInvalidArgumentException = QStringLiteral("NSInvalidArgumentException");
    static inline const QString kInternalInconsistencyException =
        QStringLiteral("NSInternalInconsistencyException");
    static inline const QString kGenericException = QStringLiteral("NSGenericException");

private:
    QString m_name;
    QString m_reason;
    std::string m_what;
};

} // namespace tavrel
