#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

namespace tavrel {

// What the preview page of a collection shows, taken from the collection record by the caller.
struct TQFolderPreviewContent
{
    struct Person
    {
        QString address;
        QString displayName;
    };

    QString title;
    // Sub-collections and documents together.
    quint64 itemCount = 0;
    Person owner;
    QDateTime updatedDate;
    Person lastModifiedBy;
    QList<Person> editors;
    QList<Person> viewers;
    QList<Person> commenters;
};

} // namespace tavrel
