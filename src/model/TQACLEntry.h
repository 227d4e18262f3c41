#pragma once

#include "platform/gdata/GDataEntryACL.h"

#include <QString>

namespace tavrel {

// One person or group a document is shared with, as the sharing views build it. Turned into a service
// access-list entry by the permission actions; never built from one.
class TQACLEntry
{
public:
    enum Type : qint32 { User = 0, Group = 1 };
    enum Role : qint32 { Reader = 0, Commenter = 1, Writer = 2, Owner = 3 };

    TQACLEntry() = default;
    TQACLEntry(qint32 type, qint32 role, QString value)
        : m_type(type), m_role(role), m_value(std::move(value))
    {}

    qint32 type() const { return m_type; }
    void setType(qint32 type) { m_type = type; }
    qint32 role() const { return m_role; }
    void setRole(qint32 role) { m_role = role; }
    // The person's or group's mail address.
    QString value() const { return m_value; }
    void setValue(const QString& value) { m_value = value; }
    QString displayName() const { return m_displayName; }
    void setDisplayName(const QString& name) { m_displayName = name; }

    // "reader", "commenter", "writer", "owner"; "" for any other number.
    QString stringRole() const;
    // "user", "group"; "" for any other number.
    QString stringType() const;
    QString description() const;

    // A new service entry. The service knows no commenter role: a commenter is a reader with the
    // additional role "commenter".
    GDataEntryACLPtr gdataEntry() const;

    static QString stringForRole(qint32 role);
    static QString stringForType(qint32 type);

private:
    qint32 m_type = User;
    qint32 m_role = Reader;
    QString m_value;
    QString m_displayName;
};

} // namespace tavrel
