#pragma once
// Helpers shared by the Qt tests: a fresh program data directory per test and a
// driver that answers modal dialogs as a user would.
#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

// Points RP57_HOME at a new empty directory for the object's life.
class TempHome {
public:
    TempHome() : m_old(qgetenv("RP57_HOME")), m_hadOld(qEnvironmentVariableIsSet("RP57_HOME")) {
        qputenv("RP57_HOME", m_dir.path().toUtf8());
    }
    ~TempHome() {
        if (m_hadOld)
            qputenv("RP57_HOME", m_old);
        else
            qunsetenv("RP57_HOME");
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    [[nodiscard]] bool IsValid() const { return m_dir.isValid(); }
    [[nodiscard]] QString Path() const { return m_dir.path(); }
    [[nodiscard]] std::string File(const char* name) const {
        return (m_dir.path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    }
    // Writes a file into the directory.
    bool Write(const char* name, const QByteArray& content) const;
    // The file's content; empty when missing.
    [[nodiscard]] QByteArray Read(const char* name) const;
    // Turns the trace log on at level 6 into "trace.log".
    bool EnableLog() const {
        return Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=trace.log\nLOG_LEVEL0=6\n");
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

// Waits in the background for a visible top-level widget of type T (and, when
// given, of that object name) and acts on it once. Modal dialogs run their own
// event loop, so the driver must be armed before the call that opens them.
template <class T> class ModalDriver {
public:
    explicit ModalDriver(std::function<void(T*)> action, QString objectName = {})
        : m_action(std::move(action)), m_name(std::move(objectName)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    [[nodiscard]] bool Fired() const { return m_fired; }
    void Stop() { m_timer.stop(); }

private:
    void Poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            T* target = qobject_cast<T*>(widget);
            if (!target || !target->isVisible())
                continue;
            if (!m_name.isEmpty() && target->objectName() != m_name)
                continue;
            m_timer.stop();
            m_fired = true;
            m_action(target);
            return;
        }
    }

    std::function<void(T*)> m_action;
    QString m_name;
    QTimer m_timer;
    bool m_fired = false;
};
