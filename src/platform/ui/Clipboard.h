#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace tavrel {

// The general clipboard ("the general pasteboard"): each write replaces what it held.
class Clipboard
{
public:
    // Links as a URI list and as text, one per line, so browsers, file managers and text fields
    // all take them.
    static void writeURLs(const QList<QUrl>& urls);
    static void writeText(const QString& text);
    static QString text();
    static QList<QUrl> urls();
    static void clear();
};

} // namespace tavrel
