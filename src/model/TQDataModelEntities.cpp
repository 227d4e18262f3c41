#include "model/TQDataModelEntities.h"

namespace tavrel {

namespace {
using T = AttributeDescription::Type;
using R = RelationshipDescription::DeleteRule;
} // namespace

std::shared_ptr<ManagedObjectModel> TQDataModelEntities::buildModel(const RecordClassBinding& bind)
{
    auto model = std::make_shared<ManagedObjectModel>();
    QList<EntityDescription*> declared;
    auto declare = [&](const QString& name, const QString& parent = {}) -> EntityDescription& {
        EntityDescription& entity = model->addEntity(name, parent);
        declared.append(&entity);
        return entity;
    };

    // Companion records (XmlInfo, cache bookkeeping, the general access) belong to their owner alone:
    // deleting the owner deletes them. People (Mail) are shared by documents and contacts and outlive
    // both, so every relationship towards Mail only nullifies.
    declare("GoogleObject")
        .setAbstract(true)
        .addAttribute("identifier", T::String, {}, true)
        .addAttribute("eTag", T::String)
        .addToOne("xmlInfo", "XmlInfo", "googleObject", R::Cascade);

    declare("XmlInfo")
        .addAttribute("xmlValue", T::String)
        .addToOne("googleObject", "GoogleObject", "xmlInfo", R::Nullify);

    declare("FileEntryAbstract", "GoogleObject")
        .setAbstract(true)
        .addAttribute("resourceId", T::String)
        .addAttribute("kind", T::String)
        .addAttribute("title", T::String, {}, true)
        .addAttribute("filename", T::String)
        .addAttribute("alternateLink", T::String)
        .addAttribute("editedDate", T::Date)
        .addAttribute("publishedDate", T::Date)
        .addAttribute("updatedDate", T::Date)
        .addAttribute("lastViewed", T::Date)
        .addAttribute("lastCommented", T::Date)
        .addAttribute("isHidden", T::Bool, false)
        .addAttribute("isTrashed", T::Bool, false)
        .addAttribute("isStarred", T::Bool, false)
        .addAttribute("isViewed", T::Bool, false)
        .addAttribute("isNew", T::Bool, false)
        .addAttribute("hasChange", T::Bool, false)
        .addAttribute("hasCommenterSupport", T::Bool, false)
        .addAttribute("writersCanInvite", T::Bool, false)
        .addAttribute("quotaBytesUsed", T::Int64)
        .addToOne("owner", "Mail", "owns", R::Nullify)
        .addToOne("lastModifiedBy", "Mail", "lastModifiedFiles", R::Nullify)
        .addToMany(QStringLiteral("editors"), "Mail", "edits", R::Nullify)
        .addToMany(QStringLiteral("viewers"), "Mail", "views", R::Nullify)
        .addToMany(QStringLiteral("commenters"), "Mail", "comments", R::Nullify)
        .addToOne("generalACL", "GeneralACLPermission", "entry", R::Cascade)
        .addToOne("listOfFiles", "FileList", "files", R::Nullify);

    declare("File", "FileEntryAbstract")
        .addToMany(QStringLiteral("categories"), "Category", "files", R::Nullify)
        .addToOne("fileCachedFile", "FileCachedFile", "file", R::Cascade)
        .addToOne("fileCachedIcon", "FileCachedIcon", "file", R::Cascade);

    declare("Category", "FileEntryAbstract")
        .addToMany(QStringLiteral("files"), "File", "categories", R::Nullify)
        .addToOne("parent", "Category", "sons", R::Nullify)
        .addToMany(QStringLiteral("sons"), "Category", "parent", R::Nullify);

    declare("Contact", "GoogleObject")
        .addAttribute("name", T::String)
        .addAttribute("avatarETag", T::String)
        .addAttribute("favourite", T::Bool, false)
        .addToMany(QStringLiteral("mails"), "Mail", "contact", R::Nullify)
        .addToOne("primaryMail", "Mail", "primaryForContact", R::Nullify)
        .addToOne("contactList", "ContactList", "contacts", R::Nullify)
        .addToOne("contactCachedAvatar", "ContactCachedAvatar", "contact", R::Cascade);

    declare("ContactList", "GoogleObject")
        .addToMany(QStringLiteral("contacts"), "Contact", "contactList", R::Nullify);

    declare("FileList", "GoogleObject")
        .addAttribute("batchLinkAddress", T::String)
        .addToMany(QStringLiteral("files"), "FileEntryAbstract", "listOfFiles", R::Nullify);

    declare("GeneralACLPermission", "GoogleObject")
        .addAttribute("type", T::String)
        .addAttribute("role", T::String)
        .addAttribute("hasLink", T::Bool, false)
        .addToOne("entry", "FileEntryAbstract", "generalACL", R::Nullify);

    declare("Mail")
        .addAttribute("address", T::String, {}, true)
        .addAttribute("label", T::String)
        .addAttribute("displayName", T::String)
        .addAttribute("favorite", T::Bool)
        .addAttribute("visible", T::Bool)
        .addToMany(QStringLiteral("owns"), "FileEntryAbstract", "owner", R::Nullify)
        .addToMany(QStringLiteral("lastModifiedFiles"), "FileEntryAbstract", "lastModifiedBy", R::Nullify)
        .addToMany(QStringLiteral("edits"), "FileEntryAbstract", "editors", R::Nullify)
        .addToMany(QStringLiteral("views"), "FileEntryAbstract", "viewers", R::Nullify)
        .addToMany(QStringLiteral("comments"), "FileEntryAbstract", "commenters", R::Nullify)
        .addToOne("contact", "Contact", "mails", R::Nullify)
        .addToOne("primaryForContact", "Contact", "primaryMail", R::Nullify)
        .addCaseInsensitiveIndex("address");

    declare("FileCachedFile")
        .addAttribute("value", T::String)
        .addAttribute("eTag", T::String)
        .addAttribute("lastRequestedETag", T::String)
        .addToOne("file", "File", "fileCachedFile", R::Nullify);

    declare("FileCachedIcon")
        .addAttribute("value", T::String)
        .addAttribute("eTag", T::String)
        .addAttribute("lastRequestedETag", T::String)
        .addToOne("file", "File", "fileCachedIcon", R::Nullify);

    declare("ContactCachedAvatar")
        .addAttribute("value", T::String)
        .addAttribute("eTag", T::String)
        .addAttribute("lastRequestedETag", T::String)
        .addToOne("contact", "Contact", "contactCachedAvatar", R::Nullify);

    if (bind)
        for (EntityDescription* entity : std::as_const(declared))
            bind(*entity);
    return model;
}

std::shared_ptr<const ManagedObjectModel> TQDataModelEntities::finalizedModel(const RecordClassBinding& bind)
{
    auto model = buildModel(bind);
    model->finalize();
    return model;
}

std::shared_ptr<const ManagedObjectModel> TQDataModelEntities::model()
{
    static const std::shared_ptr<const ManagedObjectModel> model = finalizedModel();
    return model;
}

} // namespace tavrel
