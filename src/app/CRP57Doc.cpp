#include "CRP57Doc.h"

#include "CFileDataDlg.h"
#include "CRP57App.h"
#include "HChannels.h"
#include "HCreateNewFile.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HDocumentHistory.h"
#include "HFileUtil.h"
#include "HHardwareGroup.h"
#include "HIniFile.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HModelEditor.h"
#include "HProgramDir.h"
#include "HStringTable.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>

#include <fstream>

namespace {

constexpr const char* kInitialize = "Initialize";
// The folder the Open and Save As dialogs last went to.
constexpr const char* kLastFolder = "LAST_FOLDER";
const QString kNameFilters = QStringLiteral("RP57 Files (*.R57 *.r57)");

// The first byte of the file can be read: the test the original made before
// it chose a file to load.
bool CanReadFirstByte(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char byte = 0;
    return in && in.get(byte);
}

bool IsUntitled(const std::string& path) {
    return path.empty() || path == CRP57App::kNoFile;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CRP57Doc::CRP57Doc(CRP57App& app, CMainFrame& frame)
    : QObject(nullptr), m_app(app), m_frame(frame) {
    InstallHandlers();
    m_history = std::make_unique<HDocumentHistory>(m_app, m_frame, *this);
    connect(&m_app, &CRP57App::ModifiedFlagChanged, this, [this](int flag) {
        // Before the first document title there is no place to show it.
        if (m_frame.windowTitle().contains(QStringLiteral("[*]")))
            m_frame.setWindowModified(flag != 0);
    });
    // A note on the status bar tells of the image it was made for: another
    // image (a file, a new model, the radio's) makes it stale.
    connect(this, &CRP57Doc::ImageLoaded, this, [this] { m_frame.ShowStatusNote({}); });
}

CRP57Doc::~CRP57Doc() = default;

void CRP57Doc::InstallHandlers() {
    m_frame.SetCommandHandler(HCmd::kFileNew, [this] { OnFileNew(); });
    m_frame.SetCommandHandler(HCmd::kFileOpen, [this] { OnFileOpen(); });
    m_frame.SetCommandHandler(HCmd::kFileSave, [this] { OnFileSave(); });
    m_frame.SetCommandHandler(HCmd::kFileSaveAs, [this] { OnFileSaveAs(); });
    m_frame.SetRecentFileHandler([this](const std::string& path) { OpenRecentFile(path); });
    m_frame.SetCloseGuard([this] { return SaveModified(); });
    // Until the channel view takes the key, the window opens the raw editor.
    auto* fileData = new QAction(QStringLiteral("File Data"), &m_frame);
    fileData->setObjectName(QStringLiteral("actionFileData"));
    fileData->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9));
    fileData->setShortcutContext(Qt::WindowShortcut);
    connect(fileData, &QAction::triggered, this, &CRP57Doc::OnFileData);
    m_frame.addAction(fileData);
}

std::string CRP57Doc::DefaultFilePath(std::string_view name) {
    return HProgramDir::WithSlash(HProgramDir::DataDir()) + std::string(name);
}

bool CRP57Doc::IsDefaultFileName(const std::string& path) {
    const std::string name = FileNameOf(path);
    for (const auto& row : kDefaultFiles)
        for (std::string_view entry : row)
            if (name == entry)
                return true;
    return false;
}

void CRP57Doc::Start(const std::string& commandLineFile) {
    HLOG_D1("[FUNC IN]CRP57Doc::Start");
    if (!commandLineFile.empty()) {
        const std::string path =
            QFileInfo(QString::fromStdString(commandLineFile)).absoluteFilePath().toStdString();
        if (ReadInto(path, true)) {
            m_app.SetCurrentFilePath(path);
            m_app.RecentFiles().Add(path);
            m_frame.UpdateRecentFileMenu();
            AfterLoad();
            m_history->Reset();
            HLOG_D1("[FUNC OUT]CRP57Doc::Start");
            return;
        }
        // The file was reported; the program starts with its usual image
        // rather than ending with nothing on the screen.
        HLOG_ER("command line file [%s] not opened; start-up image used", path.c_str());
    }
    OnNewDocument();
    m_history->Reset();
    HLOG_D1("[FUNC OUT]CRP57Doc::Start");
}

void CRP57Doc::OnNewDocument() {
    HLOG_D1("[FUNC IN]CRP57Doc::OnNewDocument");
    m_app.SetModifiedFlag(0);
    m_app.SetCurrentFilePath(CRP57App::kNoFile);
    const auto [productType, band, lcdType] = CMainFrame::ReadEndStatus(m_app.SettingsPath());
    HLOG_D1("End Status: ProductType=%d Freq.Band=%d LCDType=%d", productType, band, lcdType);
    LoadForModel(band, productType, lcdType);
    WriteLcdType(lcdType);
    AfterLoad();
    HLOG_D1("[FUNC OUT]CRP57Doc::OnNewDocument");
}

bool CRP57Doc::LoadForModel(int request, int productType, int lcdType) {
    const int band = request & 0x0F;
    const int row = productType == 0 ? 0 : 1;
    std::string found;
    if ((request & 0xF0) == kRequestReadCurrent) {
        if (CanReadFirstByte(m_app.CurrentFilePath()))
            found = m_app.CurrentFilePath();
    } else if (band == kBandNone) {
        for (const auto& names : kDefaultFiles) {
            for (int b = 0; b < 6 && found.empty(); ++b) {
                const std::string path =
                    DefaultFilePath(names[static_cast<std::size_t>(kLookupColumn[std::size_t(b)])]);
                if (CanReadFirstByte(path))
                    found = path;
            }
            if (!found.empty())
                break;
        }
    } else if (band >= 0 && band < kBandNone) {
        const std::string path = DefaultFilePath(
            kDefaultFiles[std::size_t(row)][std::size_t(kLookupColumn[std::size_t(band)])]);
        if (CanReadFirstByte(path))
            found = path;
    }

    if (!found.empty()) {
        if (ReadInto(found, false)) {
            m_app.SetCurrentFilePath(found);
            HLOG_D1("LoadForModel(%#x, %d): read [%s]", request, productType, found.c_str());
            UpdateTitle();
            return true;
        }
    }

    // No file: the built-in image, made for the requested model (no band
    // chosen: the built-in model, a VHF mobile set).
    m_image = band >= 0 && band < kBandNone ? MakeImageForModel(band, row, lcdType)
                                            : MakeImageForModel(kBandVhf, 0, lcdType);
    HLOG_D1("LoadForModel(%#x, %d): built-in image", request, productType);
    if ((request & 0xF0) == 0) {
        const std::string_view name = band == kBandNone
                                          ? kDefaultFiles[0][0]
                                          : kDefaultFiles[std::size_t(row)][std::size_t(band)];
        const std::string path = DefaultFilePath(name);
        // An existing file that failed to read is left for the user to look at.
        if (!QFileInfo::exists(QString::fromStdString(path))) {
            // With no band chosen the file keeps the built-in image as it is;
            // the settings' display type goes to the image in memory only.
            const HDataFileResult written =
                HDataFile::Write(path, band == kBandNone ? BuildDefaultImage() : m_image);
            if (!written.Ok())
                ShowFileMessage(written.messageId, path, written.detail);
            else
                HLOG_D1("default data file [%s] created", path.c_str());
        }
        m_app.SetCurrentFilePath(CRP57App::kNoFile);
    }
    UpdateTitle();
    return false;
}

void CRP57Doc::WriteLcdType(int lcdType) {
    HHardwareGroup hw;
    hw.Load(m_image);
    const bool handheld = hw.GetValue(HHardwareGroup::kRowProductType) != 0;
    hw.SetValue(handheld ? HHardwareGroup::kRowDisplayHandheld : HHardwareGroup::kRowDisplayMobile,
                lcdType);
    hw.Save(m_image);
}

CMainFrame::EndStatus CRP57Doc::EndStatusOfImage() const {
    HHardwareGroup hw;
    hw.Load(m_image);
    CMainFrame::EndStatus status;
    const bool handheld = hw.GetValue(HHardwareGroup::kRowProductType) != 0;
    status.productType = handheld ? 1 : 0;
    status.band = hw.GetValue(HHardwareGroup::kRowBand);
    status.lcdType = hw.GetValue(handheld ? HHardwareGroup::kRowDisplayHandheld
                                          : HHardwareGroup::kRowDisplayMobile);
    return status;
}

QString CRP57Doc::DocumentTitle() const {
    return QString::fromStdString(m_app.CurrentFilePath());
}

void CRP57Doc::UpdateTitle() {
    // "[*]" is where the window shows that the image has unsaved changes.
    m_frame.setWindowTitle(DocumentTitle() + QStringLiteral("[*] - ") + m_frame.AppTitle());
    m_frame.setWindowModified(m_app.ModifiedFlag() != 0);
}

void CRP57Doc::AfterLoad() {
    UpdateTitle();
    // The signalling commands follow the image just loaded.
    HChannelSignalling signalling;
    signalling.Load(m_image);
    m_frame.SetSignallingMenuMode(signalling.GetValue(HChannelSignalling::kSignallingType));
    emit ImageLoaded();
}

void CRP57Doc::ShowFileMessage(int id, const std::string& path, const std::string& detail) {
    const std::vector<std::string> args = HStringTable::Get(id).find("%1") != std::string::npos
                                              ? std::vector<std::string>{path}
                                              : std::vector<std::string>{};
    HMessageBox::Show(&m_frame, id, QMessageBox::Critical, QMessageBox::Ok, args, detail);
}

bool CRP57Doc::ReadInto(const std::string& path, bool precheckSize) {
    const HDataFileResult result =
        precheckSize ? HDataFile::Open(path, m_image) : HDataFile::Read(path, m_image);
    if (result.Ok())
        return true;
    ShowFileMessage(result.messageId, path, result.detail);
    return false;
}

bool CRP57Doc::SaveModified(bool* discarded) {
    if (discarded)
        *discarded = false;
    m_frame.SendViewSaveData();
    if (m_app.ModifiedFlag() == 0)
        return true;
    const QMessageBox::StandardButton answer = HMessageBox::Show(
        &m_frame, HStringTable::kSaveChanges, QMessageBox::Warning,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, {}, {}, QMessageBox::Yes);
    HLOG_D1("SaveModified: answer %d", static_cast<int>(answer));
    if (answer == QMessageBox::Yes) {
        // Changes are dropped only when the user says No: a Save As that was
        // cancelled or failed stops the caller as Cancel does.
        if (!OnFileSaveAs())
            return false;
    } else if (answer != QMessageBox::No) {
        return false;
    } else if (discarded) {
        *discarded = true;
    }
    m_app.SetModifiedFlag(0);
    return true;
}

void CRP57Doc::OnFileNew() {
    HLOG_D1("[FUNC IN]CRP57Doc::OnFileNew");
    m_frame.SendViewSaveData();
    HModelEditor editor({&m_image, m_app.AccessLevel()});
    bool accepted = false;
    {
        HCreateNewFile dialog(editor, &m_frame);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted && editor.ModelChanged()) {
        const HModelChoice choice = editor.Choice();
        HLOG_D1("new image: band %d product type %d LCD type %d", choice.band, choice.productType,
                choice.lcdType);
        if (SaveModified()) {
            m_app.SetCurrentFilePath(CRP57App::kNoFile);
            LoadForModel(choice.band, choice.productType, choice.lcdType);
            WriteLcdType(choice.lcdType);
            m_app.SetModifiedFlag(0);
            AfterLoad();
        }
    }
    m_frame.SendViewRefresh();
    HLOG_D1("[FUNC OUT]CRP57Doc::OnFileNew");
}

std::optional<std::string> CRP57Doc::AskPath(bool save) {
    QFileDialog dialog(&m_frame, save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog.setObjectName(save ? QStringLiteral("FileSaveAsDialog")
                              : QStringLiteral("FileOpenDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({kNameFilters, QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QString::fromLatin1(HDataFile::kDefaultExtension));
    HIniFile ini(m_app.SettingsPath());
    const QString lastFolder = QString::fromStdString(ini.GetString(kInitialize, kLastFolder, ""));
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        dialog.setDirectory(lastFolder);
    else if (!IsUntitled(m_app.CurrentFilePath()))
        dialog.setDirectory(QFileInfo(DocumentTitle()).absolutePath());
    if (save && !IsUntitled(m_app.CurrentFilePath()))
        dialog.selectFile(DocumentTitle());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!ini.WriteString(kInitialize, kLastFolder, QFileInfo(chosen).absolutePath().toStdString()))
        HLOG_ER("cannot write the settings file [%s]", m_app.SettingsPath().c_str());
    return chosen.toStdString();
}

void CRP57Doc::OnFileOpen() {
    HLOG_D1("[FUNC IN]CRP57Doc::OnFileOpen");
    if (const std::optional<std::string> path = AskPath(false))
        OpenFile(*path);
    HLOG_D1("[FUNC OUT]CRP57Doc::OnFileOpen");
}

bool CRP57Doc::OpenFile(const std::string& path) {
    // The file is read whole into a buffer of its own before anything else:
    // a file that fails changes nothing, and the bytes loaded are the bytes
    // that were checked.
    HMemoryImage buffer{};
    const HDataFileResult result = HDataFile::Open(path, buffer);
    if (!result.Ok()) {
        ShowFileMessage(result.messageId, path, result.detail);
        return false;
    }
    if (!SaveModified())
        return false;
    TakeOpenedImage(buffer, path);
    HLOG_D1("opened [%s]", path.c_str());
    return true;
}

void CRP57Doc::TakeOpenedImage(const HMemoryImage& image, const std::string& path) {
    m_image = image;
    m_app.SetCurrentFilePath(path);
    m_app.SetModifiedFlag(0);
    m_app.RecentFiles().Add(path);
    m_frame.UpdateRecentFileMenu();
    AfterLoad();
    m_frame.SendViewRefresh();
    // Another file: the steps of the one before do not apply to it.
    m_history->Reset();
}

void CRP57Doc::OpenRecentFile(const std::string& path) {
    HLOG_D1("[FUNC IN]CRP57Doc::OpenRecentFile");
    // The original framework opened these without asking, its own modified
    // flag being always clear; here changes are never dropped unasked.
    HMemoryImage buffer{};
    const HDataFileResult result = HDataFile::Read(path, buffer);
    if (!result.Ok()) {
        ShowFileMessage(result.messageId, path, result.detail);
    } else if (SaveModified()) {
        TakeOpenedImage(buffer, path);
    }
    HLOG_D1("[FUNC OUT]CRP57Doc::OpenRecentFile");
}

bool CRP57Doc::OnFileSave() {
    HLOG_D1("[FUNC IN]CRP57Doc::OnFileSave");
    const std::string path = m_app.CurrentFilePath();
    bool saved = false;
    if (!IsUntitled(path) && IsReadOnlyFile(path)) {
        ShowFileMessage(HStringTable::kFileReadOnly, path);
    } else if (IsDefaultFileName(path) &&
               HMessageBox::Show(&m_frame, HStringTable::kWriteDefaultFile, QMessageBox::Question,
                                 QMessageBox::Yes | QMessageBox::No, {}, {},
                                 QMessageBox::No) != QMessageBox::Yes) {
        HLOG_D1("%s", "OnFileSave: default file not written");
    } else {
        m_frame.SendViewSaveData();
        if (IsUntitled(path)) {
            // An untitled image needs a name: say so, then ask for one.
            ShowFileMessage(HStringTable::kFileOpenError, CRP57App::kNoFile);
            HLOG_D1("[FUNC OUT]CRP57Doc::OnFileSave");
            return OnFileSaveAs();
        } else {
            const HDataFileResult written = HDataFile::Write(path, m_image);
            if (!written.Ok()) {
                ShowFileMessage(written.messageId, path, written.detail);
            } else {
                m_app.SetModifiedFlag(0);
                m_history->Saved();
                UpdateTitle();
                m_frame.SendViewRefresh();
                m_frame.ShowStatusNote(
                    QString::fromStdString(HStringTable::Format(HStringTable::kNoteSaved, {path})));
                saved = true;
            }
        }
    }
    HLOG_D1("[FUNC OUT]CRP57Doc::OnFileSave");
    return saved;
}

bool CRP57Doc::OnFileSaveAs() {
    HLOG_D1("[FUNC IN]CRP57Doc::OnFileSaveAs");
    const std::optional<std::string> chosen = AskPath(true);
    bool saved = false;
    if (chosen) {
        // The chosen path is current only once the image is in it, so a
        // failed Save As leaves the title and the next Save on the old file.
        const std::string previous = m_app.CurrentFilePath();
        m_app.SetCurrentFilePath(*chosen);
        saved = OnFileSave();
        if (saved) {
            m_app.RecentFiles().Add(*chosen);
            m_frame.UpdateRecentFileMenu();
        } else {
            m_app.SetCurrentFilePath(previous);
            UpdateTitle();
        }
    }
    HLOG_D1("[FUNC OUT]CRP57Doc::OnFileSaveAs");
    return saved;
}

void CRP57Doc::OnFileData() {
    HLOG_D1("[FUNC IN]CRP57Doc::OnFileData");
    m_frame.SendViewSaveData();
    HMemoryImage copy = m_image;
    bool accepted = false;
    {
        CFileDataDlg dialog(copy, m_app.AccessLevel(), &m_frame);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted && m_app.AccessLevel() != 0) {
        m_image = copy;
        m_history->Checkpoint("File Data");
        m_app.SetModifiedFlag(1);
        m_frame.SendViewRefresh();
    }
    HLOG_D1("[FUNC OUT]CRP57Doc::OnFileData");
}
