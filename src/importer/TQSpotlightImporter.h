#pragma once

#include "importer/ReadOnlyStore.h"
#include "platform/runtime/Error.h"

#include <QString>
#include <QVariantMap>
#include <memory>

namespace tavrel {

// Reads one record file for desktop search: opens the store the record names, finds the record and,
// for a document, answers its display name and text. One importer per imported file.
class TQSpotlightImporter
{
public:
    static const QString kDisplayNameKey; // "displayName"
    static const QString kTextContentKey; // "textContent"

    // Fills the attributes for the record file at the path and answers true, or false when the record's
    // object cannot be found (logged). A record that is not a document, or a document without a title,
    // adds nothing. Never sets the error.
    bool importFileAtPath(const QString& path, QVariantMap& attributes, Error* error);

    // The store named by the last record read.
    const QString& storeURL() const { return m_storeURL; }

private:
    // The store at storeURL, opened once; nothing (logged) when it cannot be read.
    ReadOnlyStore* persistentStoreCoordinator();

    QString m_storeURL;
    std::unique_ptr<ReadOnlyStore> m_store;
    bool m_storeOpened = false;
};

} // namespace tavrel
