// Moving a large file through the upload and download actions against tavrel-localservice running as
// its own process, beside the same bytes moved by plain QNetworkAccessManager requests (one PUT of the
// whole file, one GET), and a folder tree of small files uploaded as nested collections. Only the
// client's memory is in peak_rss_mb (the service keeps what it received in memory). Figures on stdout,
// diagnostics on stderr.
// Arguments: [megabytes] [files] [folders]  (default 256 1000 50).
#include "accounts/TQAccount.h"
#include "actions/DocumentManager.h"
#include "model/FileEntryAbstract.h"
#include "model/TQCacheManager.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/Invocation.h"
#include "support/BenchHome.h"
#include "support/TestAccount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTimer>
#include <QUrlQuery>
#include <cstdio>
#include <cstdlib>

using namespace tavrel;

namespace {

QString makeHome()
{
    const QString root = bench::makeHome(QStringLiteral("transfer"), {QStringLiteral("files")});
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return root;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer tick;
    tick.start(20);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// The answer of one action.
class Requester : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void done(const QVariant& result, const QVariant& error)
    {
        m_result = result;
        m_failed = error.metaType() == QMetaType::fromType<Error>() && !error.value<Error>().isNull();
        if (m_failed)
            m_error = error.value<Error>().description();
        m_called = true;
    }
    InvocationPtr callback()
    {
        return Invocation::invocationForSelector(QStringLiteral("done:error:"), this);
    }
    bool m_called = false;
    bool m_failed = false;
    QString m_error;
    QVariant m_result;
};

bool writePattern(const QString& path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(4 * 1024 * 1024, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (qint64 written = 0; written < bytes;) {
        for (char& c : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            c = char(x);
        }
        const qint64 n = std::min<qint64>(block.size(), bytes - written);
        if (file.write(block.constData(), n) != n)
            return false;
        written += n;
    }
    return true;
}

// One request through the plain network access manager; answers the reply once finished.
QNetworkReply* finished(QNetworkReply* reply)
{
    waitFor([&] { return reply->isFinished(); }, 600000);
    return reply;
}

} // namespace

int main(int argc, char** argv)
{
    const QString root = makeHome();
    if (root.isEmpty())
        return 1;
    QGuiApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 256;
    const int fileCount = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int folderCount = argc > 3 ? std::atoi(argv[3]) : 50;
    const qint64 bytes = megabytes * 1024 * 1024;

    // The service, as its own process.
    QProcess service;
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/localservice/tavrel-localservice");
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(program, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"),
                            QStringLiteral("demo"), QStringLiteral("--documents"), QStringLiteral("3"),
                            QStringLiteral("--collections"), QStringLiteral("1"),
                            QStringLiteral("--contacts"), QStringLiteral("2")});
    if (!service.waitForStarted(10000) ||
        !waitFor([&] { return service.canReadLine() && QByteArray(service.peek(4096)).count('\n') >= 2; },
                 20000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(program));
        return 1;
    }
    const QString base = QString::fromUtf8(service.readLine()).trimmed();
    const QString address = QString::fromUtf8(service.readLine()).trimmed();
    GDataEndpoints::setServiceBaseURL(QUrl(base));

    // Tokens through the authorisation-code flow the service offers.
    QNetworkAccessManager network;
    QUrl authorize(base + QStringLiteral("/o/oauth2/auth"));
    authorize.setQuery(
        QStringLiteral("client_id=bench&redirect_uri=http://127.0.0.1:9/cb&response_type=code&scope=x"));
    QNetworkRequest authorizeRequest(authorize);
    authorizeRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                  QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* redirect = finished(network.get(authorizeRequest));
    const QString code = QUrlQuery(QUrl(QString::fromUtf8(redirect->rawHeader("Location"))))
                             .queryItemValue(QStringLiteral("code"));
    QNetworkRequest tokenRequest(QUrl(base + QStringLiteral("/o/oauth2/token")));
    tokenRequest.setHeader(QNetworkRequest::ContentTypeHeader,
                           QStringLiteral("application/x-www-form-urlencoded"));
    QNetworkReply* tokens = finished(network.post(
        tokenRequest,
        "grant_type=authorization_code&client_id=bench&redirect_uri=http://127.0.0.1:9/cb&code=" +
            code.toUtf8()));
    const QVariantMap answer = QJsonDocument::fromJson(tokens->readAll()).toVariant().toMap();
    const QString access = answer.value(QStringLiteral("access_token")).toString();
    const QString refresh = answer.value(QStringLiteral("refresh_token")).toString();
    if (access.isEmpty()) {
        std::fprintf(stderr, "no token from the service\n");
        return 1;
    }
    auto session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(
        test::TestAccount::authenticationFor(base, access, refresh, address)));
    DocumentManager* documents = session->documentManager();

    const QString path = root + QStringLiteral("/files/large.bin");
    if (!writePattern(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    // Upload through the action.
    Requester upload;
    QElapsedTimer clock;
    clock.start();
    documents->executeAction(QStringLiteral("UploadFiles"), upload.callback(),
                             {{QStringLiteral("fileURLs"), QVariantList{QUrl::fromLocalFile(path)}}});
    if (!waitFor([&] { return upload.m_called; }, 3600000) || upload.m_failed) {
        std::fprintf(stderr, "upload failed: %s\n", qPrintable(upload.m_error));
        return 1;
    }
    const double uploadSeconds = clock.nsecsElapsed() / 1e9;
    const auto record = std::dynamic_pointer_cast<FileEntryAbstract>(
        upload.m_result.toList().value(0).value<ManagedObjectPtr>());
    if (!record) {
        std::fprintf(stderr, "no uploaded record\n");
        return 1;
    }

    // Download through the action, without the copy the upload left in the cache.
    session->cacheManager()->deleteObject(record.get());
    Requester download;
    clock.restart();
    documents->executeAction(
        QStringLiteral("GetFile"), download.callback(),
        {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record))}});
    if (!waitFor([&] { return download.m_called; }, 3600000) || download.m_failed) {
        std::fprintf(stderr, "download failed: %s\n", qPrintable(download.m_error));
        return 1;
    }
    const double downloadSeconds = clock.nsecsElapsed() / 1e9;
    const QString copy = download.m_result.toMap().value(QStringLiteral("fileURL")).toUrl().toLocalFile();
    if (QFileInfo(copy).size() != bytes) {
        std::fprintf(stderr, "the downloaded copy has %lld bytes\n", QFileInfo(copy).size());
        return 1;
    }
    const long peakKb = bench::peakRssKb();

    // The same bytes by plain requests: a session, one PUT of the whole file, and one GET to a file.
    const QByteArray bearer = "Bearer " + access.toUtf8();
    QNetworkRequest create(
        QUrl(base + QStringLiteral("/feeds/upload/create-session/default/private/full?convert=false")));
    create.setRawHeader("Authorization", bearer);
    create.setRawHeader("GData-Version", "3");
    create.setRawHeader("X-Upload-Content-Type", "application/octet-stream");
    create.setRawHeader("X-Upload-Content-Length", QByteArray::number(bytes));
    create.setRawHeader("Slug", "raw.bin");
    create.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/atom+xml"));
    clock.restart();
    QNetworkReply* created = finished(network.post(create, QByteArray()));
    QNetworkRequest put(QUrl(QString::fromUtf8(created->rawHeader("Location"))));
    put.setRawHeader("Authorization", bearer);
    put.setRawHeader("Content-Range",
                     "bytes 0-" + QByteArray::number(bytes - 1) + '/' + QByteArray::number(bytes));
    put.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/octet-stream"));
    QFile body(path);
    body.open(QIODevice::ReadOnly);
    QNetworkReply* stored = finished(network.put(put, &body));
    const double rawUploadSeconds = clock.nsecsElapsed() / 1e9;
    if (stored->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 201) {
        std::fprintf(stderr, "raw upload answered %d\n",
                     stored->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
        return 1;
    }

    QNetworkRequest get(record->gdataEntry()->content().sourceURL());
    get.setRawHeader("Authorization", bearer);
    QFile sink(root + QStringLiteral("/files/raw-download.bin"));
    sink.open(QIODevice::WriteOnly);
    clock.restart();
    QNetworkReply* fetched = network.get(get);
    QObject::connect(fetched, &QNetworkReply::readyRead, [&] { sink.write(fetched->readAll()); });
    finished(fetched);
    sink.write(fetched->readAll());
    sink.close();
    const double rawDownloadSeconds = clock.nsecsElapsed() / 1e9;
    if (sink.size() != bytes) {
        std::fprintf(stderr, "raw download has %lld bytes\n", sink.size());
        return 1;
    }

    // A tree of small files in folders.
    const QString tree = root + QStringLiteral("/files/Tree");
    for (int i = 0; i < fileCount; ++i) {
        const QString folder = tree + QStringLiteral("/Folder %1").arg(i % std::max(1, folderCount));
        QDir().mkpath(folder);
        QFile small(folder + QStringLiteral("/note %1.txt").arg(i));
        small.open(QIODevice::WriteOnly);
        small.write(QByteArray(1024, char('a' + i % 26)));
    }
    Requester folders;
    clock.restart();
    documents->executeAction(QStringLiteral("UploadFiles"), folders.callback(),
                             {{QStringLiteral("fileURLs"), QVariantList{QUrl::fromLocalFile(tree)}}});
    if (!waitFor([&] { return folders.m_called; }, 3600000) || folders.m_failed) {
        std::fprintf(stderr, "folder upload failed: %s\n", qPrintable(folders.m_error));
        return 1;
    }
    const double folderSeconds = clock.nsecsElapsed() / 1e9;

    const double mb = double(bytes) / (1024.0 * 1024.0);
    std::printf("upload_mb_s: %.1f\n", mb / uploadSeconds);
    std::printf("download_mb_s: %.1f\n", mb / downloadSeconds);
    std::printf("raw_upload_mb_s: %.1f\n", mb / rawUploadSeconds);
    std::printf("raw_download_mb_s: %.1f\n", mb / rawDownloadSeconds);
    std::printf("ratio_upload_to_raw: %.2f\n", uploadSeconds / rawUploadSeconds);
    std::printf("ratio_download_to_raw: %.2f\n", downloadSeconds / rawDownloadSeconds);
    std::printf("peak_rss_mb: %.0f\n", peakKb / 1024.0);
    std::printf("folder_upload_files_per_s: %.0f\n", fileCount / folderSeconds);
    std::fflush(stdout);

    session.reset();
    service.terminate();
    service.waitForFinished(10000);
    QDir(root).removeRecursively();
    return 0;
}

#include "TransferBench.moc"
