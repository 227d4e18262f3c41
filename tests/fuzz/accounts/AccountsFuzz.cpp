// The accounts archive: any file either restores a list of accounts, which persists and restores again
// as the same list, or is reported unreadable and moved aside, never overwritten.
#include "FuzzSupport.h"
#include "accounts/WXAccount.h"
#include "accounts/WXGMultiAccountFileManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

using namespace tavrel;

namespace {

QByteArray encoded(const WXAccountList& accounts)
{
    QByteArray out;
    for (const auto& account : accounts)
        out += QJsonDocument(account->encode()).toJson(QJsonDocument::Compact) + '\n';
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WXGMultiAccountFileManager manager;
    const QString path = manager.URLAccountsFile().toLocalFile();
    const QString folder = QFileInfo(path).absolutePath();
    {
        QFile file(path);
        fuzz::check(file.open(QIODevice::WriteOnly) &&
                        file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size),
                    "the accounts file cannot be written");
    }
    Error error;
    const std::optional<WXAccountList> accounts = manager.restoreAccountsWithError(&error);
    if (accounts) {
        fuzz::check(manager.persistAccounts(*accounts, &error), "restored accounts cannot be stored",
                    error.description());
        const std::optional<WXAccountList> again = manager.restoreAccountsWithError(&error);
        fuzz::check(again && encoded(*again) == encoded(*accounts), "stored accounts restore differently",
                    QString::fromUtf8(encoded(*accounts)));
    } else {
        fuzz::check(bool(error), "an unreadable archive is not reported");
        fuzz::check(!QFile::exists(path),
                    "an unreadable archive stays where the next write would replace it");
    }
    // Every input starts from an empty folder.
    QDir(folder).removeRecursively();
    return 0;
}
