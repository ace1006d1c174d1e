// The main window: every command of the command table present with its id,
// what is enabled and checked, print setup, the About texts and closing.
#include "AppTestSupport.h"
#include "CAboutDlg.h"

#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QToolBar>

namespace {

// Every action reachable from the menu bar, by command id, with the menu path
// that holds it ("File", "View/Item").
void CollectMenu(QMenu* menu, const QString& path, std::map<int, QString>& found) {
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu())
            CollectMenu(sub, path + QLatin1Char('/') + sub->title().remove(QLatin1Char('&')),
                        found);
        else if (!action->isSeparator() && action->data().isValid())
            found[action->data().toInt()] = path;
    }
}

QString Id(int id) {
    return QString::number(id);
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void everyCommandIdIsPresent();
    void enabledFollowsHandlersAndSignallingMode();
    void checkedCommandsFollowTheirState();
    void printSetupAboutAndClose();
    void recentFilesInFileMenu();
};

void MainFrameTest::everyCommandIdIsPresent() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame);
    QStringList titles;
    for (QAction* top : run.frame->menuBar()->actions())
        titles << top->text().remove(QLatin1Char('&'));
    QCOMPARE(titles, (QStringList{"File", "Edit", "View", "Common", "Signalling", "Channel",
                                  "Radio", "Help"}));

    std::map<int, QString> menu;
    for (QAction* top : run.frame->menuBar()->actions())
        CollectMenu(top->menu(), top->menu()->title().remove(QLatin1Char('&')), menu);
    // The documented ids, each under its menu.
    const std::map<QString, std::vector<int>> expected = {
        {"File", {57600, 57601, 57603, 57604, 57606, 57607, 57609, 32864, 32863, 32891, 57665}},
        {"Edit", {57634, 57637}},
        {"View/Item", {32856}},
        {"Common",
         {32772, 32773, 32774, 32775, 32776, 32777, 32778, 32779, 32780, 32781, 32782, 32784}},
        {"Signalling",
         {32791, 32793, 32794, 32795, 32796, 32798, 32799, 32800, 32801, 32802, 32803, 32804, 32806,
          32807}},
        {"Channel", {32861}},
        {"Radio", {32851, 32852, 32853, 32854, 32855}},
        {"Help", {32881, 32882}},
    };
    for (const auto& [path, ids] : expected)
        for (int id : ids) {
            QVERIFY2(menu.count(id), qPrintable(Id(id)));
            QCOMPARE(menu.at(id), path);
        }
    for (int id = 32821; id <= 32838; ++id)
        QCOMPARE(menu[id], QStringLiteral("View/Item"));
    // Ids without a command are nowhere.
    for (int id : {32783, 32792, 32797, 32805})
        QVERIFY(!run.frame->CommandAction(id));

    const std::vector<std::pair<int, const char*>> texts = {
        {57600, "&New"},           {32772, "&Hardware"},
        {32784, "Di&rect CH"},     {32791, "Signalling &Type"},
        {32807, "5-Tone Enc&ode"}, {32861, "&Channel Allocations/Group Alpha Tag"},
        {32851, "&Upload"},        {32853, "Basic &Alignment"},
        {32863, "Export to CSV"},  {32881, "&Get Started"},
        {32882, "&About RP57..."}, {32891, "&Configure"},
    };
    for (const auto& [id, text] : texts)
        QCOMPARE(run.frame->CommandAction(id)->text(), QString::fromLatin1(text));
    for (const auto& [id, keys] :
         {std::pair{57600, "Ctrl+N"}, {57634, "Ctrl+C"}, {57637, "Ctrl+V"}})
        QCOMPARE(run.frame->CommandAction(id)->shortcut(), QKeySequence(QString::fromLatin1(keys)));

    // Toolbar twins are on the toolbar only; help keys belong to the window.
    std::set<int> toolbar;
    for (QAction* action : run.frame->ToolBar()->actions())
        if (!action->isSeparator())
            toolbar.insert(action->data().toInt());
    for (int id : {32871, 32872, 57664, 57600, 57601, 57603, 57634, 57637, 57607})
        QVERIFY2(toolbar.count(id), qPrintable(Id(id)));
    for (int id : {32871, 32872, 57664, 57667, 57670, 57671}) {
        QVERIFY(run.frame->CommandAction(id));
        QVERIFY(!menu.count(id));
    }
    for (int id : {57667, 57670, 57671})
        QVERIFY(run.frame->actions().contains(run.frame->CommandAction(id)));
}

void MainFrameTest::enabledFollowsHandlersAndSignallingMode() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    frame.UpdateCommandUI();
    for (int id : {57607, 57609, 32864, 32863, 32772, 32784, 32791, 32853}) {
        QVERIFY2(!frame.CommandAction(id)->isEnabled(), qPrintable(Id(id)));
        QVERIFY(!frame.RunCommand(id));
    }
    for (int id : {57606, 57665, 59392, 59393, 32821, 32838, 32882, 57664, 57634, 57637})
        QVERIFY2(frame.CommandAction(id)->isEnabled(), qPrintable(Id(id)));

    // A handler turns a command on, and its toolbar twin runs the same handler.
    int uploads = 0;
    frame.SetCommandHandler(32851, [&] { ++uploads; });
    QVERIFY(frame.CommandAction(32851)->isEnabled() && frame.CommandAction(32871)->isEnabled());
    QVERIFY(frame.RunCommand(32851));
    frame.CommandAction(32871)->trigger();
    QCOMPARE(uploads, 2);
    frame.SetCommandHandler(32851, nullptr);
    QVERIFY(!frame.CommandAction(32871)->isEnabled());

    // Signalling: 2-tone (1) or 5-tone (0) commands; the Common menu stays on.
    frame.SetCommandHandler(32772, [] {});
    std::vector<int> ran;
    for (int id = 32791; id <= 32807; ++id)
        if (frame.CommandAction(id))
            frame.SetCommandHandler(id, [&ran, id] { ran.push_back(id); });
    const std::set<int> twoTone = {32798, 32799, 32800, 32801};
    const std::set<int> fiveTone = {32802, 32803, 32804, 32806, 32807};
    QCOMPARE(frame.SignallingMenuMode(), 1); // 2-tone when the window is made
    for (int mode : {1, 0, 1}) {
        frame.SetSignallingMenuMode(mode);
        QVERIFY(frame.CommandAction(32772)->isEnabled());
        for (int id : {32791, 32793, 32794, 32795, 32796})
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

void MainFrameTest::checkedCommandsFollowTheirState() {
    TempHome home;
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

    // Five status panes: the message pane, then the four key indicators.
    QCOMPARE(frame.StatusPane(0)->text(), QStringLiteral("Ready"));
    for (int i = 0; i < CMainFrame::kStatusPanes; ++i)
        QVERIFY(frame.StatusPane(i) && frame.StatusPane(i)->isVisible());
    QVERIFY(!frame.StatusPane(5));
    QCOMPARE(frame.toolBarArea(frame.ToolBar()), Qt::TopToolBarArea);
    QVERIFY(frame.CommandAction(59392)->isChecked());
    QVERIFY(frame.RunCommand(59392));
    QVERIFY(!frame.ToolBar()->isVisible() && !frame.CommandAction(59392)->isChecked());
    QVERIFY(frame.RunCommand(59393));
    QVERIFY(!frame.statusBar()->isVisible() && !frame.CommandAction(59393)->isChecked());
    QVERIFY(frame.RunCommand(59393));
    QVERIFY(frame.statusBar()->isVisible());
}

void MainFrameTest::printSetupAboutAndClose() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    // Print setup saves the edits first and refreshes the view after.
    QStringList sent;
    connect(&frame, &CMainFrame::ViewSaveDataRequested, [&] { sent << "2025"; });
    connect(&frame, &CMainFrame::ViewRefreshRequested, [&] { sent << "2024"; });
    ModalDriver<QPrintDialog> setup([&](QPrintDialog* dialog) {
        sent << dialog->windowTitle();
        dialog->reject();
    });
    QVERIFY(frame.RunCommand(57606));
    QCOMPARE(sent, (QStringList{"2025", "Print Setup", "2024"}));

    QStringList about;
    ModalDriver<CAboutDlg> aboutBox([&](CAboutDlg* dialog) {
        if (auto* version = dialog->findChild<QLabel*>(QStringLiteral("Version")))
            about << version->text();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text() == frame.AppTitle())
                about << label->text();
        dialog->accept();
    });
    QVERIFY(frame.RunCommand(57664)); // the toolbar's About runs the menu's
    QCOMPARE(about, (QStringList{QString::fromStdString(HStringTable::Get(120)),
                                 QStringLiteral("RP57Win for OR-3200 Series")}));

    // No close while printing; otherwise the guard decides, for File > Exit too.
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
    QVERIFY(frame.RunCommand(57665));
    QCOMPARE(asked, 2);
    QVERIFY(!frame.isVisible());
}

void MainFrameTest::recentFilesInFileMenu() {
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini",
                       "[Recent File List]\nFile1=/data/one.R57\nFile2=/data/two.R57\n"));
    RunningApp run;
    QVERIFY(run.frame);
    const auto recent = [&] {
        QList<QAction*> out;
        for (QAction* action : run.frame->menuBar()->actions().first()->menu()->actions())
            if (action->data().toInt() >= 57616 && action->data().toInt() <= 57619)
                out << action;
        return out;
    };
    QCOMPARE(recent().size(), 2);
    QCOMPARE(recent()[0]->text(), QStringLiteral("&1 /data/one.R57"));
    QCOMPARE(recent()[1]->text(), QStringLiteral("&2 /data/two.R57"));
    std::string opened;
    run.frame->SetRecentFileHandler([&](const std::string& path) { opened = path; });
    run.app.RecentFiles().Add("/data/three.R57");
    run.frame->UpdateRecentFileMenu();
    QCOMPARE(recent().size(), 3);
    for (QAction* action : recent())
        QVERIFY(action->isEnabled());
    recent()[1]->trigger();
    QCOMPARE(opened, std::string("/data/one.R57"));
    run.app.ExitInstance();
    QVERIFY(home.Read("RP57Win.ini").contains("File1=/data/three.R57"));
    QVERIFY(home.Read("RP57Win.ini").contains("File3=/data/two.R57"));
}

RP57_APP_TEST(MainFrameTest)

#include "MainFrameTest.moc"
