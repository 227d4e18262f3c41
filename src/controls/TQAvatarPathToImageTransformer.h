#pragma once

#include "controls/ValueTransformer.h"

namespace tavrel {

// An avatar path (a path or a file URL) to the photo, read once per process and then answered from
// the image registry under its path; an empty path to the placeholder of the transformer's edge.
class TQAvatarPathToImageTransformer : public ValueTransformer
{
public:
    explicit TQAvatarPathToImageTransformer(qint64 edge = 0) : m_edge(edge) {}
    qint64 edge() const { return m_edge; }
    void setEdge(qint64 edge) { m_edge = edge; }
    // "user49" unless the edge has a placeholder of its own.
    static QString placeholderName(qint64 edge);
    QVariant transformedValue(const QVariant& value) const override;

private:
    qint64 m_edge;
};

} // namespace tavrel
