#include "CMainFrame.h"

#include "CAboutDlg.h"
#include "CRP57App.h"
#include "HAccessLevel.h"
#include "HDefaultImage.h"
#include "HHistoryCommands.h"
#include "HImportChannelsDlg.h"
#include "HIniFile.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HQtText.h"
#include "HRadioCommands.h"
#include "HReportCommands.h"
#include "HSafetyCommands.h"
#include "HShellDialogs.h"
#include "HStringTable.h"
#include "HToolbarIcons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr const char* kInitialize = "Initialize";
constexpr const char* kEndStatus = "End Status";
constexpr int kRecentMax = 4;

// The menu text without its accelerator mark, for tool tips and the status bar.
QString PlainText(std::string_view text) {
    QString plain = ToQString(text);
    plain.remove(QLatin1Char('&'));
    return plain;
}

int TitleStringFor(int accessLevel) {
    switch (accessLevel) {
    case HAccessLevel::kManufacture:
        return HStringTable::kTitleLevel1;
    case HAccessLevel::kAll:
        return HStringTable::kTitleLevel2;
    default:
        return HStringTable::kTitleLevel0;
    }
}

} // namespace

CMainFrame::EndStatus CMainFrame::ReadEndStatus(const std::string& settingsPath) {
    const HIniFile ini(settingsPath);
    EndStatus status;
    status.productType = ini.GetInt(kEndStatus, "ProductType", 0);
    if (status.productType != 0 && status.productType != 1)
        status.productType = 0;
    status.band = ini.GetInt(kEndStatus, "Freq.Band", kBandNone);
    if (status.band == 1 || status.band < 0 || status.band >= 4)
        status.band = kBandNone;
    status.lcdType = ini.GetInt(kEndStatus, "LCDType", 0);
    return status;
}

CMainFrame::CMainFrame(CRP57App& app, QWidget* parent) : QMainWindow(parent), m_app(app) {
    HLOG_D1("[FUNC IN]CMainFrame::OnCreate");
    setObjectName(QStringLiteral("CMainFrame"));
    m_appTitle = QString::fromStdString(HStringTable::Get(TitleStringFor(m_app.AccessLevel())));
    setWindowTitle(m_appTitle);

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    InstallOwnHandlers();
    UpdateRecentFileMenu();
    UpdateCommandUI();

    const HIniFile ini(m_app.SettingsPath());
    const int cx = std::max(ini.GetInt(kInitialize, "CX", kMinWidth), kMinWidth);
    const int cy = std::max(ini.GetInt(kInitialize, "CY", kMinHeight), kMinHeight);
    m_endStatus = ReadEndStatus(m_app.SettingsPath());
    setMinimumSize(kMinWidth, kMinHeight);
    QSize initial(cx, cy);
    if (const QScreen* screen = QApplication::primaryScreen())
        // A size stored by hand or by a larger screen must not outgrow this
        // one: a huge window costs memory and cannot be painted.
        initial = initial.boundedTo(screen->availableGeometry().size())
                      .expandedTo(QSize(kMinWidth, kMinHeight));
    resize(initial);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // Marks this window as the one a second start brings forward.
    m_instanceProperty = m_app.InstanceKey().toUtf8();
    if (!m_instanceProperty.isEmpty())
        setProperty(m_instanceProperty.constData(), true);
    HLOG_D1("[FUNC OUT]CMainFrame::OnCreate");
}

CMainFrame::~CMainFrame() {
    HLOG_D1("[FUNC IN]CMainFrame::OnDestroy");
    // Hiding commits an open cell editor; that edit reaches the document and this
    // frame's command table, so it must happen while both still exist.
    hide();
    SaveWindowSettings();
    if (!m_instanceProperty.isEmpty())
        setProperty(m_instanceProperty.constData(), QVariant());
    HLOG_D1("[FUNC OUT]CMainFrame::OnDestroy");
}

void CMainFrame::SaveWindowSettings() {
    HIniFile ini(m_app.SettingsPath());
    // The normal size, so a maximised window does not grow the next start's window.
    const QSize windowSize = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    bool ok = ini.WriteInt(kInitialize, "COM_PORT", m_app.ComPort());
    ok = ini.WriteString(kInitialize, "COM_DEVICE", m_app.ComDevice()) && ok;
    ok = ini.WriteInt(kInitialize, "BAUDRATE", m_app.BaudRate()) && ok;
    ok = ini.WriteInt(kInitialize, "CX", windowSize.width()) && ok;
    ok = ini.WriteInt(kInitialize, "CY", windowSize.height()) && ok;
    ok = ini.WriteInt(kEndStatus, "ProductType", m_endStatus.productType) && ok;
    ok = ini.WriteInt(kEndStatus, "Freq.Band", m_endStatus.band) && ok;
    ok = ini.WriteInt(kEndStatus, "LCDType", m_endStatus.lcdType) && ok;
    if (!ok)
        HLOG_ER("cannot write the settings file [%s]", m_app.SettingsPath().c_str());
}

QMenu* CMainFrame::MenuFor(std::string_view path) {
    if (auto it = m_menus.find(path); it != m_menus.end())
        return it->second;
    const std::size_t slash = path.rfind('/');
    QMenu* menu = nullptr;
    if (slash == std::string_view::npos) {
        menu = menuBar()->addMenu(ToQString(path));
    } else {
        menu = MenuFor(path.substr(0, slash))->addMenu(ToQString(path.substr(slash + 1)));
    }
    menu->setObjectName(QStringLiteral("menu:") + PlainText(path));
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    m_menus.emplace(std::string(path), menu);
    return menu;
}

void CMainFrame::BuildMenus() {
    for (const HCommandRow& row : HMainCommands::kTable) {
        if (row.kind == HCommandKind::Separator) {
            QAction* separator = MenuFor(row.menu)->addSeparator();
            // The File menu's last separator is where the recent files go.
            if (row.menu == "&File")
                m_recentAnchor = separator;
            continue;
        }
        auto* action = new QAction(ToQString(row.text), this);
        action->setData(row.id);
        action->setObjectName(QStringLiteral("command%1").arg(row.id));
        action->setStatusTip(PlainText(row.text));
        action->setToolTip(PlainText(row.text));
        if (!row.shortcut.empty())
            action->setShortcut(QKeySequence(ToQString(row.shortcut), QKeySequence::PortableText));
        action->setCheckable(row.kind == HCommandKind::Check);
        action->setEnabled(false);
        const int id = row.id;
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        if (row.kind == HCommandKind::Accelerator)
            addAction(action); // a key of the whole window
        else if (row.kind != HCommandKind::Toolbar)
            MenuFor(row.menu)->addAction(action);
        m_actions.emplace(row.id, action);
        m_routes.emplace(row.id, row.routesTo);
    }
}

void CMainFrame::BuildToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar128"));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    for (int id : HMainCommands::kToolbar) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(id);
        action->setIcon(HToolbarIcons::ForCommand(id));
        m_toolBar->addAction(action);
        // The radio transfers are the program's main work: name them on the button.
        if (id == HCmd::kToolUpload || id == HCmd::kToolDownload)
            if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
                button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandUI);
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    static constexpr std::array<const char*, kStatusPanes> kNames = {
        "paneMessage", "paneKana", "paneCaps", "paneNum", "paneScroll"};
    // Indicator panes are as wide as the text they show when their key is on.
    static constexpr std::array<const char*, kStatusPanes> kWidest = {"", "KANA", "CAP", "NUM",
                                                                      "SCRL"};
    for (int i = 0; i < kStatusPanes; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QString::fromLatin1(kNames[static_cast<std::size_t>(i)]));
        if (i == 0) {
            pane->setText(QStringLiteral("Ready"));
            // A long note is cut, never a reason for the window to grow.
            pane->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            bar->addWidget(pane, 1);
        } else {
            pane->setAlignment(Qt::AlignCenter);
            pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(
                                      QString::fromLatin1(kWidest[static_cast<std::size_t>(i)])) +
                                  12);
            pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            bar->addPermanentWidget(pane);
        }
        m_panes[static_cast<std::size_t>(i)] = pane;
    }
}

void CMainFrame::InstallOwnHandlers() {
    SetCommandHandler(HCmd::kFilePrintSetup, [this] { m_app.OnFilePrintSetup(); });
    SetCommandHandler(HCmd::kAppExit, [this] { close(); });
    SetCommandHandler(HCmd::kViewToolbar,
                      [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); });
    SetCommandHandler(HCmd::kViewStatusBar,
                      [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    for (int i = 0; i < HMainCommands::kItemCount; ++i)
        SetCommandHandler(HCmd::kItemFirst + i, [this, i] { OnItemToggle(i); });
    SetCommandHandler(HCmd::kAbout, [this] { OnAppAbout(); });
    HShellDialogs::Install(*this, m_app);
    HRadioCommands::Install(*this, m_app);
    HReportCommands::Install(*this, m_app);
    HSafetyCommands::Install(*this, m_app);
    HImportChannelsDlg::Install(*this, m_app);
    HHistoryCommands::Install(*this, m_app);
}

QAction* CMainFrame::CommandAction(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

std::vector<int> CMainFrame::CommandIds() const {
    std::vector<int> ids;
    ids.reserve(m_actions.size());
    for (const auto& entry : m_actions)
        ids.push_back(entry.first);
    return ids;
}

void CMainFrame::SetCommandHandler(int id, std::function<void()> handler) {
    if (handler)
        m_handlers[id] = std::move(handler);
    else
        m_handlers.erase(id);
    UpdateCommandUI();
}

bool CMainFrame::HasCommandHandler(int id) const {
    const auto route = m_routes.find(id);
    return m_handlers.count(route == m_routes.end() ? id : route->second) != 0;
}

bool CMainFrame::RunCommand(int id) {
    UpdateCommandUI();
    QAction* action = CommandAction(id);
    if (!action || !action->isEnabled())
        return false;
    const auto handler = m_handlers.find(m_routes.at(id));
    if (handler == m_handlers.end())
        return false;
    // The handler may replace itself; run a copy.
    const std::function<void()> run = handler->second;
    emit CommandStarted(id);
    run();
    emit CommandFinished(id);
    UpdateCommandUI();
    return true;
}

void CMainFrame::UpdateCommandUI() {
    for (const auto& [id, action] : m_actions) {
        const int target = m_routes.at(id);
        action->setEnabled(m_handlers.count(target) != 0 &&
                           HMainCommands::SignallingAllows(m_signallingMenuMode, target));
        if (target >= HCmd::kItemFirst && target <= HCmd::kItemLast)
            action->setChecked(m_app.Item(target - HCmd::kItemFirst) == 1);
    }
    if (m_toolBar)
        m_actions.at(HCmd::kViewToolbar)->setChecked(!m_toolBar->isHidden());
    m_actions.at(HCmd::kViewStatusBar)->setChecked(!statusBar()->isHidden());
}

void CMainFrame::SetSignallingMenuMode(int mode) {
    m_signallingMenuMode = mode == 0 ? 0 : 1;
    UpdateCommandUI();
}

void CMainFrame::SendViewSaveData() {
    HLOG_D1("%s", "SendMessage(2025): save the cell being edited");
    emit ViewSaveDataRequested();
}

void CMainFrame::SendViewRefresh() {
    HLOG_D1("%s", "SendMessage(2024): refresh the view");
    emit ViewRefreshRequested();
}

void CMainFrame::SetRecentFileHandler(std::function<void(const std::string&)> handler) {
    m_recentHandler = std::move(handler);
    UpdateRecentFileMenu();
}

void CMainFrame::UpdateRecentFileMenu() {
    QMenu* file = MenuFor("&File");
    for (QAction* action : m_recentActions) {
        file->removeAction(action);
        action->deleteLater();
    }
    m_recentActions.clear();
    const std::vector<std::string>& entries = m_app.RecentFiles().Entries();
    if (entries.empty()) {
        auto* placeholder = new QAction(QStringLiteral("Recent File"), this);
        placeholder->setData(HCmd::kFileMru1);
        placeholder->setEnabled(false);
        file->insertAction(m_recentAnchor, placeholder);
        m_recentActions.push_back(placeholder);
    }
    for (int i = 0; i < static_cast<int>(entries.size()) && i < kRecentMax; ++i) {
        const std::string path = entries[static_cast<std::size_t>(i)];
        QString label = QStringLiteral("&%1 %2").arg(i + 1).arg(QString::fromStdString(path));
        auto* action = new QAction(label, this);
        action->setData(HCmd::kFileMru1 + i);
        action->setObjectName(QStringLiteral("command%1").arg(HCmd::kFileMru1 + i));
        action->setStatusTip(QString::fromStdString(path));
        action->setEnabled(static_cast<bool>(m_recentHandler));
        connect(action, &QAction::triggered, this, [this, path] {
            if (m_recentHandler)
                m_recentHandler(path);
        });
        file->insertAction(m_recentAnchor, action);
        m_recentActions.push_back(action);
    }
}

void CMainFrame::ShowStatusNote(const QString& note) {
    QLabel* pane = m_panes[0];
    pane->setText(note.isEmpty() ? QStringLiteral("Ready") : note);
    pane->setToolTip(note);
}

QLabel* CMainFrame::StatusPane(int index) const {
    return index >= 0 && index < kStatusPanes ? m_panes[static_cast<std::size_t>(index)] : nullptr;
}

void CMainFrame::OnItemToggle(int index) {
    HLOG_D1("[FUNC IN]OnItemToggle");
    m_app.SetItem(index, m_app.Item(index) == 1 ? 0 : 1);
    emit ItemVisibilityToggled(index);
    HLOG_D1("[FUNC OUT]OnItemToggle");
}

void CMainFrame::OnAppAbout() {
    CAboutDlg dialog(m_appTitle, this);
    dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    HLOG_D1("[FUNC IN]CMainFrame::OnClose");
    // A print job draws from the view and the image; closing under it would
    // pull both away, so the window stays until the job ends.
    if (m_app.IsPrinting()) {
        HLOG_WR("%s", "close request refused: printing");
        event->ignore();
    } else if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
    } else {
        event->accept();
    }
    HLOG_D1("[FUNC OUT]CMainFrame::OnClose");
}
