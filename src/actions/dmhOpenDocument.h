#pragma once

#include "actions/DocumentManagerHandler.h"

#include <QUrl>

namespace tavrel {

class File;

// "OpenDocument": opens a document on this machine. Its copy comes from "GetFile" (the cache or a
// download), which runs inside this request on its own thread, so that opens never wait for queue slots
// their own downloads need. The copy goes into a private folder (or the copy already watched for this
// version is reused), the file monitor watches it so that saves come back as revisions, it is made
// read-only unless the user may edit the document, and it is opened with "applicationURL" (a .desktop
// file or a program) or the default application of its type. The requester receives the copy's URL.
class dmhOpenDocument : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
    QString handlerOperationClass() const override;

    // The download's answer.
    Q_INVOKABLE void openFileCallbackWithDict(const QVariant& dictionary, const QVariant& error);

    // Whether the user (the session's address) may edit: the owner or an editor, whole addresses
    // compared without regard to letter case.
    static bool userMayEdit(const File& record, const QString& username);
    void updatePermissionForFileAtURL(const QUrl& url, const File& record) const;
    static void setReadPermissionForFileAtURL(const QUrl& url);
    static void setWritePermissionForFileAtURL(const QUrl& url);
    static bool openFileAtURL(const QUrl& url, const QUrl& applicationURL);

private:
    InvocationPtr m_invocation;
};

} // namespace tavrel
