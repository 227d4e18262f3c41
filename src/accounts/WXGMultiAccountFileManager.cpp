#include "accounts/WXGMultiAccountFileManager.h"

#include "accounts/WXGMultiAccountManager.h"
#include "platform/system/DamagedFiles.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace tavrel {

const QString WXGMultiAccountFileManager::kFileName = QStringLiteral("GWXAccounts.sic");
const QString WXGMultiAccountFileManager::kArchiveFormat = QStringLiteral("GWXAccounts");

namespace {
const QString kFormatKey = QStringLiteral("format");
const QString kVersionKey = QStringLiteral("version");
const QString kAccountsKey = QStringLiteral("accounts");

Error dataManagerError(qint64 code, const QString& reason, const QString& path)
{
    QVariantMap userInfo;
    userInfo.insert(Error::kLocalizedFailureReasonKey, reason);
    userInfo.insert(QStringLiteral("NSFilePath"), path);
    return Error(WXGMultiAccountManager::kDataManagerErrorDomain, code, userInfo);
}

// Why the archive cannot be used, or an empty text when `accounts` holds its list.
QString decodeArchive(const QByteArray& data, const OAuth2Configuration& configuration,
                      WXAccountList* accounts)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    const QJsonObject root = document.object();
    if (parseError.error != QJsonParseError::NoError)
        return QStringLiteral("not an accounts archive (%1)").arg(parseError.errorString());
    if (!document.isObject() ||
        root.value(kFormatKey).toString() != WXGMultiAccountFileManager::kArchiveFormat ||
        !root.value(kAccountsKey).isArray())
        return QStringLiteral("not an accounts archive");
    const int version = root.value(kVersionKey).toInt(-1);
    if (version < 1 || version > WXGMultiAccountFileManager::kArchiveVersion)
        return QStringLiteral("an accounts archive of unknown version %1")
            .arg(root.value(kVersionKey).toVariant().toString());
    for (const QJsonValue& value : root.value(kAccountsKey).toArray()) {
        if (!value.isObject())
            return QStringLiteral("an entry that is not an account");
        QString reason;
        auto account = WXAccount::decode(value.toObject(), configuration, &reason);
        if (!account)
            return reason;
        accounts->append(account);
    }
    return QString();
}
} // namespace

std::shared_ptr<WXGMultiAccountFileManager>
WXGMultiAccountFileManager::fileManager(const OAuth2Configuration& configuration)
{
    return std::make_shared<WXGMultiAccountFileManager>(configuration);
}

WXGMultiAccountFileManager::WXGMultiAccountFileManager(const OAuth2Configuration& configuration)
    : m_configuration(configuration)
{}

QUrl WXGMultiAccountFileManager::URLAccountsFile() const
{
    const QString folder = Paths::accountsFolder();
    if (!QDir().mkpath(folder))
        return QUrl();
    return QUrl::fromLocalFile(folder + QLatin1Char('/') + kFileName);
}

std::optional<WXAccountList> WXGMultiAccountFileManager::restoreAccountsWithError(Error* error)
{
    const QUrl url = URLAccountsFile();
    const QString path = url.toLocalFile();
    if (path.isEmpty() || !QFile::exists(path))
        return std::nullopt;

    // A file that cannot be read is set aside like a damaged one, so the next write cannot replace it.
    QString reason;
    QFile file(path);
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        reason = QStringLiteral("cannot be read (%1)").arg(file.errorString());
    file.close();

    WXAccountList accounts;
    if (reason.isEmpty())
        reason = decodeArchive(data, m_configuration, &accounts);
    if (reason.isEmpty())
        return accounts;

    const QString aside = DamagedFiles::moveAside(path);
    if (aside.isEmpty())
        TQLog("E: WXGMultiAccountFileManager: Cannot read %@ (%@) nor move it aside", path, reason);
    else
        TQLog("E: WXGMultiAccountFileManager: Cannot read %@ (%@), moved it to %@", path, reason, aside);
    if (error) {
        *error = dataManagerError(WXGMultiAccountManager::kErrorRestoreFailed, reason, path);
        if (!aside.isEmpty())
            error->setUserInfoValue(QStringLiteral("movedToPath"), aside);
    }
    return std::nullopt;
}

bool WXGMultiAccountFileManager::persistAccounts(const WXAccountList& accounts, Error* error)
{
    const QString path = URLAccountsFile().toLocalFile();
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = dataManagerError(WXGMultiAccountManager::kErrorPersistFailed, reason, path);
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("The accounts folder cannot be created."));

    QJsonArray entries;
    for (const auto& account : accounts) {
        if (account)
            entries.append(account->encode());
    }
    QJsonObject root;
    root.insert(kFormatKey, kArchiveFormat);
    root.insert(kVersionKey, kArchiveVersion);
    root.insert(kAccountsKey, entries);

    // Owner-only before the first token is written, then swapped in whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return fail(QStringLiteral("Cannot restrict the permissions of the accounts file."));
    }
    if (file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace tavrel
