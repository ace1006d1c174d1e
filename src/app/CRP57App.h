#pragma once
// The application object: start-up and exit, and the process-wide values every
// part of the program reads (serial port, baud rate, item visibility, access
// level, printer, current data file).
#include "HRecentFileList.h"
#include "HSingleInstance.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <memory>
#include <string>

class CMainFrame;
class CRP57Doc;
class QPrinter;

class CRP57App : public QObject {
    Q_OBJECT
public:
    static constexpr int kItemCount = 18;
    static constexpr const char* kNoFile = "<none>";

    CRP57App();
    ~CRP57App() override;

    // The application object of this process (the first one made); null before.
    [[nodiscard]] static CRP57App* Instance();

    // Start-up. `arguments` are the words after the program name. True when the
    // main window is shown; false to end at once (another instance runs).
    bool InitInstance(const QStringList& arguments);
    // Closes the main window if still there, writes what exit writes, ends the
    // trace log. Returns `exitCode`.
    int ExitInstance(int exitCode = 0);

    // File > Print Setup (57606).
    void OnFilePrintSetup();

    // Brings the main window (and a dialog open over it) forward.
    void RaiseMainWindow();

    [[nodiscard]] CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    // The document with the radio memory image; null before start-up made it.
    [[nodiscard]] CRP57Doc* Document() const { return m_document.get(); }
    [[nodiscard]] const std::string& SettingsPath() const { return m_settingsPath; }
    [[nodiscard]] const QString& InstanceKey() const { return m_singleInstance.Key(); }

    [[nodiscard]] int ComPort() const { return m_comPort; }
    void SetComPort(int port) { m_comPort = port; }
    // An explicit serial device (Initialize/COM_DEVICE); it wins over the COM
    // port number. Empty: use the number.
    [[nodiscard]] const std::string& ComDevice() const { return m_comDevice; }
    void SetComDevice(const std::string& device) { m_comDevice = device; }
    [[nodiscard]] int BaudRate() const { return m_baudRate; }
    void SetBaudRate(int rate) { m_baudRate = rate; }
    [[nodiscard]] int ConnectionMode() const { return m_connectionMode; }
    void SetConnectionMode(int mode) { m_connectionMode = mode; }
    [[nodiscard]] int AccessLevel() const { return m_accessLevel; }

    [[nodiscard]] int Item(int index) const;
    void SetItem(int index, int visible);
    [[nodiscard]] const std::array<int, kItemCount>& Items() const { return m_items; }

    [[nodiscard]] const std::string& PrinterName() const { return m_printerName; }
    [[nodiscard]] QPrinter& Printer();
    [[nodiscard]] bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }

    [[nodiscard]] const std::string& CurrentFilePath() const { return m_currentFilePath; }
    void SetCurrentFilePath(const std::string& path) { m_currentFilePath = path; }
    [[nodiscard]] int ModifiedFlag() const { return m_modified; }
    void SetModifiedFlag(int flag) {
        m_modified = flag;
        emit ModifiedFlagChanged(flag);
    }

    // The data file named on the command line; empty when none.
    [[nodiscard]] const std::string& CommandLineFile() const { return m_commandLineFile; }
    [[nodiscard]] HRecentFileList& RecentFiles() { return m_recentFiles; }

signals:
    void MainWindowRaised();
    // Every setting of the modified flag, also to the value it had.
    void ModifiedFlagChanged(int flag);

private:
    void ReadSettings();
    void ConfirmAccess();

    HSingleInstance m_singleInstance;
    std::string m_settingsPath;
    HRecentFileList m_recentFiles{4};
    int m_comPort = 1;
    std::string m_comDevice;
    int m_baudRate = 9600;
    int m_connectionMode = 0;
    int m_accessLevel = 0;
    std::array<int, kItemCount> m_items{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::string m_printerName;
    std::string m_currentFilePath = kNoFile;
    int m_modified = 0;
    bool m_printing = false;
    std::string m_commandLineFile;
    // Exit writes the item flags only when start-up read them, so a refused
    // second start never overwrites the running instance's settings.
    bool m_settingsRead = false;
    bool m_exited = false;
    std::unique_ptr<QPrinter> m_printer;
    // Declared before the window so that it outlives it.
    std::unique_ptr<CRP57Doc> m_document;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
