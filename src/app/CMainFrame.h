#pragma once
// The single-document frame window: menus, toolbar and status bar built from
// the command table, command routing by id, and the window's share of the
// settings file.
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CRP57App;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 860;
    static constexpr int kMinHeight = 640;
    static constexpr int kStatusPanes = 5; // message, kana, caps, num, scroll

    // The model in use, written to section "End Status" when the window goes.
    struct EndStatus {
        int productType = 0;
        int band = 6;
        int lcdType = 0;
    };
    // Section "End Status" of the settings file at `settingsPath`; a product
    // type other than 0/1 reads as 0, a band that is none of the radio's as
    // 6 (none chosen). The one reader of these keys.
    [[nodiscard]] static EndStatus ReadEndStatus(const std::string& settingsPath);

    explicit CMainFrame(CRP57App& app, QWidget* parent = nullptr);
    ~CMainFrame() override; // OnDestroy

    // The action of a command id (menu entry, toolbar twin or window key); null when unknown.
    [[nodiscard]] QAction* CommandAction(int id) const;
    // Every command id that has an action.
    [[nodiscard]] std::vector<int> CommandIds() const;

    // Installs the handler of a command. A command without a handler stays
    // disabled; its toolbar twins follow it.
    void SetCommandHandler(int id, std::function<void()> handler);
    [[nodiscard]] bool HasCommandHandler(int id) const;
    // Runs a command as the menu would; false when it is disabled.
    bool RunCommand(int id);
    // Recomputes enabled and checked states (the update handlers).
    void UpdateCommandUI();

    // 0 = 5-tone, 1 = 2-tone; decides which Signalling commands are on.
    [[nodiscard]] int SignallingMenuMode() const { return m_signallingMenuMode; }
    void SetSignallingMenuMode(int mode);

    // The title for the access level: string 128, 130 or 144.
    [[nodiscard]] QString AppTitle() const { return m_appTitle; }

    // The model the window writes at destruction. Until the document exists it
    // keeps what start-up read; the document replaces it from its image.
    void SetEndStatus(const EndStatus& status) { m_endStatus = status; }
    [[nodiscard]] const EndStatus& GetEndStatus() const { return m_endStatus; }

    // The channel view's messages: 2025 commits a cell being edited, 2024
    // rebuilds the view from the image. Both are logged and go to whoever
    // listens (the view connects to the signals).
    void SendViewSaveData();
    void SendViewRefresh();

    // Opening a recent file belongs to the document; until one is installed the
    // recent-file entries are shown disabled.
    void SetRecentFileHandler(std::function<void(const std::string&)> handler);
    void UpdateRecentFileMenu();

    // Asked on a close request (the document's "save changes?"); false keeps the window.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

    [[nodiscard]] QLabel* StatusPane(int index) const;
    // The message pane's note: what the last command or edit did, kept until
    // the next one or until the document moves on (Open, New, Upload, Undo).
    // Empty shows "Ready". The whole note is the pane's tool tip too, as a
    // narrow window cuts it.
    void ShowStatusNote(const QString& note);
    [[nodiscard]] QToolBar* ToolBar() const { return m_toolBar; }

signals:
    void ViewSaveDataRequested(); // message 2025
    void ViewRefreshRequested();  // message 2024
    // An item's visibility flag was inverted from the View > Item menu.
    void ItemVisibilityToggled(int index);
    // Around the handler of every command run through RunCommand (menus,
    // toolbar, keys), so that what it changes can be taken as one step.
    void CommandStarted(int id);
    void CommandFinished(int id);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void InstallOwnHandlers();
    QMenu* MenuFor(std::string_view path);
    void OnItemToggle(int index);
    void OnAppAbout();
    void SaveWindowSettings();

    CRP57App& m_app;
    QString m_appTitle;
    QByteArray m_instanceProperty;
    int m_signallingMenuMode = 1;
    EndStatus m_endStatus;

    std::map<int, QAction*> m_actions;
    std::map<int, int> m_routes; // command id -> id whose handler runs
    std::map<int, std::function<void()>> m_handlers;
    std::map<std::string, QMenu*, std::less<>> m_menus;
    QAction* m_recentAnchor = nullptr; // separator the recent files go before
    std::vector<QAction*> m_recentActions;
    std::function<void(const std::string&)> m_recentHandler;
    std::function<bool()> m_closeGuard;
    QToolBar* m_toolBar = nullptr;
    std::array<QLabel*, kStatusPanes> m_panes{};
};
