#include "runninginstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Requests: "raise", "open INDEX". Replies: "raised", or "refused TEXT"
// when the device asked for is not there.
const QByteArray kRaiseRequest = QByteArrayLiteral("raise\n");
const QByteArray kOpenRequest = QByteArrayLiteral("open ");
const QByteArray kRaisedReply = QByteArrayLiteral("raised\n");
const QByteArray kRefusedReply = QByteArrayLiteral("refused ");
// A request or reply is one short line; anything longer is not ours.
constexpr qint64 kMaxLine = 64;

// Makes the folder if missing and accepts it only as a real directory of
// this user that nobody else may enter.
bool privateFolder(const QString& folder, QString& error)
{
    const QByteArray path = QFile::encodeName(folder);
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        error = QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info;
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = QStringLiteral("%1: not a folder").arg(folder);
        return false;
    }
    if (info.st_uid != getuid()) {
        error = QStringLiteral("%1: belongs to another user").arg(folder);
        return false;
    }
    if ((info.st_mode & 0077) != 0) {
        error = QStringLiteral("%1: other users can reach it").arg(folder);
        return false;
    }
    return true;
}

// Reads one line of at most kMaxLine bytes, waiting up to the limit.
QByteArray readLine(QLocalSocket& socket, int waitMs)
{
    while (!socket.canReadLine() && socket.bytesAvailable() < kMaxLine) {
        if (!socket.waitForReadyRead(waitMs))
            break;
    }
    return socket.canReadLine() ? socket.readLine(kMaxLine + 1) : QByteArray();
}
} // namespace

RunningInstance::RunningInstance(QObject* parent) : QObject(parent) {}

RunningInstance::~RunningInstance() = default;

QString RunningInstance::socketPath(QString& error)
{
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    // A runtime folder that is named but missing counts as not set.
    const QString folder = QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()
                               ? runtime + QStringLiteral("/ondavia-setup")
                               : QDir::tempPath() + QStringLiteral("/ondavia-setup-%1").arg(getuid());
    if (!privateFolder(folder, error))
        return QString();
    return folder + QStringLiteral("/window.sock");
}

bool RunningInstance::askToRaise(const QString& path, int openIndex, QString* refusal)
{
    if (refusal)
        refusal->clear();
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(openIndex < 0 ? kRaiseRequest : kOpenRequest + QByteArray::number(openIndex) + '\n');
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    const QByteArray reply = readLine(socket, kWaitMs);
    if (reply.startsWith(kRefusedReply) && reply.endsWith('\n') && refusal)
        *refusal = QString::fromUtf8(reply.mid(kRefusedReply.size()).chopped(1));
    return reply == kRaisedReply;
}

RunningInstance::Outcome RunningInstance::start(int openIndex)
{
    QString error;
    const QString path = socketPath(error);
    if (path.isEmpty()) {
        qWarning().noquote() << "OndaviaSetup: no private runtime folder, so a second start opens another window:"
                             << error;
        return Alone;
    }
    if (askToRaise(path, openIndex, &m_refusal))
        return OtherRaised;
    if (!m_refusal.isEmpty())
        return OtherRefused;

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path) && m_server->serverError() == QAbstractSocket::AddressInUseError) {
        // Either left by a program that ended without tidying up, or one
        // that started at the same moment and listens now.
        if (askToRaise(path, openIndex, &m_refusal) || !m_refusal.isEmpty()) {
            delete m_server;
            m_server = nullptr;
            return m_refusal.isEmpty() ? OtherRaised : OtherRefused;
        }
        QLocalServer::removeServer(path);
        m_server->listen(path);
    }
    if (!m_server->isListening()) {
        qWarning().noquote() << "OndaviaSetup:" << path << m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return Alone;
    }
    connect(m_server, &QLocalServer::newConnection, this, &RunningInstance::onNewConnection);
    return Listening;
}

void RunningInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A caller that never finishes its line is dropped.
        QTimer::singleShot(kWaitMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort();
                return;
            }
            const QByteArray reply = answer(socket->readLine(kMaxLine + 1));
            if (!reply.isEmpty())
                socket->write(reply);
            socket->disconnectFromServer();
        });
    }
}

QByteArray RunningInstance::answer(const QByteArray& request)
{
    if (request == kRaiseRequest) {
        emit activationRequested();
        return kRaisedReply;
    }
    if (!request.startsWith(kOpenRequest) || !request.endsWith('\n'))
        return QByteArray();
    bool ok = false;
    const int index = request.mid(kOpenRequest.size()).trimmed().toInt(&ok);
    if (!ok || index < 0)
        return QByteArray();
    emit activationRequested();
    const QString refused = m_openHandler ? m_openHandler(index) : QString();
    if (refused.isEmpty())
        return kRaisedReply;
    // The reply is one short line.
    return kRefusedReply + refused.toUtf8().left(kMaxLine - kRefusedReply.size() - 1) + '\n';
}
