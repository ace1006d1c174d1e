// The channel view in the running program: the default image's channels in
// the grid, edits typed into the cell editors reaching the image on
// save-edits, ticks, the tone dialog, groups, View > Item and copy/paste with
// message 53.
#include "AppTestSupport.h"
#include "CFileDataDlg.h"
#include "CRP57View.h"
#include "CToneDlg.h"
#include "HChannelDelegate.h"
#include "HChannelTableModel.h"
#include "HDataFile.h"
#include "HMainCommands.h"
#include "HRpFlexgrid.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace HChannelTables;

namespace {

// A fresh home whose last model was a VHF mobile set with a display, so the
// TAG column is there. A base class, so that it is made before the program.
struct DisplaySetHome {
    TempHome home;
    DisplaySetHome() {
        home.Write("RP57Win.ini", "[End Status]\nProductType=0\nFreq.Band=0\nLCDType=1\n");
    }
};

struct ViewRun : DisplaySetHome, RunningApp {
    CRP57View* view = frame ? qobject_cast<CRP57View*>(frame->centralWidget()) : nullptr;
    HRpFlexgrid* grid = view ? view->GridView() : nullptr;

    [[nodiscard]] HMemoryImage& Image() const { return doc->Image(); }
    [[nodiscard]] QModelIndex Index(int row, int col) const {
        return view->Model()->index(row, col);
    }
    [[nodiscard]] QString Text(int row, int col) const { return Index(row, col).data().toString(); }
    [[nodiscard]] QPoint Center(int row, int col) const {
        return grid->visualRect(Index(row, col)).center();
    }
    void DoubleClick(int row, int col) const {
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, Center(row, col));
    }
    // Opens the cell's editor with a double click, as a user would.
    template <class Editor> Editor* OpenEditor(int row, int col) const {
        grid->scrollTo(Index(row, col));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Center(row, col));
        DoubleClick(row, col);
        return qobject_cast<Editor*>(grid->indexWidget(Index(row, col)));
    }
    // Types into the cell's editor and commits it.
    bool Type(int row, int col, const QString& keys) const {
        auto* edit = OpenEditor<QLineEdit>(row, col);
        if (!edit)
            return false;
        QTest::keyClicks(edit, keys);
        Commit(edit);
        return true;
    }
    // Return in an editor: the editor commits and closes once events run.
    static void Commit(QWidget* editor) {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void Key(Qt::Key key) const { QTest::keyClick(grid, key); }
    void SetCurrent(int row, int col) const { grid->setCurrentIndex(Index(row, col)); }
};

QString ToQString(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

class ChannelViewTest : public QObject {
    Q_OBJECT
private slots:
    void defaultImageInTheGrid();
    void typedEditsReachTheImage();
    void editorsFilterKeys();
    void ticksToneDialogAndInUse();
    void groupsAndF2();
    void viewItemHidesColumns();
    void copyAndPasteAskMessage53();
    void shiftF9CommitsAndOpensFileData();
};

void ChannelViewTest::defaultImageInTheGrid() {
    ViewRun run;
    QVERIFY(run.view);
    QCOMPARE(run.view->Model()->rowCount(), 128);
    QCOMPARE(run.view->Model()->columnCount(), 26);
    QCOMPARE(run.Text(0, 0), QStringLiteral("  1"));
    QCOMPARE(run.Text(0, 3), QStringLiteral("-ORVANE-"));
    // Every cell as the grid core makes it from the same image.
    HChannelGrid core;
    core.Settings() = run.view->Grid().Settings();
    core.Refresh(run.Image());
    for (int row = 0; row < 128; ++row)
        for (int col = 0; col < 26; ++col)
            QCOMPARE(run.Text(row, col), ToQString(core.CellText(row, col)));
    // Tick cells: TOT on in the default rows, drawn with the in-use picture.
    QCOMPARE(run.Index(5, 12).data(HChannelTableModel::TickRole).toInt(),
             static_cast<int>(HTickState::TickedInUse));
    QVERIFY(!HChannelDelegate::TickPicture(HTickState::TickedInUse).isNull());

    // Headers are the item names.
    const auto header = [&run](int col) {
        return run.view->Model()
            ->headerData(col, Qt::Horizontal, Qt::DisplayRole)
            .toString()
            .simplified();
    };
    QCOMPARE(header(1), QStringLiteral("Pri"));
    QCOMPARE(header(3), QStringLiteral("TAG"));
    QCOMPARE(header(4), QStringLiteral("RX Frequency"));
    QCOMPARE(header(25), QStringLiteral("DTMF ANI Monitor"));

    // Information panel and group list.
    for (const auto& [row, text] :
         {std::pair{1, "VHF"}, {5, "128"}, {6, "0 Channels Left"}, {7, "Mobile"}})
        QCOMPARE(run.view->InfoValue(row)->text(), QString::fromLatin1(text));
    QCOMPARE(run.view->InfoValue(3)->text(), QString::number(run.app.ComPort()));
    QCOMPARE(run.view->GroupList()->count(), 1);
    QCOMPARE(run.view->GroupList()->currentText(), QStringLiteral("Group 1"));

    // Columns the model rules hide at access level 0 for this set.
    QVERIFY(!run.grid->isColumnHidden(3));
    QVERIFY(run.grid->isColumnHidden(11)); // Auto Scan: handheld only
    QVERIFY(run.grid->isColumnHidden(24)); // Ext Mic: level 0
    QCOMPARE(run.app.Item(16), 0);
    // Readable without resizing: every shown column as wide as its texts.
    for (int col = 0; col < 26; ++col)
        for (int row : {0, 127})
            QVERIFY2(run.grid->isColumnHidden(col) ||
                         run.grid->fontMetrics().horizontalAdvance(run.Text(row, col)) <
                             run.grid->columnWidth(col),
                     qPrintable(QStringLiteral("column %1").arg(col)));
}

void ChannelViewTest::typedEditsReachTheImage() {
    ViewRun run;
    QVERIFY(run.view);
    const HMemoryImage before = run.Image();

    auto* freq = run.OpenEditor<QLineEdit>(2, 4);
    QVERIFY(freq);
    QCOMPARE(freq->maxLength(), 9);
    QTest::keyClicks(freq, QStringLiteral("146.52"));
    ViewRun::Commit(freq);
    QCOMPARE(run.Text(2, 4), QStringLiteral("146.52000"));
    QCOMPARE(run.Text(2, 5), QStringLiteral("146.52000")); // the dependant column re-drawn
    auto* tone = run.OpenEditor<QLineEdit>(2, 7);
    QVERIFY(tone);
    QTest::keyClicks(tone, QStringLiteral("c88.5"));
    QCOMPARE(tone->text(), QStringLiteral("C-88.5"));
    ViewRun::Commit(tone);
    QCOMPARE(run.Text(2, 7), QStringLiteral("C- 88.5"));
    QVERIFY(run.Type(2, 3, QStringLiteral("rpt 1+a")));
    QCOMPARE(run.Text(2, 3), QStringLiteral("RPT 1+A"));
    // A list cell: the drop-down's pick is stored.
    auto* width = run.OpenEditor<QComboBox>(2, 2);
    QVERIFY(width);
    QCOMPARE(width->count(), 3);
    width->setCurrentIndex(0);
    emit width->activated(0);
    QCOMPARE(run.Text(2, 2), QStringLiteral("N"));

    // Nothing reached the image before save-edits.
    QVERIFY(run.Image() == before);
    QCOMPARE(run.app.ModifiedFlag(), 0);
    run.frame->SendViewSaveData();
    QCOMPARE(run.app.ModifiedFlag(), 1);
    // Exactly the same edits through the grid core give the same image.
    HMemoryImage expected = before;
    HChannelGrid core;
    core.Refresh(expected);
    core.CommitText(2, 4, "146.52");
    core.CommitText(2, 7, "C-88.5");
    core.CommitText(2, 3, "RPT 1+A");
    core.CommitListPick(2, 2, 0);
    QVERIFY(core.SaveEdits(expected));
    QVERIFY(run.Image() == expected);
    HChannels saved;
    saved.Load(run.Image());
    QCOMPARE(saved.GetField(2, kFieldRxFrequency), 146520000);

    // A second save-edits has nothing to write.
    run.app.SetModifiedFlag(0);
    QVERIFY(!run.view->OnSaveData());
    QCOMPARE(run.app.ModifiedFlag(), 0);
    // An editor still open is committed by save-edits (message 2025).
    auto* open = run.OpenEditor<QLineEdit>(3, 4);
    QVERIFY(open);
    QTest::keyClicks(open, QStringLiteral("150"));
    run.frame->SendViewSaveData();
    QVERIFY(!run.grid->IsEditing());
    saved.Load(run.Image());
    QCOMPARE(saved.GetField(3, kFieldRxFrequency), 150000000);
}

void ChannelViewTest::editorsFilterKeys() {
    ViewRun run;
    QVERIFY(run.view);
    // The editors apply the key filters: letters never enter a frequency, a
    // tone takes only C or D first. Escape keeps the cell.
    auto* freq = run.OpenEditor<QLineEdit>(0, 4);
    QVERIFY(freq);
    QTest::keyClicks(freq, QStringLiteral("1x4y5.z5"));
    QCOMPARE(freq->text(), QStringLiteral("145.5"));
    QTest::keyClick(freq, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(run.Text(0, 4), QStringLiteral("154.10000"));
    auto* tone = run.OpenEditor<QLineEdit>(0, 6);
    QVERIFY(tone);
    QTest::keyClicks(tone, QStringLiteral("x7d"));
    QCOMPARE(tone->text(), QStringLiteral("D-"));
    QTest::keyClicks(tone, QStringLiteral("-023"));
    QCOMPARE(tone->text(), QStringLiteral("D-023"));
    ViewRun::Commit(tone);
    QVERIFY(run.Text(0, 6).startsWith(QStringLiteral("D-023")));
}

void ChannelViewTest::ticksToneDialogAndInUse() {
    ViewRun run;
    QVERIFY(run.view);
    run.grid->setFocus();
    // Space inverts a tick and again restores it; a double click inverts one too.
    run.SetCurrent(4, 12);
    run.Key(Qt::Key_Space);
    QCOMPARE(run.Text(4, 12), QStringLiteral("-"));
    QCOMPARE(run.Index(4, 12).data(HChannelTableModel::TickRole).toInt(),
             static_cast<int>(HTickState::Unticked));
    run.Key(Qt::Key_Space);
    QCOMPARE(run.Text(4, 12), QStringLiteral(" "));
    QCOMPARE(run.Text(4, 10), QStringLiteral(" "));
    run.DoubleClick(4, 10);
    QCOMPARE(run.Text(4, 10), QStringLiteral("-"));

    // Enter on the transmit tone opens the tone dialog on the cell's side.
    run.SetCurrent(4, 6);
    QString offered;
    ModalDriver<CToneDlg> pick([&offered](CToneDlg* dialog) {
        QListWidget* list = dialog->List();
        offered = list->item(1)->text();
        const auto found = list->findItems(QStringLiteral("D-023 B"), Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.front());
        dialog->accept();
    });
    run.Key(Qt::Key_Return);
    QVERIFY(pick.Fired());
    QCOMPARE(offered, QStringLiteral("C- 67.0"));
    QCOMPARE(run.Text(4, 6), QStringLiteral("D-023 B"));
    ModalDriver<CToneDlg> cancel([](CToneDlg* dialog) { dialog->reject(); });
    run.Key(Qt::Key_Return);
    QVERIFY(cancel.Fired());
    QCOMPARE(run.Text(4, 6), QStringLiteral("D-023 B"));
    // F3 is the model's tone shortcut: it changes the cell.
    run.Key(Qt::Key_F3);
    QVERIFY(run.Text(4, 6) != QStringLiteral("D-023 B"));

    // Column 0: a double click takes the channel out of use; its row turns grey.
    run.DoubleClick(9, 0);
    const QModelIndex tag = run.Index(9, 3);
    QVERIFY(!tag.data(HChannelTableModel::InUseRole).toBool());
    QVERIFY(tag.data(Qt::BackgroundRole).isValid());
    QVERIFY(!(tag.flags() & Qt::ItemIsEditable));
    run.DoubleClick(9, 0);
    QVERIFY(tag.data(HChannelTableModel::InUseRole).toBool());
    QVERIFY(!tag.data(Qt::BackgroundRole).isValid());

    // All of it reaches the image on save-edits.
    QVERIFY(run.view->OnSaveData());
    HChannelGrid core;
    core.Refresh(run.Image());
    QCOMPARE(ToQString(core.CellText(4, 6)), run.Text(4, 6));
    QCOMPARE(ToQString(core.CellText(4, 10)), QStringLiteral("-"));
}

void ChannelViewTest::groupsAndF2() {
    ViewRun run;
    QVERIFY(run.view);
    // Two groups: 5 and 3 channels.
    HChannels m;
    m.Load(run.Image());
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, kGroupChannels, g == 0 ? 5 : g == 1 ? 3 : 0);
    m.NormalizeGroups();
    m.Save(run.Image());
    run.frame->SendViewRefresh();
    QCOMPARE(run.view->Model()->rowCount(), 5);
    QCOMPARE(run.view->GroupList()->count(), 2);
    QCOMPARE(run.view->InfoValue(5)->text(), QStringLiteral("5"));

    // An edit in group 1 survives the group change.
    QVERIFY(run.Type(0, 3, QStringLiteral("HOME")));
    run.grid->setFocus();
    run.Key(Qt::Key_F2);
    QCOMPARE(run.view->GroupList()->currentText(), QStringLiteral("Group 2"));
    QCOMPARE(run.view->Model()->rowCount(), 3);
    QCOMPARE(run.Text(0, 0), QStringLiteral("  6"));
    QCOMPARE(run.view->InfoValue(5)->text(), QStringLiteral("3"));
    run.Key(Qt::Key_F2); // wraps round
    QCOMPARE(run.view->GroupList()->currentText(), QStringLiteral("Group 1"));
    QCOMPARE(run.Text(0, 3), QStringLiteral("HOME"));
    // The group list picks a group too.
    run.view->GroupList()->setCurrentIndex(1);
    emit run.view->GroupList()->activated(1);
    QCOMPARE(run.Text(2, 0), QStringLiteral("  8"));
    // A refresh drops what was not saved.
    run.frame->SendViewRefresh();
    run.view->SelectGroup(0);
    QCOMPARE(run.Text(0, 3), QStringLiteral("-ORVANE-"));
}

void ChannelViewTest::viewItemHidesColumns() {
    ViewRun run;
    QVERIFY(run.view);
    QVERIFY(!run.grid->isColumnHidden(4) && !run.grid->isColumnHidden(5));
    QVERIFY(run.frame->RunCommand(HCmd::kItemFirst + 3)); // Frequency: both columns
    QVERIFY(run.grid->isColumnHidden(4) && run.grid->isColumnHidden(5));
    QVERIFY(run.frame->RunCommand(HCmd::kItemFirst + 3));
    QVERIFY(!run.grid->isColumnHidden(4) && !run.grid->isColumnHidden(5));
    // Ext Mic stays hidden at access level 0 and its flag stays 0.
    run.frame->RunCommand(HCmd::kItemFirst + 16);
    QVERIFY(run.grid->isColumnHidden(24));
    QCOMPARE(run.app.Item(16), 0);
    QVERIFY(!run.frame->CommandAction(HCmd::kItemFirst + 16)->isChecked());
    // Flags set elsewhere (the Visible dialog) and announced are applied.
    run.app.SetItem(0, 0);
    emit run.frame->ItemVisibilityToggled(0);
    QVERIFY(run.grid->isColumnHidden(1));

    // TAG hidden by the user stays hidden on a refresh, but a file opened
    // for a set with a display turns it on (the load flag).
    run.frame->RunCommand(HCmd::kItemFirst + 2);
    QVERIFY(run.grid->isColumnHidden(3));
    run.frame->SendViewRefresh();
    QVERIFY(run.grid->isColumnHidden(3));
    const std::string path = run.home.File("display.r57");
    QVERIFY(HDataFile::Write(path, run.Image()).Ok());
    QVERIFY(run.doc->OpenFile(path));
    QVERIFY(!run.grid->isColumnHidden(3));
    QCOMPARE(run.app.Item(2), 1);
    QVERIFY(run.frame->CommandAction(HCmd::kItemFirst + 2)->isChecked());
}

void ChannelViewTest::shiftF9CommitsAndOpensFileData() {
    ViewRun run;
    QVERIFY(run.view);
    // An edit still open in a cell reaches the image before the raw editor copies it.
    auto* tag = run.OpenEditor<QLineEdit>(0, 3);
    QVERIFY(tag);
    QTest::keyClicks(tag, QStringLiteral("RAW"));
    bool sawEdit = false;
    ModalDriver<CFileDataDlg> raw([&run, &sawEdit](CFileDataDlg* dialog) {
        HChannels m;
        m.Load(run.Image());
        sawEdit = HChannelColumns::CellText(3, m, 0, 0) == "RAW";
        dialog->reject();
    });
    // A window shortcut: it needs the window active, as a person's key would.
    run.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(run.frame));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9, Qt::ShiftModifier);
    QVERIFY(raw.Fired());
    QVERIFY(sawEdit);
}

void ChannelViewTest::copyAndPasteAskMessage53() {
    ViewRun run;
    QVERIFY(run.view);
    // Make channel 1 unlike channel 5 (a real tone: the parser raises the
    // default CTCSS 0.0 to 67.0).
    QVERIFY(run.Type(0, 4, QStringLiteral("150.125")));
    QVERIFY(run.Type(0, 7, QStringLiteral("c100")));
    run.SetCurrent(0, 14);
    run.grid->setFocus();
    run.Key(Qt::Key_Space);

    run.grid->selectionModel()->clear();
    run.SetCurrent(0, 4);
    QVERIFY(run.frame->RunCommand(HCmd::kEditCopy));
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("  1\t")));
    QCOMPARE(copied.count(QLatin1Char('\n')), 1);
    QCOMPARE(copied.count(QLatin1Char('\t')), 25);

    QStringList row5;
    for (int col = 0; col < 26; ++col)
        row5 << run.Text(4, col);
    run.SetCurrent(4, 2);
    MessageAnswers messages;
    // No: nothing changes.
    messages.Queue(53, QMessageBox::No);
    QVERIFY(run.frame->RunCommand(HCmd::kEditPaste));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Do you copy Ch1 data to Ch 5?")});
    for (int col = 0; col < 26; ++col)
        QCOMPARE(run.Text(4, col), row5[col]);
    // Yes: channel 5 takes channel 1's cells (not its number, not Pri).
    messages.Queue(53, QMessageBox::Yes);
    QVERIFY(run.frame->RunCommand(HCmd::kEditPaste));
    QCOMPARE(messages.Count(53), 2);
    QCOMPARE(run.Text(4, 0), QStringLiteral("  5"));
    for (int col = 2; col < 26; ++col)
        QCOMPARE(run.Text(4, col), run.Text(0, col));
    QCOMPARE(run.Text(4, 4), QStringLiteral("150.12500"));
    QCOMPARE(run.grid->currentIndex(), run.Index(4, 2));

    // Text that is not channel rows is not pasted and nothing is asked.
    QApplication::clipboard()->setText(QStringLiteral("hello\tworld"));
    run.frame->RunCommand(HCmd::kEditPaste);
    QCoreApplication::processEvents();
    QCOMPARE(messages.asked.size(), 2);

    // The paste reaches the image on save-edits.
    run.frame->SendViewSaveData();
    HChannels saved;
    saved.Load(run.Image());
    QCOMPARE(saved.GetField(4, kFieldRxFrequency), 150125000);
}

int RunChannelViewTest(int argc, char** argv) {
    ChannelViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ChannelViewTest.moc"
