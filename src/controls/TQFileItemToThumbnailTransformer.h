#pragma once

#include "controls/ValueTransformer.h"

#include <QPixmap>
#include <QSizeF>

namespace tavrel {

// A document or collection record, or the items of a wrapper (a QStringList of file paths), to its
// thumbnail at thumbnailSize: the cached thumbnail file, a rendering of one local file, or the kind's
// icon; several items, or anything else, give the stack of documents.
class TQFileItemToThumbnailTransformer : public ValueTransformer
{
public:
    QSizeF thumbnailSize() const { return m_thumbnailSize; }
    void setThumbnailSize(const QSizeF& size) { m_thumbnailSize = size; }
    // Kept for the drag images that set it; no transformation reads it.
    bool shouldBlockPreviewGeneration() const { return m_shouldBlockPreviewGeneration; }
    void setShouldBlockPreviewGeneration(bool block) { m_shouldBlockPreviewGeneration = block; }
    QVariant transformedValue(const QVariant& value) const override;

private:
    QPixmap thumbnailOfFile(const QString& path) const;
    QPixmap iconForFileName(const QString& name) const;

    QSizeF m_thumbnailSize{48, 48};
    bool m_shouldBlockPreviewGeneration = false;
};

} // namespace tavrel
