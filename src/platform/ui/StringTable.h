#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QMenu;
class QWidget;

namespace tavrel {

// Every user-visible text, looked up by the design's key ("TrashItemTitle", "OnlyME") in the shipped
// table of the language (resources/strings/<language>.json, English written by us). Formats carry
// positional arguments %1, %2 ... (the design's %@ and %lu in order). A key missing from the table
// shows as the key itself and is logged once.
//
// The table "xib" holds translations of the titles that views and menus carry as their own text;
// a title without one stays as it is (see localizeView / localizeMenu).
class StringTable
{
public:
    static inline const QString kDefaultTable = QStringLiteral("Localizable");
    static inline const QString kInterfaceTable = QStringLiteral("xib");

    // The text of the key in the default table.
    static QString text(const QString& key);
    // The text of the key in a table; for the interface table a missing key answers the key unlogged.
    static QString text(const QString& key, const QString& table);
    // The text of the key with %1, %2 ... replaced by the arguments (numbers as written by QVariant).
    static QString format(const QString& key, const QVariantList& arguments);
    template <typename... Args> static QString format(const QString& key, const Args&... arguments)
    {
        return format(key, QVariantList{QVariant::fromValue(arguments)...});
    }
    // Replaces %1 ... %9 in a text in one pass (arguments containing "%2" stay as they are).
    static QString substitute(const QString& text, const QStringList& arguments);

    static bool contains(const QString& key, const QString& table = kDefaultTable);
    static QStringList keys(const QString& table = kDefaultTable);

    // The localisation of views and menus loaded with their own titles (the interface table): the
    // title of every widget that has one, of its menu and of its children, and of every menu item
    // and submenu, replaced by its translation.
    static void localizeView(QWidget* view);
    static void localizeMenu(QMenu* menu);
};

} // namespace tavrel
