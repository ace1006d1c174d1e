#pragma once
// One running program per executable, user and program data directory. The
// claim is a lock on a file in the data directory, so that of two starts at the
// same moment exactly one wins. The winner listens on a local socket; a later
// start connects, asks the winner to bring its window forward and ends.
#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QLocalServer;

class HSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit HSingleInstance(QObject* parent = nullptr);
    ~HSingleInstance() override;

    // The socket name: the executable's name, the user id and a digest of the
    // data directory (two copies with separate settings may run side by side).
    [[nodiscard]] static QString KeyFor(const std::string& executableName,
                                        const std::string& dataDir);

    // True when no other instance runs: this one then holds `lockPath` locked
    // and listens for later starts. False when one runs: it has been asked to
    // raise its window. A socket or lock file left behind by a crashed run
    // does not count.
    [[nodiscard]] bool Claim(const QString& key, const std::string& lockPath);
    [[nodiscard]] bool IsListening() const;
    // Stops listening: from now on a new start runs.
    void Release();
    [[nodiscard]] const QString& Key() const { return m_key; }

signals:
    void RaiseRequested();

private:
    static bool AskRunningInstance(const QString& key, int waitMs);
    void Listen();
    void OnNewConnection();

    QString m_key;
    int m_lockFd = -1;
    std::unique_ptr<QLocalServer> m_server;
};
