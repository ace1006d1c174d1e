#include "HSingleInstance.h"

#include "HLogPrint.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kConnectWaitMs = 1000;
// How long a start that lost the claim keeps asking the winner to come forward.
constexpr qint64 kClaimWaitMs = 5000;
constexpr int kRetryWaitMs = 200;
constexpr useconds_t kRetryPauseUs = 20000;
constexpr QByteArrayView kRaiseRequest = "raise\n";
} // namespace

HSingleInstance::HSingleInstance(QObject* parent) : QObject(parent) {}

HSingleInstance::~HSingleInstance() {
    Release();
}

QString HSingleInstance::KeyFor(const std::string& executableName, const std::string& dataDir) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(dataDir), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return QStringLiteral("%1-%2-%3")
        .arg(QString::fromStdString(executableName))
        .arg(static_cast<qulonglong>(::getuid()))
        .arg(QString::fromLatin1(digest));
}

bool HSingleInstance::AskRunningInstance(const QString& key, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(key);
    if (!socket.waitForConnected(waitMs))
        return false;
    socket.write(kRaiseRequest.data(), kRaiseRequest.size());
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return true;
}

bool HSingleInstance::Claim(const QString& key, const std::string& lockPath) {
    m_key = key;
    const int fd =
        ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The lock is ours: whatever socket exists was left by a run that ended.
            m_lockFd = fd;
            QLocalServer::removeServer(key);
            Listen();
            return true;
        }
        const int lockError = errno;
        ::close(fd);
        if (lockError == EWOULDBLOCK) {
            // The winner may still be on its way to listening: keep asking briefly.
            QElapsedTimer waited;
            waited.start();
            while (!AskRunningInstance(key, kRetryWaitMs) && waited.elapsed() < kClaimWaitMs)
                ::usleep(kRetryPauseUs);
            return false;
        }
    } else if (fd >= 0) {
        ::close(fd);
    }
    // No lock to be had (an odd data directory): the socket alone guards.
    HLOG_WR("single instance lock [%s] unusable; the socket alone guards", lockPath.c_str());
    if (AskRunningInstance(key, kConnectWaitMs))
        return false;
    QLocalServer::removeServer(key);
    Listen();
    return true;
}

void HSingleInstance::Listen() {
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key)) {
        // Without the socket the program still runs; later starts are still
        // refused by the lock, only the raise is lost.
        HLOG_WR("single instance socket [%s] cannot listen: %s", m_key.toUtf8().constData(),
                m_server->errorString().toUtf8().constData());
        m_server.reset();
        return;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &HSingleInstance::OnNewConnection);
}

bool HSingleInstance::IsListening() const {
    return m_server && m_server->isListening();
}

void HSingleInstance::Release() {
    if (m_server)
        m_server->close();
    m_server.reset();
    if (m_lockFd >= 0)
        ::close(m_lockFd); // the lock goes with the descriptor
    m_lockFd = -1;
}

void HSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        emit RaiseRequested();
    }
}
