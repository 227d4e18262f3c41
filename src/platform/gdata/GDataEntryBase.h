#pragma once

#include "platform/gdata/GDataBatchInterrupted.h"
#include "platform/gdata/GDataBatchStatus.h"
#include "platform/gdata/GDataCategory.h"
#include "platform/gdata/GDataEntryContent.h"
#include "platform/gdata/GDataLink.h"
#include "platform/gdata/GDataObject.h"
#include "platform/gdata/GDataPerson.h"

#include <QIODevice>
#include <optional>

namespace tavrel {

class GDataEntryBase;
using GDataEntryPtr = std::shared_ptr<GDataEntryBase>;

// An atom:entry with the parts every service uses: identifier, ETag, title, content, dates, authors, links,
// categories, the batch elements, and the data of an upload (kept beside the XML, never written into it).
class GDataEntryBase : public GDataObject
{
    TAVREL_GDATA_OBJECT(GDataEntryBase, GDataObject)

    // A new, empty entry.
    static GDataEntryPtr entry();

    QString identifier() const { return childText("id"); }
    void setIdentifier(const QString& identifier) { setChildText("id", identifier); }
    QString ETag() const { return attribute("gd:etag"); }
    void setETag(const QString& etag) { setAttribute("gd:etag", etag); }

    QString title() const { return childText("title"); }
    void setTitleWithString(const QString& title);
    QString summary() const { return childText("summary"); }

    GDataEntryContent content() const;

    QDateTime publishedDate() const { return dateFromString(childText("published")); }
    QDateTime updatedDate() const { return dateFromString(childText("updated")); }
    QDateTime editedDate() const { return dateFromString(childText("app:edited")); }
    void setPublishedDate(const QDateTime& date) { setChildText("published", stringFromDate(date)); }
    void setUpdatedDate(const QDateTime& date) { setChildText("updated", stringFromDate(date)); }

    QList<GDataPerson> authors() const;

    QList<GDataLink> links() const;
    void addLink(const GDataLink& link);
    void removeLinksWithRel(const QString& rel);
    // The first link of that relation (short names for the IANA relations), null when none.
    GDataLink linkWithRelAttributeValue(const QString& rel) const;
    GDataLink editLink() const { return linkWithRelAttributeValue(kGDataLinkRelEdit); }
    GDataLink alternateLink() const { return linkWithRelAttributeValue(kGDataLinkRelAlternate); }

    QList<GDataCategory> categories() const;
    void setCategories(const QList<GDataCategory>& categories);
    void addCategory(const GDataCategory& category);
    // Removes every category with that term (and scheme, when given).
    void removeCategory(const GDataCategory& category);
    bool hasCategoryWithTerm(const QString& term) const;
    GDataCategory kindCategory() const;

    // Batch elements.
    QString batchIDString() const { return childText("batch:id"); }
    void setBatchIDWithString(const QString& batchID) { setChildText("batch:id", batchID); }
    QString batchOperation() const { return childAttribute("batch:operation", "type"); }
    void setBatchOperation(const QString& type) { setChildAttribute("batch:operation", type, "type"); }
    std::optional<GDataBatchStatus> batchStatus() const;
    std::optional<GDataBatchInterrupted> batchInterrupted() const;

    // Upload data: bytes or a readable device (such as an open QFile), the MIME type and the slug (the file
    // name the service keeps). An entry with upload data is sent through the resumable upload protocol.
    void setUploadData(const QByteArray& data);
    const QByteArray& uploadData() const { return m_uploadData; }
    void setUploadFileHandle(std::shared_ptr<QIODevice> device);
    const std::shared_ptr<QIODevice>& uploadFileHandle() const { return m_uploadDevice; }
    void setUploadMIMEType(const QString& type) { m_uploadMIMEType = type; }
    const QString& uploadMIMEType() const { return m_uploadMIMEType; }
    void setUploadSlug(const QString& slug) { m_uploadSlug = slug; }
    const QString& uploadSlug() const { return m_uploadSlug; }
    bool hasUploadData() const { return m_hasUploadData; }

    // The short form of a link relation.
    static QString normalizedRel(const QString& rel);

protected:
    static GDataLink linkFromNode(pugi::xml_node node);
    static void writeLinkToNode(pugi::xml_node node, const GDataLink& link);

private:
    QByteArray m_uploadData;
    std::shared_ptr<QIODevice> m_uploadDevice;
    QString m_uploadMIMEType;
    QString m_uploadSlug;
    bool m_hasUploadData = false;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::GDataEntryPtr)
