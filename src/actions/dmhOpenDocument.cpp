#include "actions/dmhOpenDocument.h"

#include "actions/DocumentManager.h"
#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQLocalizedStrings.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQBackgroundHandlerOperation.h"
#include "pipeline/TQOperation.h"
#include "pipeline/TQSessionProtocol.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/system/DesktopApplications.h"
#include "platform/system/TemporaryFiles.h"

#include <QFile>
#include <QFileInfo>

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhOpenDocument)

namespace {

bool sameAddress(const QString& a, const QString& b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void dmhOpenDocument::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto record = TransferSupport::recordOf<File>(parameters.value(TransferKeys::kDocumentEntity));
    VUvodozuManager* documents = session() ? session()->documentManager() : manager();
    if (!record || !documents) {
        callExternalInvocation(invocation, QVariant(), missingParameterError());
        return;
    }
    m_invocation = invocation;
    QVariantMap request = TransferSupport::stepArguments(parameters);
    request.insert(TransferKeys::kOpenDocumentInvocation, QVariant::fromValue(invocation));
    const InvocationPtr answer =
        Invocation::invocationForSelector(QStringLiteral("openFileCallbackWithDict:error:"), this);
    const std::shared_ptr<TQOperation> download =
        documents->operationByActionName(QStringLiteral("GetFile"), answer, request);
    if (!download) {
        callExternalInvocation(invocation, QVariant(),
                               VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("No download")));
        return;
    }
    // The download runs here, on this request's thread, and answers here when it ends.
    download->setOriginThread(nullptr);
    download->start();
    // Answered by now; the handler no longer holds its own chain.
    m_invocation.reset();
}

void dmhOpenDocument::openFileCallbackWithDict(const QVariant& dictionary, const QVariant& error)
{
    QVariantMap answer = dictionary.toMap();
    InvocationPtr invocation = answer.value(TransferKeys::kOpenDocumentInvocation).value<InvocationPtr>();
    // The invocation must not hold itself among its arguments, or it is never freed.
    answer.remove(TransferKeys::kOpenDocumentInvocation);
    if (!invocation || answer.isEmpty()) {
        // The download failed and gave back no dictionary: the requester gets its error.
        callExternalInvocation(m_invocation, QVariant(),
                               TransferSupport::isError(error)
                                   ? TransferSupport::errorOf(error)
                                   : VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("No copy")));
        return;
    }
    invocation->setArgument(4, answer);
    invocation->invoke();
}

QVariantMap dmhOpenDocument::defaultCallbackForParams(const QVariantMap& result)
{
    QVariantMap answer = result;
    answer.remove(TransferKeys::kOpenDocumentInvocation);
    if (TransferSupport::isError(result.value(kErrorKey))) {
        answer.insert(kFeedKey, QVariant());
        return answer;
    }
    const auto record = TransferSupport::recordOf<File>(result.value(TransferKeys::kDocumentEntity));
    auto* documents = session() ? qobject_cast<DocumentManager*>(session()->documentManager()) : nullptr;
    FileMonitor* monitor = documents ? documents->fileMonitor() : nullptr;
    const QUrl downloaded = result.value(TransferKeys::kFileURL).toUrl();
    QUrl copy = record && monitor ? monitor->URLMonitoredFileForFileEntity(*record) : QUrl();
    if (copy.isEmpty() || !QFileInfo::exists(copy.toLocalFile())) {
        copy = TemporaryFiles::fileSystemCopyFileToUniqueURLfromFileAtURL(downloaded);
        if (copy.isEmpty()) {
            answer.insert(kFeedKey, QVariant());
            answer.insert(kErrorKey,
                          QVariant::fromValue(TransferSupport::copyFailedError(downloaded.fileName())));
            return answer;
        }
        if (monitor)
            monitor->addFileToMonitorAtPath(copy.toLocalFile(), record);
    }
    if (record)
        updatePermissionForFileAtURL(copy, *record);
    if (!openFileAtURL(copy, result.value(TransferKeys::kApplicationURL).toUrl())) {
        answer.insert(kFeedKey, QVariant());
        answer.insert(
            kErrorKey,
            QVariant::fromValue(Error(
                VUvodozuManager::kErrorDomain, VUvodozuManager::kUnexpectedErrorCode,
                {{Error::kLocalizedDescriptionKey,
                  TQLocalizedStrings::localizedStringForKey(QStringLiteral("OpenDocumentNoApplicationError"))
                      .arg(copy.fileName())}})));
        return answer;
    }
    answer.insert(kFeedKey, copy);
    answer.insert(kErrorKey, QVariant());
    return answer;
}

QString dmhOpenDocument::handlerOperationClass() const
{
    return TQBackgroundHandlerOperation::kClassName;
}

bool dmhOpenDocument::userMayEdit(const File& record, const QString& username)
{
    if (const auto owner = record.owner(); owner && sameAddress(owner->address(), username))
        return true;
    for (const auto& editor : record.editors())
        if (editor && sameAddress(editor->address(), username))
            return true;
    return false;
}

void dmhOpenDocument::updatePermissionForFileAtURL(const QUrl& url, const File& record) const
{
    TQMOCManager* store = session() ? session()->mocManager() : nullptr;
    if (userMayEdit(record, store ? store->username() : QString()))
        setWritePermissionForFileAtURL(url);
    else
        setReadPermissionForFileAtURL(url);
}

void dmhOpenDocument::setReadPermissionForFileAtURL(const QUrl& url)
{
    const QString path = url.toLocalFile();
    QFile::setPermissions(path,
                          QFile::permissions(path) & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                                       QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

void dmhOpenDocument::setWritePermissionForFileAtURL(const QUrl& url)
{
    const QString path = url.toLocalFile();
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
}

bool dmhOpenDocument::openFileAtURL(const QUrl& url, const QUrl& applicationURL)
{
    return DesktopApplications::openFile(url.toLocalFile(), applicationURL);
}

} // namespace tavrel
