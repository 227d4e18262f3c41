#pragma once

#include "platform/gdata/GDataEntryBase.h"
#include "platform/gdata/GDataFeedLink.h"

namespace tavrel {

class GDataEntryDocBase;
using GDataEntryDocPtr = std::shared_ptr<GDataEntryDocBase>;

// An entry of the documents list: any kind (document, spreadsheet, presentation, drawing, form, PDF, file,
// folder). The subclasses only fix the kind category of new entries. Entries of the changes feed are
// documents-list entries too, with a changestamp and, for removals, the removed mark.
class GDataEntryDocBase : public GDataEntryBase
{
    TAVREL_GDATA_OBJECT(GDataEntryDocBase, GDataEntryBase)

    // A new entry without kind (assigning to a collection, batch entries).
    static GDataEntryDocPtr documentEntry();
    // Namespaces every documents-list entry declares.
    static QMap<QString, QString> baseDocumentNamespaces();

    QString resourceID() const { return childText("gd:resourceId"); }
    void setResourceID(const QString& resourceID) { setChildText("gd:resourceId", resourceID); }
    // The kind: the part of the kind category's term after '#' ("document", "folder", "file" ...).
    QString kind() const;

    QString filename() const { return childText("docs:filename"); }
    void setFilename(const QString& name) { setChildText("docs:filename", name); }
    QString suggestedFilename() const { return childText("docs:suggestedFilename"); }
    QString md5Checksum() const { return childText("docs:md5Checksum"); }
    std::optional<qint64> fileSize() const { return number(childText("docs:size")); }
    std::optional<qint64> quotaBytesUsed() const { return number(childText("gd:quotaBytesUsed")); }

    QDateTime lastViewed() const { return dateFromString(childText("gd:lastViewed")); }
    QDateTime lastCommented() const { return dateFromString(childText("docs:lastCommented")); }
    QDateTime modifiedByMeDate() const { return dateFromString(childText("docs:modifiedByMeDate")); }
    std::optional<GDataPerson> lastModifiedBy() const;

    // Labels.
    bool isStarred() const { return hasCategoryWithTerm(kGDataCategoryLabelStarred); }
    bool isDeleted() const
    {
        return hasCategoryWithTerm(kGDataCategoryLabelTrashed) || hasChild("gd:deleted");
    }
    bool isViewed() const { return hasCategoryWithTerm(kGDataCategoryLabelViewed); }
    bool isHidden() const { return hasCategoryWithTerm(kGDataCategoryLabelHidden); }
    void setIsStarred(bool flag) { setLabel(kGDataCategoryLabelStarred, flag); }
    void setIsDeleted(bool flag) { setLabel(kGDataCategoryLabelTrashed, flag); }
    void setIsViewed(bool flag) { setLabel(kGDataCategoryLabelViewed, flag); }
    void setIsHidden(bool flag) { setLabel(kGDataCategoryLabelHidden, flag); }

    // Flags; absent is nullopt.
    std::optional<bool> writersCanInvite() const { return flag("docs:writersCanInvite"); }
    void setWritersCanInvite(bool value) { setChildAttribute("docs:writersCanInvite", boolText(value)); }
    std::optional<bool> isShareable() const { return flag("docs:isShareable"); }

    // Links.
    QList<GDataLink> parentLinks() const;
    GDataLink thumbnailLink() const { return linkWithRelAttributeValue(kGDataLinkRelThumbnail); }
    GDataLink uploadEditLink() const { return linkWithRelAttributeValue(kGDataLinkRelResumableEdit); }
    GDataLink resumableCreateLink() const { return linkWithRelAttributeValue(kGDataLinkRelResumableCreate); }
    // The access-list feed link, with the inline list when the entry came from the expandAcl projection.
    GDataFeedLinkPtr ACLFeedLink() const;

    // Changes feed.
    std::optional<qint64> changestamp() const { return number(childAttribute("docs:changestamp")); }
    bool isRemoved() const { return hasChild("docs:removed"); }

protected:
    static std::optional<qint64> number(const QString& text);
    static QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }
    std::optional<bool> flag(const char* qualifiedName) const;
    void setLabel(const QString& term, bool on);
    // Creates an entry of class T with the kind category of `term`.
    template <class T> static std::shared_ptr<T> entryOfKind(const QString& term)
    {
        auto document = GDataXMLDocument::createWithRoot(QStringLiteral("entry"));
        auto entry = std::make_shared<T>(document, document->root());
        entry->addCategory(
            GDataCategory(kGDataCategoryScheme, term, term.mid(term.lastIndexOf(QLatin1Char('#')) + 1)));
        return entry;
    }
};

} // namespace tavrel
