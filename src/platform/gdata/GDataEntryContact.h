#pragma once

#include "platform/gdata/GDataEmail.h"
#include "platform/gdata/GDataEntryBase.h"

namespace tavrel {

class GDataEntryContact;
using GDataEntryContactPtr = std::shared_ptr<GDataEntryContact>;

// A contact: name, mail addresses (one may be primary) and the photo link with the photo's ETag.
class GDataEntryContact : public GDataEntryBase
{
    TAVREL_GDATA_OBJECT(GDataEntryContact, GDataEntryBase)

    static GDataEntryContactPtr contactEntryWithFullNameString(const QString& fullName);
    static QMap<QString, QString> contactNamespaces();

    QString fullName() const { return nameText("gd:fullName"); }
    QString givenName() const { return nameText("gd:givenName"); }
    QString familyName() const { return nameText("gd:familyName"); }
    void setName(const QString& fullName, const QString& givenName = {}, const QString& familyName = {});

    QList<GDataEmail> emailAddresses() const;
    // The address marked primary, or nullopt.
    std::optional<GDataEmail> primaryEmailAddress() const;
    void addEmailAddress(const GDataEmail& email);
    void removeEmailAddress(const QString& address);

    GDataLink photoLink() const { return linkWithRelAttributeValue(kGDataLinkRelContactPhoto); }
    bool isDeleted() const { return hasChild("gd:deleted"); }

private:
    QString nameText(const char* part) const;
};

} // namespace tavrel
