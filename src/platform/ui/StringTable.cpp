#include "platform/ui/StringTable.h"

#include "platform/ui/InterfaceLog.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMutex>
#include <QPushButton>
#include <QSet>
#include <QToolButton>
#include <QWidget>

namespace tavrel {

namespace {

using Table = QHash<QString, QString>;

struct Tables
{
    QHash<QString, Table> tables;
    QSet<QString> reportedMissing;
    QMutex mutex;
};

QHash<QString, Table> load(const QString& path)
{
    QHash<QString, Table> tables;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tables;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject()) {
        InterfaceLog::write(
            QStringLiteral("E: Cannot read the strings table %1: %2").arg(path, error.errorString()));
        return tables;
    }
    const QJsonObject root = document.object();
    for (auto table = root.begin(); table != root.end(); ++table) {
        const QJsonObject entries = table.value().toObject();
        Table& texts = tables[table.key()];
        for (auto entry = entries.begin(); entry != entries.end(); ++entry)
            texts.insert(entry.key(), entry.value().toString());
    }
    return tables;
}

Tables& tables()
{
    static Tables* t = [] {
        auto* made = new Tables;
        // English is the base; a table of the user's language, when we ship one, overrides it.
        made->tables = load(QStringLiteral(":/strings/en.json"));
        const QString language = QLocale().name().section(QLatin1Char('_'), 0, 0);
        if (!language.isEmpty() && language != QStringLiteral("en")) {
            const auto translated = load(QStringLiteral(":/strings/%1.json").arg(language));
            for (auto table = translated.begin(); table != translated.end(); ++table)
                for (auto entry = table->begin(); entry != table->end(); ++entry)
                    made->tables[table.key()].insert(entry.key(), entry.value());
        }
        return made;
    }();
    return *t;
}

} // namespace

QString StringTable::text(const QString& key)
{
    return text(key, kDefaultTable);
}

QString StringTable::text(const QString& key, const QString& table)
{
    if (key.isEmpty())
        return key;
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    if (const auto texts = t.tables.constFind(table); texts != t.tables.constEnd())
        if (const auto it = texts->constFind(key); it != texts->constEnd())
            return *it;
    if (table != kInterfaceTable && !t.reportedMissing.contains(table + QLatin1Char('/') + key)) {
        t.reportedMissing.insert(table + QLatin1Char('/') + key);
        lock.unlock();
        InterfaceLog::write(QStringLiteral("E: No localised string for the key %1 in %2").arg(key, table));
    }
    return key;
}

QString StringTable::substitute(const QString& text, const QStringList& arguments)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('%') && i + 1 < text.size() && text.at(i + 1).isDigit() &&
            text.at(i + 1) != QLatin1Char('0')) {
            const int index = text.at(i + 1).digitValue() - 1;
            if (index < arguments.size()) {
                result += arguments.at(index);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

QString StringTable::format(const QString& key, const QVariantList& arguments)
{
    QStringList texts;
    texts.reserve(arguments.size());
    for (const QVariant& argument : arguments)
        texts.append(argument.toString());
    return substitute(text(key), texts);
}

bool StringTable::contains(const QString& key, const QString& table)
{
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    return t.tables.value(table).contains(key);
}

QStringList StringTable::keys(const QString& table)
{
    Tables& t = tables();
    QMutexLocker lock(&t.mutex);
    QStringList keys = t.tables.value(table).keys();
    keys.sort();
    return keys;
}

void StringTable::localizeMenu(QMenu* menu)
{
    if (!menu)
        return;
    if (!menu->title().isEmpty())
        menu->setTitle(text(menu->title(), kInterfaceTable));
    for (QAction* action : menu->actions()) {
        // A separator (no title) keeps its submenu as it is.
        if (action->text().isEmpty())
            continue;
        action->setText(text(action->text(), kInterfaceTable));
        localizeMenu(action->menu());
    }
}

void StringTable::localizeView(QWidget* view)
{
    if (!view)
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(view); button && !button->text().isEmpty())
        button->setText(text(button->text(), kInterfaceTable));
    else if (auto* label = qobject_cast<QLabel*>(view); label && !label->text().isEmpty())
        label->setText(text(label->text(), kInterfaceTable));
    else if (auto* box = qobject_cast<QGroupBox*>(view); box && !box->title().isEmpty())
        box->setTitle(text(box->title(), kInterfaceTable));
    if (view->isWindow() && !view->windowTitle().isEmpty())
        view->setWindowTitle(text(view->windowTitle(), kInterfaceTable));
    if (auto* button = qobject_cast<QPushButton*>(view))
        localizeMenu(button->menu());
    else if (auto* toolButton = qobject_cast<QToolButton*>(view))
        localizeMenu(toolButton->menu());
    for (QObject* child : view->children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            localizeView(widget);
}

} // namespace tavrel
