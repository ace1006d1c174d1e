#pragma once
// Helpers shared by the Qt tests: a fresh program data directory per test, the
// program started in it, and drivers that answer modal dialogs as a user would.
#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHistoryCommands.h"
#include "HIniFile.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HStringTable.h"
#include "HValueCombo.h"

#include <QtTest>
#include <QtWidgets>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The test classes, each run by the test main against the same QApplication;
// RP57_APP_TEST(Class) adds one.
struct AppTestRun {
    const char* name;
    int (*run)(int argc, char** argv);
};
std::vector<AppTestRun>& AppTests();
#define RP57_APP_TEST(Class)                                                                       \
    static const bool kRegistered##Class =                                                         \
        (AppTests().push_back({#Class,                                                             \
                               [](int argc, char** argv) {                                         \
                                   Class test;                                                     \
                                   return QTest::qExec(&test, argc, argv);                         \
                               }}),                                                                \
         true);

// Numbers as one blank-separated line, so that one comparison shows them all.
inline QString Line(std::initializer_list<qint64> values) {
    QStringList out;
    for (qint64 value : values)
        out << QString::number(value);
    return out.join(QLatin1Char(' '));
}

// Points RP57_HOME at a new empty directory for the object's life.
class TempHome {
public:
    TempHome() : m_old(qgetenv("RP57_HOME")), m_hadOld(qEnvironmentVariableIsSet("RP57_HOME")) {
        qputenv("RP57_HOME", m_dir.path().toUtf8());
    }
    ~TempHome() {
        // The records of the test's transfers land before their folder goes.
        HHistoryCommands::Flush();
        if (m_hadOld)
            qputenv("RP57_HOME", m_old);
        else
            qunsetenv("RP57_HOME");
    }

    [[nodiscard]] QString Path() const { return m_dir.path(); }
    [[nodiscard]] std::string File(const char* name) const { return QPath(name).toStdString(); }
    [[nodiscard]] QString QPath(const char* name) const {
        return m_dir.path() + QLatin1Char('/') + QLatin1String(name);
    }
    // Writes a file into the directory.
    bool Write(const char* name, const QByteArray& content) const;
    // The file's content; empty when missing.
    [[nodiscard]] QByteArray Read(const char* name) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

// With RP57_SHOT_DIR set, the X screen as it is now (run under
// xvfb-run with the xcb platform), for a person to look at.
void ShootScreen(const QString& name);
// With RP57_SHOT_DIR set, the widget as drawn saved there as `name`.png.
void SaveShot(QWidget* widget, const QString& name);

// Waits in the background for a visible dialog of type T (and, when given, of
// that object name) and acts on it once; a dialog the action left open (a check
// in it failed early) is rejected, so that a failing test ends instead of
// waiting. Modal dialogs run their own event loop, so the driver must be armed
// before the call that opens them.
template <class T> class ModalDriver {
public:
    explicit ModalDriver(std::function<void(T*)> action, QString objectName = {})
        : m_action(std::move(action)), m_name(std::move(objectName)) {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    [[nodiscard]] bool Fired() const { return m_fired; }

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
            if (target->isVisible())
                target->reject();
            return;
        }
    }

    std::function<void(T*)> m_action;
    QString m_name;
    QTimer m_timer;
    bool m_fired = false;
};

// Answers every message box: by message number from a queue per number, else
// with `fallback` when the box has it, else with its escape or first button,
// so that a test never hangs. Records the names and texts asked. With
// `answerPasswords`, the password dialog takes the next of `passwords` (none
// left: Cancel). With `pressReturn`, every box is answered by a Return key
// pressed on the widget that has the focus in it, as a user who only hits
// Enter, and `pressed` records the button that gave.
class MessageAnswers {
public:
    explicit MessageAnswers(QMessageBox::StandardButton fallback = QMessageBox::NoButton);
    void Queue(int id, QMessageBox::StandardButton button) { m_answers[id].push_back(button); }
    [[nodiscard]] QString LastText() const { return texts.isEmpty() ? QString() : texts.last(); }

    QStringList asked; // object names
    QStringList texts;
    QStringList details; // the boxes' informative texts, one per box
    bool pressReturn = false;
    QList<QMessageBox::StandardButton> pressed;
    bool answerPasswords = false;
    QStringList passwords;
    int passwordAsked = 0;
    QString passwordPrompt; // the line above the password edit, when shown

private:
    void Poll();

    QMessageBox::StandardButton m_fallback;
    QTimer m_timer;
    std::map<int, std::deque<QMessageBox::StandardButton>> m_answers;
};

// The program started in the current RP57_HOME; at access level 1 or 2 through
// the access code dialog and the Manufacture Mode warning. Ends with the object.
struct RunningApp {
    CRP57App app;
    CMainFrame* frame = nullptr;
    CRP57Doc* doc = nullptr;
    explicit RunningApp(int level = 0, const QStringList& words = {});
    // The file part of the window title (without the unsaved-changes mark).
    [[nodiscard]] QString TitlePath() const {
        return frame->windowTitle()
            .section(QStringLiteral(" - "), 0, 0)
            .remove(QStringLiteral("[*]"));
    }
};

// A set with a display, so that the grids show their TAG columns.
void GiveDisplay(HMemoryImage& image);

// The program started in a fresh RP57_HOME on a set with a display, so that
// the grids show their TAG columns: the start of the tests that work the
// program by keyboard. `prepare` edits the image further, which the channel
// grid then shows as a file just opened.
struct KeyboardApp {
    TempHome home;
    RunningApp run;
    explicit KeyboardApp(int level = 0, const std::function<void(HMemoryImage&)>& prepare = {});
    [[nodiscard]] bool Ready() const { return run.frame != nullptr; }
    // The main window made active, so that keys sent to it reach it.
    bool Activate();
};

// Keys as the keyboard sends them: to the window, which hands them to the
// widget with the focus.
inline void Press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(window->windowHandle(), key, modifiers);
}
inline void TypeKeys(QWidget* window, const QString& keys) {
    for (const QChar ch : keys)
        QTest::keyClick(window->windowHandle(), ch.toLatin1());
}

// Picks a list entry, by index or by its text, as a pick from the list does.
inline void PickIndex(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}
inline void PickText(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    PickIndex(combo, index);
}

// Takes `path` in the next file dialog with this object name; an empty path
// cancels it.
class FileChoice : public ModalDriver<QFileDialog> {
public:
    FileChoice(const QString& dialogName, const QString& path)
        : ModalDriver<QFileDialog>(
              [path](QFileDialog* dialog) {
                  if (path.isEmpty()) {
                      dialog->reject();
                      return;
                  }
                  dialog->selectFile(path);
                  // As the Open/Save button does (accept() is not public here).
                  QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
              },
              dialogName) {}
};

// The dialog a command opened, once it is up and active; null after 5 s.
QDialog* WaitForActiveDialog();

// The letter of a text's '&' (upper case), or an empty string.
QString Mnemonic(const QString& text);
// Letters used twice among `entries` (letter -> texts): "S: Save, Scan".
QStringList Twice(const std::map<QString, QStringList>& entries);

// A radio as it leaves the factory: the built-in image with mobile model
// codes and the end mark in place.
HMemoryImage FactoryRadio();

// The simulated radio as a child process, its memory file, link and frame log
// in the test's directory and named after it. Without `memory` it is the
// simulator's own factory-aligned radio, with no memory file until something
// is written. `extra` goes to its command line ("--fault", "silent").
class SimRadio {
public:
    SimRadio(const TempHome& home, const std::optional<HMemoryImage>& memory,
             const QStringList& extra = {}, QString name = QStringLiteral("radio"));
    ~SimRadio() { Stop(); }
    SimRadio(const SimRadio&) = delete;
    SimRadio& operator=(const SimRadio&) = delete;

    [[nodiscard]] bool Started() const { return m_ok && QFileInfo(Link()).isSymLink(); }
    [[nodiscard]] QString Link() const { return File(""); }
    // The radio saved a memory file: something was written to it.
    [[nodiscard]] bool MemoryKept() const { return QFileInfo::exists(File(".mem")); }
    void Stop();
    HMemoryImage StopAndRead();
    // Frames the program sent that start with `start` ("F2 02"), as hex text.
    [[nodiscard]] QStringList Sent(const QString& start) const;
    // Whether the program sent any EEPROM or FLASH write.
    [[nodiscard]] bool Wrote() const {
        return !Sent(QStringLiteral("F1")).isEmpty() || !Sent(QStringLiteral("F3")).isEmpty();
    }
    // The block bytes of the read requests of one area ("F0" or "F2").
    [[nodiscard]] QString ReadBlocks(const char* area) const;

private:
    [[nodiscard]] QString File(const char* suffix) const {
        return m_home.Path() + QLatin1Char('/') + m_name + QLatin1String(suffix);
    }
    const TempHome& m_home;
    QString m_name;
    QProcess m_process;
    bool m_ok = false;
};
