#pragma once

#include <QString>

namespace tavrel {

// An author or last modifier: name and mail address.
class GDataPerson
{
public:
    GDataPerson() = default;
    GDataPerson(QString name, QString email) : m_name(std::move(name)), m_email(std::move(email)) {}

    const QString& name() const { return m_name; }
    const QString& email() const { return m_email; }

    bool operator==(const GDataPerson& other) const = default;

private:
    QString m_name;
    QString m_email;
};

} // namespace tavrel
