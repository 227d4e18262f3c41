#include "model/TQDataModel.h"

#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/ContactList.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/FileCachedIcon.h"
#include "model/FileList.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQDataModelEntities.h"
#include "model/XmlInfo.h"

#include <QHash>

namespace tavrel {

namespace {
template <class T> void bindRecordClass(EntityDescription& entity)
{
    entity.setRecordClass<T>();
}

// Abstract entities and those without a class of their own are served by their parent's class.
void bindRecordClasses(EntityDescription& entity)
{
    static const QHash<QString, void (*)(EntityDescription&)> classes = {
        {QStringLiteral("XmlInfo"), &bindRecordClass<XmlInfo>},
        {QStringLiteral("File"), &bindRecordClass<File>},
        {QStringLiteral("Category"), &bindRecordClass<Category>},
        {QStringLiteral("Contact"), &bindRecordClass<Contact>},
        {QStringLiteral("ContactList"), &bindRecordClass<ContactList>},
        {QStringLiteral("FileList"), &bindRecordClass<FileList>},
        {QStringLiteral("GeneralACLPermission"), &bindRecordClass<GeneralACLPermission>},
        {QStringLiteral("Mail"), &bindRecordClass<Mail>},
        {QStringLiteral("FileCachedFile"), &bindRecordClass<FileCachedFile>},
        {QStringLiteral("FileCachedIcon"), &bindRecordClass<FileCachedIcon>},
        {QStringLiteral("ContactCachedAvatar"), &bindRecordClass<ContactCachedAvatar>},
    };
    if (const auto bind = classes.value(entity.name()))
        bind(entity);
}
} // namespace

std::shared_ptr<ManagedObjectModel> TQDataModel::buildModel()
{
    return TQDataModelEntities::buildModel(bindRecordClasses);
}

std::shared_ptr<const ManagedObjectModel> TQDataModel::mainDataContext()
{
    static const std::shared_ptr<const ManagedObjectModel> model =
        TQDataModelEntities::finalizedModel(bindRecordClasses);
    return model;
}

} // namespace tavrel
