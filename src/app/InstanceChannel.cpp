#include "app/InstanceChannel.h"

#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel {

namespace {

constexpr QByteArrayView kAcknowledgement = "ok\n";
// A line longer than this is no command of ours.
constexpr qint64 kMaximumCommandSize = 1024 * 1024;

// Whether the folder is a real folder (no symbolic link) of this user that nobody else may enter. Made,
// private, when `create` and it does not exist.
bool isPrivateFolder(const QString& path, bool create)
{
    const QByteArray native = QFile::encodeName(path);
    if (create) {
        QDir().mkpath(QFileInfo(path).path());
        ::mkdir(native.constData(), 0700);
    }
    struct stat info;
    if (::lstat(native.constData(), &info) != 0)
        return false;
    if (S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 077) == 0)
        return true;
    TQLog("E: InstanceChannel: %@ is no private folder of this user: not used", path);
    return false;
}

// The folder of the socket: the runtime folder, else one of our own below the temporary folder, else
// one in the data folder; each only when it is ours alone, so that nobody else can listen in our place.
// Null when none is.
QString runtimeFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && runtime.startsWith('/') && isPrivateFolder(QFile::decodeName(runtime), false))
        return QFile::decodeName(runtime);
    const QString temporary = Paths::tempFolder() + QStringLiteral("/tavrel-%1").arg(::getuid());
    if (isPrivateFolder(temporary, true))
        return temporary;
    const QString data = Paths::dataHome() + QStringLiteral("/tavrel-instance");
    if (isPrivateFolder(data, true))
        return data;
    return QString();
}

} // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<tavrel::LaunchCommand>();
}

InstanceChannel::~InstanceChannel()
{
    close();
}

QString InstanceChannel::serverName()
{
    const QByteArray home =
        QCryptographicHash::hash(QDir::cleanPath(Paths::dataHome()).toUtf8(), QCryptographicHash::Sha1);
    const QString folder = runtimeFolder();
    if (folder.isNull())
        return QString();
    return folder + QStringLiteral("/tavrel-") + QString::fromLatin1(home.toHex().left(12)) +
           QStringLiteral(".socket");
}

bool InstanceChannel::sendToRunningInstance(const LaunchCommand& command, int timeoutMs, QString* error)
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs)) {
        if (error)
            *error = socket.errorString();
        return false;
    }
    socket.write(command.encoded());
    if (!socket.waitForBytesWritten(timeoutMs)) {
        if (error)
            *error = socket.errorString();
        return false;
    }
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    if (answer != kAcknowledgement) {
        if (error)
            *error = QStringLiteral("the running Tavrel did not take the command");
        return false;
    }
    return true;
}

bool InstanceChannel::listen(QString* error)
{
    if (isListening())
        return true;
    const QString name = serverName();
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("no private folder for the instance socket");
        return false;
    }
    // Two starts at the same moment: the lock makes one of them look, find none and listen, and the
    // other find it listening.
    QLockFile lock(name + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(kSendTimeoutMs)) {
        if (error)
            *error = QStringLiteral("cannot lock %1").arg(lock.fileName());
        return false;
    }
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(1000)) {
            probe.disconnectFromServer();
            if (error)
                *error = QStringLiteral("Tavrel is already running");
            return false;
        }
    }
    // Nobody answers: a socket left behind by an instance that ended without closing it.
    QLocalServer::removeServer(name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        if (error)
            *error = server->errorString();
        delete server;
        return false;
    }
    m_server = server;
    connect(server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    TQLog("InstanceChannel: listening on %@", name);
    return true;
}

bool InstanceChannel::isListening() const
{
    return m_server && m_server->isListening();
}

void InstanceChannel::close()
{
    if (!m_server)
        return;
    const QString name = m_server->fullServerName();
    m_server->close();
    delete m_server.data();
    QLocalServer::removeServer(name);
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server ? m_server->nextPendingConnection() : nullptr) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaximumCommandSize) {
                TQLog("E: InstanceChannel: a command over %@ bytes, dropped",
                      QString::number(kMaximumCommandSize));
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            const std::optional<LaunchCommand> command = LaunchCommand::decoded(line);
            if (!command) {
                TQLog("E: InstanceChannel: not a command: %@", QString::fromUtf8(line.trimmed().left(200)));
                socket->disconnectFromServer();
                return;
            }
            socket->write(kAcknowledgement.data(), kAcknowledgement.size());
            socket->flush();
            socket->disconnectFromServer();
            TQLog("InstanceChannel: received %@ with %@ files", LaunchCommand::nameOfVerb(command->verb()),
                  QString::number(command->files().size()));
            emit commandReceived(*command);
        });
    }
}

} // namespace tavrel
