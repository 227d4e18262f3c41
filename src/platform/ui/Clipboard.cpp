#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace tavrel {

void Clipboard::writeURLs(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    QStringList lines;
    for (const QUrl& url : urls)
        lines.append(url.toString());
    data->setText(lines.join(QLatin1Char('\n')));
    QGuiApplication::clipboard()->setMimeData(data);
}

void Clipboard::writeText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString Clipboard::text()
{
    return QGuiApplication::clipboard()->text();
}

QList<QUrl> Clipboard::urls()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->urls() : QList<QUrl>();
}

void Clipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

} // namespace tavrel
