#include "HSingleInstance.h"

#include "HLogPrint.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
constexpr int kConnectWaitMs = 1000;
constexpr QByteArrayView kRaiseRequest = "raise\n";
} // namespace

HSingleInstance::HSingleInstance(QObject* parent) : QObject(parent) {}

HSingleInstance::~HSingleInstance() = default;

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

bool HSingleInstance::AskRunningInstance(const QString& key) {
    QLocalSocket socket;
    socket.connectToServer(key);
    if (!socket.waitForConnected(kConnectWaitMs))
        return false;
    socket.write(kRaiseRequest.data(), kRaiseRequest.size());
    socket.waitForBytesWritten(kConnectWaitMs);
    socket.disconnectFromServer();
    return true;
}

bool HSingleInstance::Claim(const QString& key) {
    m_key = key;
    if (AskRunningInstance(key))
        return false;
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(key)) {
        // Nobody answered above, so a socket file that is still there was left by
        // a run that crashed. Ask once more (a start racing with ours may have just
        // begun listening) and only then clear it.
        if (AskRunningInstance(key)) {
            m_server.reset();
            return false;
        }
        QLocalServer::removeServer(key);
        if (!m_server->listen(key)) {
            // Without the socket the program still runs; only the guard is lost.
            HLOG_WR("single instance socket [%s] cannot listen: %s", key.toUtf8().constData(),
                    m_server->errorString().toUtf8().constData());
            m_server.reset();
            return true;
        }
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &HSingleInstance::OnNewConnection);
    return true;
}

bool HSingleInstance::IsListening() const {
    return m_server && m_server->isListening();
}

void HSingleInstance::Release() {
    if (m_server)
        m_server->close();
    m_server.reset();
}

void HSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        emit RaiseRequested();
    }
}
