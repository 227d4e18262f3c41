#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <pugixml.hpp>

namespace tavrel::localservice {

// What an incoming document entry says.
struct DocInput
{
    QString kind;
    QString title;
    bool hasTitle = false;
    QSet<QString> labels;
    bool hasWritersCanInvite = false;
    bool writersCanInvite = true;
    QString etag;
    QString id; // the rid named by <id> or gd:resourceId
    QList<QByteArray> extras;

    static DocInput read(const pugi::xml_node& entry);
};

} // namespace tavrel::localservice
