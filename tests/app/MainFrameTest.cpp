// The main window: every command of the command table present with its id,
// what is enabled and checked, print setup, the About texts and closing.
#include "AppTestSupport.h"
#include "CAboutDlg.h"

#include <QPrintDialog>

namespace {

// For each of `ids`, "1" when `test` holds, else "0".
QString Flags(std::initializer_list<int> ids, const std::function<bool(int)>& test) {
    QString out;
    for (int id : ids)
        out += test(id) ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void commandsRecentFilesPrintSetupAboutAndClose();
};

void MainFrameTest::commandsRecentFilesPrintSetupAboutAndClose() {
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini",
                       "[Recent File List]\nFile1=/data/one.R57\nFile2=/data/two.R57\n"));
    RunningApp run;
    QVERIFY(run.frame);
    CMainFrame& frame = *run.frame;
    QStringList titles;
    for (QAction* top : frame.menuBar()->actions())
        titles << top->text().remove(QLatin1Char('&'));
    QCOMPARE(titles.join(' '),
             QStringLiteral("File Edit View Common Signalling Channel Radio Help"));
    // Every row of the command table is built with its key; window keys on the window.
    for (const HCommandRow& row : HMainCommands::kTable) {
        QAction* action = frame.CommandAction(row.id);
        QVERIFY2(row.kind == HCommandKind::Separator ||
                     (action &&
                      action->shortcut() == QKeySequence(QString::fromUtf8(row.shortcut.data(),
                                                                           row.shortcut.size())) &&
                      frame.actions().contains(action) == (row.kind == HCommandKind::Accelerator)),
                 qPrintable(QString::number(row.id)));
    }

    // Enabled: a command without a handler is off and does not run.
    frame.UpdateCommandUI();
    const auto enabled = [&frame](int id) { return frame.CommandAction(id)->isEnabled(); };
    const auto runs = [&frame](int id) { return frame.RunCommand(id); };
    for (int id : {57607, 57609, 32864, 32863, 32791, 32853})
        frame.SetCommandHandler(id, {});
    QCOMPARE(Flags({57607, 57609, 32864, 32863, 32791, 32853}, enabled) +
                 Flags({57607, 57609, 32864, 32863, 32791, 32853}, runs),
             QStringLiteral("000000000000"));
    QCOMPARE(Flags({57606, 57665, 59392, 59393, 32821, 32838, 32882, 57664, 57634, 57637}, enabled),
             QStringLiteral("1111111111"));
    // A handler turns a command on, and its toolbar twin runs the same handler.
    int uploads = 0;
    frame.SetCommandHandler(32851, [&] { ++uploads; });
    QVERIFY(frame.CommandAction(32851)->isEnabled() && frame.CommandAction(32871)->isEnabled());
    QVERIFY(frame.RunCommand(32851));
    frame.CommandAction(32871)->trigger();
    QCOMPARE(uploads, 2);
    // Signalling: 2-tone (1) or 5-tone (0) commands; the Common menu stays on.
    frame.SetCommandHandler(32772, [] {});
    for (int id : {32791, 32798, 32802})
        frame.SetCommandHandler(id, [] {});
    QCOMPARE(frame.SignallingMenuMode(), 1); // 2-tone when the window is made
    for (int mode : {1, 0}) {
        frame.SetSignallingMenuMode(mode);
        QCOMPARE(Flags({32772, 32791, 32798, 32802}, enabled),
                 mode ? QStringLiteral("1110") : QStringLiteral("1101"));
    }
    QVERIFY(!frame.RunCommand(32798) && frame.RunCommand(32802));
    // Checked: View > Item follows the flags, whoever changes them.
    QSignalSpy toggled(&frame, &CMainFrame::ItemVisibilityToggled);
    for (int id = 32821; id <= 32838; ++id)
        QCOMPARE(frame.CommandAction(id)->isChecked(), run.app.Item(id - 32821) == 1);
    frame.CommandAction(32824)->trigger(); // Frequency
    QVERIFY(run.app.Item(3) == 0 && !frame.CommandAction(32824)->isChecked());
    QCOMPARE(toggled, (QList<QVariantList>{{3}}));
    run.app.SetItem(0, 0);
    frame.UpdateCommandUI();
    QVERIFY(!frame.CommandAction(32821)->isChecked());
    // The tool bar toggles with its check.
    QCOMPARE(frame.StatusPane(0)->text(), QStringLiteral("Ready"));
    QVERIFY(frame.RunCommand(59392));
    QVERIFY(!frame.ToolBar()->isVisible() && !frame.CommandAction(59392)->isChecked());
    // The recent files in the File menu, as read, then with one added in front.
    const auto recent = [&] {
        QList<QAction*> out;
        for (QAction* action : frame.menuBar()->actions().first()->menu()->actions())
            if (action->data().toInt() >= 57616 && action->data().toInt() <= 57619)
                out << action;
        return out;
    };
    QCOMPARE(recent()[0]->text() + '|' + recent()[1]->text(),
             QStringLiteral("&1 /data/one.R57|&2 /data/two.R57"));
    std::string opened;
    frame.SetRecentFileHandler([&](const std::string& path) { opened = path; });
    run.app.RecentFiles().Add("/data/three.R57");
    frame.UpdateRecentFileMenu();
    QVERIFY(recent().size() == 3 && recent()[2]->isEnabled());
    recent()[1]->trigger();
    QCOMPARE(opened, std::string("/data/one.R57"));
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
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text() == frame.AppTitle())
                about << label->text();
        dialog->accept();
    });
    QVERIFY(frame.RunCommand(57664)); // the toolbar's About runs the menu's
    QCOMPARE(about, QStringList{QStringLiteral("RP57Win for OR-3200 Series")});
    // No close while printing; otherwise the guard decides, for File > Exit too.
    run.app.SetPrinting(true);
    QVERIFY(!frame.close() && frame.isVisible());
    run.app.SetPrinting(false);
    int asked = 0;
    bool answer = false;
    frame.SetCloseGuard([&] {
        ++asked;
        return answer;
    });
    QVERIFY(!frame.close() && frame.isVisible());
    answer = true;
    QVERIFY(frame.RunCommand(57665) && asked == 2 && !frame.isVisible());
    // The recent files reach the settings file at exit, newest first.
    run.app.ExitInstance();
    QVERIFY(home.Read("RP57Win.ini").contains("File1=/data/three.R57"));
    QVERIFY(home.Read("RP57Win.ini").contains("File3=/data/two.R57"));
}

RP57_APP_TEST(MainFrameTest)

#include "MainFrameTest.moc"
