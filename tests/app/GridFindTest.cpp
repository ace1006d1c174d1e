// Edit > Find and Find Next in the running program, with the keys a
// technician presses: Ctrl+F, the text, Return, then F3 again and again. The
// grid selects the cell found, switching group, and the status bar says
// where, that the search went round, or that nothing holds the text.
#include "AppTestSupport.h"
#include "CRP57View.h"
#include "HChannels.h"
#include "HGridTableModel.h"
#include "HRpFlexgrid.h"

using namespace HChannelTables;

namespace {

// Group 1 holds channels 1-8, group 2 channels 9-13. Channel 2 sends and
// channel 11 receives on 154.1 MHz (every other channel 150 MHz), channel 11
// is tagged "REPEATER", channel 12 receives CTCSS 88.5 Hz.
void Prepare(HMemoryImage& image) {
    HChannels m;
    m.Load(image);
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, kGroupChannels, g == 0 ? 8 : g == 1 ? 5 : 0);
    m.NormalizeGroups();
    for (int c = 0; c < 13; ++c) {
        m.SetField(c, kFieldInUse, 1);
        m.SetFrequency(c, 0, 150000000);
        m.SetFrequency(c, 1, 150000000);
        m.SetTag(c, "");
    }
    m.SetFrequency(1, 1, 154100000);
    m.SetFrequency(10, 0, 154100000);
    m.SetTag(10, "REPEATER");
    m.SetField(11, kFieldRxToneType, 1);
    m.SetField(11, kFieldRxTone, 885);
    m.Save(image);
}

// Ctrl+F (or `opener`), the text typed into the Find window, then Return
// (or `last`): keys to the windows.
void FindWithKeys(CMainFrame* frame, const QString& text, Qt::Key last = Qt::Key_Return,
                  QKeySequence opener = QKeySequence(Qt::ControlModifier | Qt::Key_F)) {
    ModalDriver<QInputDialog> type([&text, last](QInputDialog* dialog) {
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog))
            return;
        QTest::keyClick(dialog->windowHandle(), Qt::Key_A, Qt::ControlModifier);
        for (const QChar ch : text)
            QTest::keyClick(dialog->windowHandle(), ch.toLatin1());
        ShootScreen(QStringLiteral("find-window"));
        QTest::keyClick(dialog->windowHandle(), last);
    });
    QTest::keyClick(frame->windowHandle(), opener[0].key(), opener[0].keyboardModifiers());
    QVERIFY(type.Fired());
    // The window's own keys again once the Find window has gone (offscreen
    // there is no window manager to give the window back its activation).
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
}

} // namespace

class GridFindTest : public QObject {
    Q_OBJECT
private slots:
    void findAndFindNextWalkEveryGroupWithTheKeys();
};

void GridFindTest::findAndFindNextWalkEveryGroupWithTheKeys() {
    KeyboardApp keys(0, Prepare);
    QVERIFY(keys.Ready() && keys.Activate());
    RunningApp& run = keys.run;
    auto* view = qobject_cast<CRP57View*>(run.frame->centralWidget());
    QVERIFY(view != nullptr);
    view->GridView()->setFocus();
    QLabel* pane = run.frame->StatusPane(0);
    // Where the grid stands: "group/channel column", 1-based, as the user reads it.
    const auto where = [view] {
        const QModelIndex at = view->GridView()->currentIndex();
        return QStringLiteral("%1/%2 %3")
            .arg(view->Grid().CurrentGroup() + 1)
            .arg(view->Grid().ChannelOfRow(at.row()) + 1)
            .arg(QString::fromStdString(std::string(view->Grid().HeaderText(at.column()))));
    };
    const auto f3 = [&run] { QTest::keyClick(run.frame->windowHandle(), Qt::Key_F3); };

    // F3 before any Find asks for the text, as Find does.
    FindWithKeys(run.frame, QStringLiteral("154.1"), Qt::Key_Return, QKeySequence(Qt::Key_F3));
    QCOMPARE(where(), QStringLiteral("1/2 TX Frequency"));
    QCOMPARE(pane->text(), QStringLiteral("\"154.1\": Group 1, channel 2, TX Frequency"));
    // Escape in the Find window finds nothing, whatever was typed.
    FindWithKeys(run.frame, QStringLiteral("repeat"), Qt::Key_Escape);
    QCOMPARE(where(), QStringLiteral("1/2 TX Frequency"));
    f3(); // the next one is in group 2: the grid switches to it
    QCOMPARE(where(), QStringLiteral("2/11 RX Frequency"));
    QCOMPARE(view->GroupList()->currentText(), view->GroupList()->itemText(1));
    f3(); // round to the first again, and the status bar says so
    QCOMPARE(where(), QStringLiteral("1/2 TX Frequency"));
    QVERIFY2(pane->text().startsWith(QLatin1String("Passed the last channel")),
             qPrintable(pane->text()));
    // From a cell moved to by hand (not a tone cell), F3 finds on from there.
    view->GridView()->setCurrentIndex(view->Model()->index(4, 0));
    f3();
    QCOMPARE(where(), QStringLiteral("2/11 RX Frequency"));

    FindWithKeys(run.frame, QStringLiteral("repeat"));
    QCOMPARE(where(), QStringLiteral("2/11 TAG"));

    // A tone found: F3 there finds on (the only cell: itself again) and
    // leaves the tone as it is, though F3 on a tone cell is its shortcut.
    FindWithKeys(run.frame, QStringLiteral("88.5"));
    QCOMPARE(where(), QStringLiteral("2/12 RX Sub Audio"));
    const QString tone = view->GridView()->currentIndex().data().toString();
    f3();
    QCOMPARE(where(), QStringLiteral("2/12 RX Sub Audio"));
    QCOMPARE(view->GridView()->currentIndex().data().toString(), tone);
    QVERIFY2(pane->text().startsWith(QLatin1String("Passed the last channel")),
             qPrintable(pane->text()));
    // Elsewhere on a tone column F3 is still the tone shortcut.
    const QModelIndex other = view->Model()->index(0, view->GridView()->currentIndex().column());
    view->GridView()->setCurrentIndex(other);
    const QString before = other.data().toString();
    f3();
    QCOMPARE(where(), QStringLiteral("2/9 RX Sub Audio"));
    QVERIFY2(other.data().toString() != before, qPrintable(before));

    // Nothing holds it: the cell stays, the status bar says so.
    FindWithKeys(run.frame, QStringLiteral("zzz"));
    QCOMPARE(where(), QStringLiteral("2/9 RX Sub Audio"));
    QCOMPARE(pane->text(), QStringLiteral("\"zzz\" is in no tag, frequency or tone shown"));
    ShootScreen(QStringLiteral("find-not-found"));
    FindWithKeys(run.frame, QStringLiteral("154.1"));
    ShootScreen(QStringLiteral("find-found"));
}

RP57_APP_TEST(GridFindTest)
#include "GridFindTest.moc"
