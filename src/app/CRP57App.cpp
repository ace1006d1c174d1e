#include "CRP57App.h"

#include "CMainFrame.h"
#include "CPasswordDialog.h"
#include "CRP57Doc.h"
#include "CRP57View.h"
#include "HAccessLevel.h"
#include "HCommandLine.h"
#include "HIniFile.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HProgramDir.h"
#include "HStringTable.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include <vector>

namespace {

CRP57App* s_instance = nullptr;

constexpr const char* kInitialize = "Initialize";
constexpr const char* kItemSection = "ITEM";

std::string ItemKey(int index) {
    return "ITEM" + std::to_string(index);
}

// The device name of the printer the print setup left selected; empty when the
// output goes to a file instead of a printer.
std::string PrinterNameOf(const QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return {};
    return printer.printerName().toStdString();
}

} // namespace

CRP57App::CRP57App() {
    if (!s_instance)
        s_instance = this;
}

CRP57App::~CRP57App() {
    if (!m_exited && m_mainFrame)
        ExitInstance();
    if (s_instance == this)
        s_instance = nullptr;
}

CRP57App* CRP57App::Instance() {
    return s_instance;
}

bool CRP57App::InitInstance(const QStringList& arguments) {
    HLogPrint::Begin();
    HLOG_D1("[FUNC IN]InitInstance");

    const std::string dataDir = HProgramDir::DataDir();
    if (!m_singleInstance.Claim(HSingleInstance::KeyFor(HProgramDir::ExecutableName(), dataDir),
                                HProgramDir::WithSlash(dataDir) + "." +
                                    HProgramDir::ExecutableName() + ".lock")) {
        HLOG_D1("%s", "InitInstance: another instance is running; asked it to come forward");
        HLOG_D1("[FUNC OUT]InitInstance");
        return false;
    }
    connect(&m_singleInstance, &HSingleInstance::RaiseRequested, this, &CRP57App::RaiseMainWindow);

    m_settingsPath = HProgramDir::SettingsPath();
    ReadSettings();

    std::vector<std::string> words;
    words.reserve(static_cast<std::size_t>(arguments.size()));
    for (const QString& argument : arguments)
        words.push_back(argument.toStdString());
    const HCommandLine commandLine = HCommandLine::Parse(words);
    m_accessLevel = commandLine.RequestedAccessLevel();
    m_commandLineFile = commandLine.FileName();
    HLOG_D2("command line [%s] asks for access level %d", commandLine.Text().c_str(),
            m_accessLevel);

    m_printerName = QPrinterInfo::defaultPrinterName().toStdString();
    m_currentFilePath = kNoFile;

    if (m_accessLevel != HAccessLevel::kNormal)
        ConfirmAccess();

    m_mainFrame = std::make_unique<CMainFrame>(*this);
    m_document = std::make_unique<CRP57Doc>(*this, *m_mainFrame);
    m_document->Start(m_commandLineFile);
    CRP57View::Install(*this, *m_mainFrame, *m_document);
    m_mainFrame->show();
    HLOG_D1("[FUNC OUT]InitInstance");
    return true;
}

void CRP57App::ReadSettings() {
    HIniFile ini(m_settingsPath);
    m_recentFiles.Load(ini);
    m_connectionMode = 0;

    m_comPort = ini.GetInt(kInitialize, "COM_PORT", 1);
    if (m_comPort < 1 || m_comPort > 16)
        m_comPort = 1;
    m_comDevice = ini.GetString(kInitialize, "COM_DEVICE", "");
    m_baudRate = ini.GetInt(kInitialize, "BAUDRATE", 9600);
    for (int i = 0; i < kItemCount; ++i)
        m_items[static_cast<std::size_t>(i)] = ini.GetInt(kItemSection, ItemKey(i), 1);
    if (!ini.Problem().empty()) {
        // What the file holds is unknown, so nothing of it may be overwritten:
        // the user's recent files, items and window size stay for a later run.
        HLOG_ER("settings file [%s] cannot be read (%s): running on defaults, the file is left "
                "as it is",
                m_settingsPath.c_str(), ini.Problem().c_str());
        return;
    }
    m_settingsRead = true;
    HLOG_D2("settings [%s]: COM_PORT=%d BAUDRATE=%d", m_settingsPath.c_str(), m_comPort,
            m_baudRate);

    if (!ini.WriteInt(kInitialize, "COM_PORT", m_comPort))
        HLOG_ER("cannot write the settings file [%s]", m_settingsPath.c_str());
}

void CRP57App::ConfirmAccess() {
    HLOG_D1("[FUNC IN]ConfirmAccess");
    const int requested = m_accessLevel;
    CPasswordDialog dialog;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_accessLevel = HAccessLevel::Confirmed(requested, accepted, dialog.Code().toStdString());
    if (m_accessLevel == HAccessLevel::kManufacture)
        HMessageBox::Show(nullptr, HStringTable::kManufactureModeWarning, QMessageBox::Information);
    HLOG_D1("access level %d requested, %d granted", requested, m_accessLevel);
    HLOG_D1("[FUNC OUT]ConfirmAccess");
}

int CRP57App::ExitInstance(int exitCode) {
    if (m_exited)
        return exitCode;
    m_exited = true;
    // The window goes first, as it would before the program's exit runs; it
    // writes the model of the image as the program ends with it.
    if (m_document && m_mainFrame)
        m_mainFrame->SetEndStatus(m_document->EndStatusOfImage());
    m_mainFrame.reset();
    m_document.reset();
    // No window is left to bring forward; a new start may run from here on.
    m_singleInstance.Release();
    HLOG_D1("%s", "ExitInstance() ");
    if (m_settingsRead) {
        HIniFile ini(m_settingsPath);
        for (int i = 0; i < kItemCount; ++i)
            ini.WriteInt(kItemSection, ItemKey(i), m_items[static_cast<std::size_t>(i)]);
        if (!m_recentFiles.Save(ini))
            HLOG_ER("cannot write the settings file [%s]", m_settingsPath.c_str());
    }
    HLogPrint::End();
    return exitCode;
}

void CRP57App::OnFilePrintSetup() {
    HLOG_D1("[FUNC IN]OnFilePrintSetup");
    if (m_mainFrame)
        m_mainFrame->SendViewSaveData();
    {
        QPrintDialog dialog(&Printer(), m_mainFrame.get());
        dialog.setObjectName(QStringLiteral("PrintSetupDialog"));
        dialog.setWindowTitle(QStringLiteral("Print Setup"));
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
        dialog.exec();
    }
    m_printerName = PrinterNameOf(Printer());
    HLOG_D1("OnFilePrintSetup: printer [%s]", m_printerName.c_str());
    if (m_mainFrame)
        m_mainFrame->SendViewRefresh();
    HLOG_D1("[FUNC OUT]OnFilePrintSetup");
}

QPrinter& CRP57App::Printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CRP57App::RaiseMainWindow() {
    const auto bringForward = [](QWidget* widget) {
        if (widget->isMinimized())
            widget->showNormal();
        widget->raise();
        widget->activateWindow();
    };
    const QByteArray property = m_singleInstance.Key().toUtf8();
    QWidget* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->property(property.constData()).toBool())
            window = widget;
    if (window)
        bringForward(window);
    // A dialog over the window, or the access code dialog before there is one.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != window)
        bringForward(modal);
    if (!window && !modal)
        return;
    HLOG_D1("%s", "RaiseMainWindow: a second start asked for the window");
    emit MainWindowRaised();
}

int CRP57App::Item(int index) const {
    return index >= 0 && index < kItemCount ? m_items[static_cast<std::size_t>(index)] : 0;
}

void CRP57App::SetItem(int index, int visible) {
    if (index >= 0 && index < kItemCount)
        m_items[static_cast<std::size_t>(index)] = visible;
}
