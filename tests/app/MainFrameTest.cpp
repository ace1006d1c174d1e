// The main window: every command of the command table present with its id,
// what is enabled and checked, print setup, the About texts and closing.
#include "AppTestSupport.h"
#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "CRP57App.h"
#include "HMainCommands.h"
#include "HStringTable.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <map>
#include <set>

namespace {

// Every action reachable from the menu bar, by command id, with the menu path
// that holds it ("File", "View/Item").
void CollectMenu(QMenu* menu, const QString& path, std::map<int, QString>& found) {
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            CollectMenu(sub, path + QLatin1Char('/') + sub->title().remove(QLatin1Char('&')),
                        found);
        } else if (!action->isSeparator() && action->data().isValid()) {
            found[action->data().toInt()] = path;
        }
    }
}

std::map<int, QString> MenuCommands(QMainWindow* frame) {
    std::map<int, QString> found;
    for (QAction* top : frame->menuBar()->actions())
        if (QMenu* menu = top->menu())
            CollectMenu(menu, menu->title().remove(QLatin1Char('&')), found);
    return found;
}

struct RunningApp {
    TempHome home;
    CRP57App app;
    CMainFrame* frame = nullptr;
    RunningApp() {
        if (app.InitInstance({}))
            frame = app.MainFrame();
    }
    ~RunningApp() { app.ExitInstance(); }
};

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void everyCommandIdIsPresent();
    void commandsWithoutHandlersAreDisabled();
    void signallingCommandsFollowTheMenuMode();
    void itemCommandsToggleTheFlags();
    void toolbarAndStatusBar();
    void printSetupRefreshesPrinterAndView();
    void aboutShowsVersionTexts();
    void closeRequest();
    void recentFilesInFileMenu();
};

void MainFrameTest::everyCommandIdIsPresent() {
    RunningApp run;
    QVERIFY(run.frame);
    // The top menus in order.
    QStringList titles;
    for (QAction* top : run.frame->menuBar()->actions())
        titles << top->text().remove(QLatin1Char('&'));
    QCOMPARE(titles, (QStringList{"File", "Edit", "View", "Common", "Signalling", "Channel",
                                  "Radio", "Help"}));

    const std::map<int, QString> menu = MenuCommands(run.frame);
    // Ids the documentation names for the menus, each under its menu.
    const std::map<int, QString> expected = {
        {57600, "File"},       {57601, "File"},       {57603, "File"},       {57604, "File"},
        {57606, "File"},       {57607, "File"},       {57609, "File"},       {32864, "File"},
        {32863, "File"},       {32891, "File"},       {57665, "File"},       {57634, "Edit"},
        {57637, "Edit"},       {32856, "View/Item"},  {32772, "Common"},     {32773, "Common"},
        {32774, "Common"},     {32775, "Common"},     {32776, "Common"},     {32777, "Common"},
        {32778, "Common"},     {32779, "Common"},     {32780, "Common"},     {32781, "Common"},
        {32782, "Common"},     {32784, "Common"},     {32791, "Signalling"}, {32793, "Signalling"},
        {32794, "Signalling"}, {32795, "Signalling"}, {32796, "Signalling"}, {32798, "Signalling"},
        {32799, "Signalling"}, {32800, "Signalling"}, {32801, "Signalling"}, {32802, "Signalling"},
        {32803, "Signalling"}, {32804, "Signalling"}, {32806, "Signalling"}, {32807, "Signalling"},
        {32861, "Channel"},    {32851, "Radio"},      {32852, "Radio"},      {32853, "Radio"},
        {32854, "Radio"},      {32855, "Radio"},      {32881, "Help"},       {32882, "Help"},
    };
    for (const auto& [id, path] : expected) {
        const auto it = menu.find(id);
        QVERIFY2(it != menu.end(), qPrintable(QString::number(id)));
        QCOMPARE(it->second, path);
    }
    for (int id = 32821; id <= 32838; ++id) {
        QVERIFY2(menu.count(id), qPrintable(QString::number(id)));
        QCOMPARE(menu.at(id), QStringLiteral("View/Item"));
    }
    // Ids without a command are nowhere.
    for (int id : {32783, 32792, 32797, 32805})
        QVERIFY(!run.frame->CommandAction(id));

    // Texts the documentation quotes.
    QCOMPARE(run.frame->CommandAction(57600)->text(), QStringLiteral("&New"));
    QCOMPARE(run.frame->CommandAction(57600)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(run.frame->CommandAction(57634)->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QCOMPARE(run.frame->CommandAction(57637)->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
    QCOMPARE(run.frame->CommandAction(32772)->text(), QStringLiteral("&Hardware"));
    QCOMPARE(run.frame->CommandAction(32784)->text(), QStringLiteral("Di&rect CH"));
    QCOMPARE(run.frame->CommandAction(32791)->text(), QStringLiteral("Signalling &Type"));
    QCOMPARE(run.frame->CommandAction(32807)->text(), QStringLiteral("5-Tone Enc&ode"));
    QCOMPARE(run.frame->CommandAction(32861)->text(),
             QStringLiteral("&Channel Allocations/Group Alpha Tag"));
    QCOMPARE(run.frame->CommandAction(32851)->text(), QStringLiteral("&Upload"));
    QCOMPARE(run.frame->CommandAction(32853)->text(), QStringLiteral("Basic &Alignment"));
    QCOMPARE(run.frame->CommandAction(32863)->text(), QStringLiteral("Export to CSV"));
    QCOMPARE(run.frame->CommandAction(32881)->text(), QStringLiteral("&Get Started"));
    QCOMPARE(run.frame->CommandAction(32882)->text(), QStringLiteral("&About RP57..."));
    QCOMPARE(run.frame->CommandAction(32891)->text(), QStringLiteral("&Configure"));

    // Toolbar twins are on the toolbar only; help keys belong to the window.
    std::set<int> toolbar;
    for (QAction* action : run.frame->ToolBar()->actions())
        if (!action->isSeparator())
            toolbar.insert(action->data().toInt());
    for (int id : {32871, 32872, 57664, 57600, 57601, 57603, 57634, 57637, 57607})
        QVERIFY2(toolbar.count(id), qPrintable(QString::number(id)));
    for (int id : {32871, 32872, 57664, 57667, 57670, 57671}) {
        QVERIFY(run.frame->CommandAction(id));
        QVERIFY(!menu.count(id));
    }
    for (int id : {57667, 57670, 57671})
        QVERIFY(run.frame->actions().contains(run.frame->CommandAction(id)));

    // The table and the window agree both ways: every action has its row's id.
    for (int id : run.frame->CommandIds()) {
        QVERIFY(HMainCommands::Find(id));
        QCOMPARE(run.frame->CommandAction(id)->data().toInt(), id);
    }
}

void MainFrameTest::commandsWithoutHandlersAreDisabled() {
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    frame.UpdateCommandUI();
    // New, Open, Save and Save As belong to the document, which is always there.
    for (int id : {57607, 57609, 32864, 32863, 32772, 32784, 32791, 32853}) {
        QVERIFY2(!frame.CommandAction(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(!frame.RunCommand(id));
    }
    // Copy and Paste belong to the channel view.
    for (int id : {57606, 57665, 59392, 59393, 32821, 32838, 32882, 57664, 57634, 57637})
        QVERIFY2(frame.CommandAction(id)->isEnabled(), qPrintable(QString::number(id)));

    // A handler turns a command on, and its toolbar twin runs the same handler.
    int uploads = 0;
    frame.SetCommandHandler(32851, [&] { ++uploads; });
    QVERIFY(frame.CommandAction(32851)->isEnabled());
    QVERIFY(frame.CommandAction(32871)->isEnabled());
    QVERIFY(frame.RunCommand(32851));
    frame.CommandAction(32871)->trigger();
    QCOMPARE(uploads, 2);
    // The Common menu stays on whatever the signalling mode.
    frame.SetCommandHandler(32772, [] {});
    frame.SetSignallingMenuMode(0);
    QVERIFY(frame.CommandAction(32772)->isEnabled());
    frame.SetCommandHandler(32851, nullptr);
    QVERIFY(!frame.CommandAction(32871)->isEnabled());
}

void MainFrameTest::signallingCommandsFollowTheMenuMode() {
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    std::vector<int> ran;
    for (int id = 32791; id <= 32807; ++id)
        if (frame.CommandAction(id))
            frame.SetCommandHandler(id, [&ran, id] { ran.push_back(id); });

    const std::set<int> both = {32791, 32793, 32794, 32795, 32796};
    const std::set<int> twoTone = {32798, 32799, 32800, 32801};
    const std::set<int> fiveTone = {32802, 32803, 32804, 32806, 32807};
    QCOMPARE(frame.SignallingMenuMode(), 1); // 2-tone when the window is made
    for (int mode : {1, 0, 1}) {
        frame.SetSignallingMenuMode(mode);
        for (int id : both)
            QVERIFY(frame.CommandAction(id)->isEnabled());
        for (int id : twoTone)
            QCOMPARE(frame.CommandAction(id)->isEnabled(), mode == 1);
        for (int id : fiveTone)
            QCOMPARE(frame.CommandAction(id)->isEnabled(), mode == 0);
    }
    frame.SetSignallingMenuMode(0);
    QVERIFY(!frame.RunCommand(32798));
    QVERIFY(frame.RunCommand(32806));
    QCOMPARE(ran, std::vector<int>{32806});
}

void MainFrameTest::itemCommandsToggleTheFlags() {
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    QSignalSpy toggled(&frame, &CMainFrame::ItemVisibilityToggled);
    for (int id = 32821; id <= 32838; ++id)
        QCOMPARE(frame.CommandAction(id)->isChecked(), run.app.Item(id - 32821) == 1);
    frame.CommandAction(32824)->trigger(); // Frequency
    QCOMPARE(run.app.Item(3), 0);
    QVERIFY(!frame.CommandAction(32824)->isChecked());
    QCOMPARE(toggled.count(), 1);
    QCOMPARE(toggled.at(0).at(0).toInt(), 3);
    // The check mark follows the flag, whoever changes it.
    run.app.SetItem(0, 0);
    frame.UpdateCommandUI();
    QVERIFY(!frame.CommandAction(32821)->isChecked());
    QVERIFY(frame.RunCommand(32821));
    QCOMPARE(run.app.Item(0), 1);
    QVERIFY(frame.CommandAction(32821)->isChecked());
}

void MainFrameTest::toolbarAndStatusBar() {
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    // Five panes: the message pane, then the four key indicators.
    QCOMPARE(frame.StatusPane(0)->text(), QStringLiteral("Ready"));
    for (int i = 0; i < CMainFrame::kStatusPanes; ++i) {
        QVERIFY(frame.StatusPane(i));
        QVERIFY(frame.StatusPane(i)->isVisible());
    }
    QVERIFY(!frame.StatusPane(5));
    QCOMPARE(frame.toolBarArea(frame.ToolBar()), Qt::TopToolBarArea);

    QVERIFY(frame.CommandAction(59392)->isChecked());
    QVERIFY(frame.RunCommand(59392));
    QVERIFY(!frame.ToolBar()->isVisible());
    QVERIFY(!frame.CommandAction(59392)->isChecked());
    QVERIFY(frame.RunCommand(59393));
    QVERIFY(!frame.statusBar()->isVisible());
    QVERIFY(!frame.CommandAction(59393)->isChecked());
    QVERIFY(frame.RunCommand(59393));
    QVERIFY(frame.statusBar()->isVisible());
}

void MainFrameTest::printSetupRefreshesPrinterAndView() {
    RunningApp run;
    QVERIFY(run.frame);
    QStringList sent;
    connect(run.frame, &CMainFrame::ViewSaveDataRequested, [&] { sent << "2025"; });
    connect(run.frame, &CMainFrame::ViewRefreshRequested, [&] { sent << "2024"; });
    QString title;
    ModalDriver<QPrintDialog> setup([&](QPrintDialog* dialog) {
        sent << "dialog";
        title = dialog->windowTitle();
        dialog->reject();
    });
    QVERIFY(run.frame->RunCommand(57606));
    setup.Stop();
    QCOMPARE(sent, (QStringList{"2025", "dialog", "2024"}));
    QCOMPARE(title, QStringLiteral("Print Setup"));
}

void MainFrameTest::aboutShowsVersionTexts() {
    RunningApp run;
    QVERIFY(run.frame);
    QString version;
    QString heading;
    ModalDriver<CAboutDlg> about([&](CAboutDlg* dialog) {
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("Version")))
            version = label->text();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text() == run.frame->AppTitle())
                heading = label->text();
        dialog->accept();
    });
    QVERIFY(run.frame->RunCommand(57664)); // the toolbar's About runs the menu's
    about.Stop();
    QVERIFY(about.Fired());
    QCOMPARE(version, QString::fromStdString(HStringTable::Get(120)));
    QCOMPARE(heading, QStringLiteral("RP57Win for OR-3200 Series"));
}

void MainFrameTest::closeRequest() {
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    run.app.SetPrinting(true);
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    run.app.SetPrinting(false);

    int asked = 0;
    bool answer = false;
    frame.SetCloseGuard([&] {
        ++asked;
        return answer;
    });
    QVERIFY(!frame.close());
    QVERIFY(frame.isVisible());
    answer = true;
    QVERIFY(frame.RunCommand(57665)); // File > Exit asks the same way
    QCOMPARE(asked, 2);
    QVERIFY(!frame.isVisible());
}

void MainFrameTest::recentFilesInFileMenu() {
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini",
                       "[Recent File List]\nFile1=/data/one.R57\nFile2=/data/two.R57\n"));
    CRP57App app;
    QVERIFY(app.InitInstance({}));
    CMainFrame& frame = *app.MainFrame();
    const auto recentEntries = [&] {
        QStringList texts;
        for (QAction* action : frame.menuBar()->actions().first()->menu()->actions()) {
            const int id = action->data().toInt();
            if (id >= 57616 && id <= 57619)
                texts << action->text() + (action->isEnabled() ? "" : " (off)");
        }
        return texts;
    };
    // Shown, and on: the document opens them.
    QCOMPARE(recentEntries(), (QStringList{"&1 /data/one.R57", "&2 /data/two.R57"}));
    std::string opened;
    frame.SetRecentFileHandler([&](const std::string& path) { opened = path; });
    QCOMPARE(recentEntries(), (QStringList{"&1 /data/one.R57", "&2 /data/two.R57"}));
    app.RecentFiles().Add("/data/three.R57");
    frame.UpdateRecentFileMenu();
    QCOMPARE(recentEntries().size(), 3);
    for (QAction* action : frame.menuBar()->actions().first()->menu()->actions())
        if (action->data().toInt() == 57617)
            action->trigger();
    QCOMPARE(opened, std::string("/data/one.R57"));
    app.ExitInstance();
    QVERIFY(home.Read("RP57Win.ini").contains("File1=/data/three.R57"));
    QVERIFY(home.Read("RP57Win.ini").contains("File3=/data/two.R57"));
}

int RunMainFrameTest(int argc, char** argv) {
    MainFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainFrameTest.moc"
