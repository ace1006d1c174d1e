// The channel view in the running program: the default image's channels in
// the grid, edits typed into the cell editors reaching the image on
// save-edits, ticks, the tone dialog, groups, View > Item and copy/paste with
// message 53.
#include "AppTestSupport.h"
#include "CFileDataDlg.h"
#include "CRP57View.h"
#include "CToneDlg.h"
#include "HCreateNewFile.h"
#include "HGridTableModel.h"
#include "HModelEditor.h"
#include "HRpFlexgrid.h"

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
    void DoubleClick(int row, int col, bool clickFirst = false) const {
        const QPoint center = grid->visualRect(Index(row, col)).center();
        if (clickFirst)
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, center);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, center);
    }
    // Opens the cell's editor with a click and a double click, as a user would.
    template <class Editor> Editor* OpenEditor(int row, int col) const {
        grid->scrollTo(Index(row, col));
        DoubleClick(row, col, true);
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
    [[nodiscard]] QStringList Row(int row) const {
        QStringList out;
        for (int col = 0; col < 26; ++col)
            out << Text(row, col);
        return out;
    }
    // "1" for each hidden column of `cols`, "0" for each shown one.
    [[nodiscard]] QString Hidden(std::initializer_list<int> cols) const {
        QString out;
        for (int col : cols)
            out += grid->isColumnHidden(col) ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
};

// A row's texts as the grid core makes them.
QStringList CoreRow(const HChannelGrid& core, int row) {
    QStringList out;
    for (int col = 0; col < 26; ++col)
        out << QString::fromStdString(core.CellText(row, col));
    return out;
}

} // namespace

class ChannelViewTest : public QObject {
    Q_OBJECT
private slots:
    void defaultImageInTheGridAndViewItem();
    void typedEditsReachTheImage();
    void ticksToneDialogInUseAndGroups();
    void copyAndPasteAskMessage53();
    void pasteStoresWhatItCanAndTellsWhatNot();
    void statusBarSaysWhatTheRulesDid();
    void statusNoteGoesWithTheImageItTellsOf();
    void tagCellRefusesWhatTheRadioBlanks();
    void columnsFitTheirTexts();
    void cellEditorFiltersKeysAndEscapeKeepsTheCell();
    void windowClosedWhileACellIsBeingEdited();
};

void ChannelViewTest::defaultImageInTheGridAndViewItem() {
    ViewRun run;
    QVERIFY(run.view);
    QCOMPARE(Line({run.view->Model()->rowCount(), run.view->Model()->columnCount()}),
             QStringLiteral("128 26"));
    QCOMPARE(run.Text(0, 0) + run.Text(0, 3), QStringLiteral("  1-ORVANE-"));
    // Headers are the item names; the information panel and the group list.
    QStringList shown;
    for (int col : {3, 25})
        shown << run.view->Model()
                     ->headerData(col, Qt::Horizontal, Qt::DisplayRole)
                     .toString()
                     .simplified();
    for (int row : {1, 3, 5, 6, 7})
        shown << run.view->InfoValue(row)->text();
    shown << run.view->GroupList()->currentText()
          << QString::number(run.view->GroupList()->count());
    // COM 1 is the first serial device.
    QCOMPARE(shown.join('|'), QStringLiteral("TAG|DTMF ANI Monitor|VHF|/dev/ttyS0|128|"
                                             "0 Channels Left|Mobile|Group 1|1"));
    // Columns the model rules hide at access level 0 for this set: Auto Scan
    // (handheld only) and Ext Mic (level 0); TAG is there.
    QCOMPARE(run.Hidden({3, 11, 24}), QStringLiteral("011"));
    // View > Item: Frequency hides both its columns.
    QVERIFY(run.frame->RunCommand(HCmd::kItemFirst + 3));
    QCOMPARE(run.Hidden({4, 5}), QStringLiteral("11"));
    // TAG hidden by the user stays hidden on a refresh, but a file opened
    // for a set with a display turns it on (the load flag).
    run.frame->RunCommand(HCmd::kItemFirst + 2);
    run.frame->SendViewRefresh();
    QVERIFY(run.grid->isColumnHidden(3));
    const std::string path = run.home.File("display.r57");
    QVERIFY(HDataFile::Write(path, run.Image()).Ok());
    QVERIFY(run.doc->OpenFile(path));
    QVERIFY(!run.grid->isColumnHidden(3) && run.app.Item(2) == 1 &&
            run.frame->CommandAction(HCmd::kItemFirst + 2)->isChecked());
}

void ChannelViewTest::typedEditsReachTheImage() {
    ViewRun run;
    QVERIFY(run.view);
    const HMemoryImage before = run.Image();
    auto* freq = run.OpenEditor<QLineEdit>(2, 4);
    QVERIFY(freq && freq->maxLength() == 9);
    QTest::keyClicks(freq, QStringLiteral("146.52"));
    ViewRun::Commit(freq);
    // The dependant column is re-drawn.
    QCOMPARE(run.Text(2, 4) + run.Text(2, 5), QStringLiteral("146.52000146.52000"));
    QVERIFY(run.Type(2, 3, QStringLiteral("rpt 1+a")));
    QCOMPARE(run.Text(2, 3), QStringLiteral("RPT 1+A"));
    // Nothing reached the image before save-edits, though the window shows the
    // change at once (it is an undo step); then exactly the same edits through
    // the grid core give the same image.
    QVERIFY(run.Image() == before);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    run.frame->SendViewSaveData();
    QCOMPARE(run.app.ModifiedFlag(), 1);
    HMemoryImage expected = before;
    HChannelGrid core;
    core.Refresh(expected);
    core.CommitText(2, 4, "146.52");
    core.CommitText(2, 3, "RPT 1+A");
    QVERIFY(core.SaveEdits(expected));
    QVERIFY(run.Image() == expected);
    // Shift+F9 (a window shortcut: it needs the window active, as a person's
    // key would): an edit still open in a cell reaches the image before the
    // raw editor copies it.
    QVERIFY(run.OpenEditor<QLineEdit>(0, 3));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("RAW"));
    bool sawEdit = false;
    ModalDriver<CFileDataDlg> raw([&run, &sawEdit](CFileDataDlg* dialog) {
        HChannels m;
        m.Load(run.Image());
        sawEdit = HChannelColumns::CellText(3, m, 0, 0) == "RAW";
        dialog->reject();
    });
    run.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(run.frame));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9, Qt::ShiftModifier);
    QVERIFY(raw.Fired() && sawEdit);
}

void ChannelViewTest::ticksToneDialogInUseAndGroups() {
    ViewRun run;
    QVERIFY(run.view);
    run.grid->setFocus();
    // Space inverts a tick and again restores it; a double click inverts one too.
    run.SetCurrent(4, 12);
    run.Key(Qt::Key_Space);
    QCOMPARE(run.Text(4, 12), QStringLiteral("-"));
    run.DoubleClick(4, 10);
    QCOMPARE(run.Text(4, 10), QStringLiteral("-"));
    // Enter on the transmit tone opens the tone dialog on the cell's side;
    // Cancel keeps the cell.
    run.SetCurrent(4, 6);
    ModalDriver<CToneDlg> pick([](CToneDlg* dialog) {
        QListWidget* list = dialog->List();
        for (QListWidgetItem* item : list->findItems(QStringLiteral("D-023 B"), Qt::MatchExactly))
            list->setCurrentItem(item);
        dialog->accept();
    });
    run.Key(Qt::Key_Return);
    QVERIFY(pick.Fired());
    ModalDriver<CToneDlg> cancel([](CToneDlg* dialog) { dialog->reject(); });
    run.Key(Qt::Key_Return);
    QVERIFY(cancel.Fired());
    QCOMPARE(run.Text(4, 6), QStringLiteral("D-023 B"));
    // Column 0: a double click takes the channel out of use; its row turns grey.
    run.DoubleClick(9, 0);
    const QModelIndex tag = run.Index(9, 3);
    QVERIFY(!tag.data(HGridTableModel::InUseRole).toBool() &&
            tag.data(Qt::BackgroundRole).isValid() && !(tag.flags() & Qt::ItemIsEditable));
    // All of it reaches the image on save-edits.
    QVERIFY(run.view->OnSaveData());
    HChannelGrid core;
    core.Refresh(run.Image());
    QCOMPARE(run.Row(4), CoreRow(core, 4));
    // Two groups: 5 and 3 channels.
    HChannels m;
    m.Load(run.Image());
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, kGroupChannels, g == 0 ? 5 : g == 1 ? 3 : 0);
    m.NormalizeGroups();
    m.Save(run.Image());
    run.frame->SendViewRefresh();
    // The group shown, its row count and its first channel.
    const auto group = [&run] {
        return QStringLiteral("%1 %2 %3")
            .arg(run.view->GroupList()->currentText())
            .arg(run.view->Model()->rowCount())
            .arg(run.Text(0, 0).trimmed());
    };
    // An edit in group 1 survives the group change; F2 wraps round.
    QVERIFY(run.Type(0, 3, QStringLiteral("HOME")));
    run.grid->setFocus();
    run.Key(Qt::Key_F2);
    QCOMPARE(group(), QStringLiteral("Group 2 3 6"));
    run.Key(Qt::Key_F2);
    QCOMPARE(group() + run.Text(0, 3), QStringLiteral("Group 1 5 1HOME"));
    // A refresh drops what was not saved.
    run.frame->SendViewRefresh();
    run.view->SelectGroup(0);
    QCOMPARE(run.Text(0, 3), QStringLiteral("-ORVANE-"));
}

void ChannelViewTest::copyAndPasteAskMessage53() {
    ViewRun run;
    QVERIFY(run.view);
    // Make channel 1 unlike channel 5 (a real tone: the parser raises the
    // default CTCSS 0.0 to 67.0).
    QVERIFY(run.Type(0, 4, QStringLiteral("150.125")));
    QVERIFY(run.Type(0, 7, QStringLiteral("c100")));

    run.grid->selectionModel()->clear();
    run.SetCurrent(0, 4);
    QVERIFY(run.frame->RunCommand(HCmd::kEditCopy));
    const QString copied = QApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("  1\t")));
    QCOMPARE(Line({copied.count('\n'), copied.count('\t')}), QStringLiteral("1 25"));

    const QStringList row5 = run.Row(4);
    run.SetCurrent(4, 2);
    MessageAnswers messages;
    // No: nothing changes.
    messages.Queue(53, QMessageBox::No);
    QVERIFY(run.frame->RunCommand(HCmd::kEditPaste));
    QCOMPARE(messages.texts, QStringList{QStringLiteral("Do you copy Ch1 data to Ch 5?")});
    QCOMPARE(run.Row(4), row5);
    // Yes: channel 5 takes channel 1's cells (not its number, not Pri).
    messages.Queue(53, QMessageBox::Yes);
    QVERIFY(run.frame->RunCommand(HCmd::kEditPaste));
    QCOMPARE(messages.asked.count("message53"), 2);
    QCOMPARE(run.Row(4).mid(2), run.Row(0).mid(2));
    QCOMPARE(run.Text(4, 0) + run.Text(4, 4), QStringLiteral("  5150.12500"));
    // Text of which no cell would be stored is not pasted, nothing is asked,
    // and the box says why.
    run.SetCurrent(4, 4);
    QApplication::clipboard()->setText(QStringLiteral("hello\tworld"));
    run.frame->RunCommand(HCmd::kEditPaste);
    QCoreApplication::processEvents();
    QCOMPARE(messages.asked.size(), 3);
    QCOMPARE(messages.asked.last(), QStringLiteral("pasteRefused"));
    QCOMPARE(run.Row(4).mid(2), run.Row(0).mid(2));
    // The paste reaches the image on save-edits.
    run.frame->SendViewSaveData();
    HChannels saved;
    saved.Load(run.Image());
    QCOMPARE(saved.GetField(4, kFieldRxFrequency), 150125000);
}

// Rows from a spreadsheet at the TAG column (the paste rules are the channel
// sheet's tests): every cell its column takes is stored as one undo step; the
// status bar and a box name each cell refused, by channel and column, and why.
void ChannelViewTest::pasteStoresWhatItCanAndTellsWhatNot() {
    ViewRun run;
    QVERIFY(run.view);
    QVERIFY(run.view->Grid().RowCount() > 21);
    QLabel* pane = run.frame->StatusPane(0);
    const QStringList row20 = run.Row(19);
    const QStringList row21 = run.Row(20);
    MessageAnswers messages(QMessageBox::Yes);
    QApplication::clipboard()->setText(
        QStringLiteral("ALPHA\t151.50000\tCTCSS 88.5\t\nBAD%TAG\t152.00000\t\t\n"));
    run.SetCurrent(19, 3);
    QVERIFY(run.frame->RunCommand(HCmd::kEditPaste));
    QCOMPARE(messages.asked,
             (QStringList{QStringLiteral("message53"), QStringLiteral("pasteRefused")}));
    QCOMPARE(messages.texts.first(), QStringLiteral("Do you paste 2 rows into Ch 20 - 21?"));
    QCOMPARE(run.Text(19, 3) + run.Text(19, 4), QStringLiteral("ALPHA151.50000"));
    QCOMPARE(run.Text(20, 3), row21[3]);
    QCOMPARE(run.Text(20, 4), QStringLiteral("152.00000"));
    const QString refusedTx =
        QStringLiteral("Channel 20 TX Frequency: \"CTCSS 88.5\" not understood, kept 151.50000");
    const QString refusedTag = QStringLiteral(
        "Channel 21 TAG: \"BAD%TAG\" not stored: the radio shows %, < and > as blanks");
    QCOMPARE(pane->text(), QStringLiteral("2 of 5 pasted cells not stored: ") + refusedTx +
                               QStringLiteral("; ") + refusedTag);
    QCOMPARE(messages.details.last(), refusedTx + QLatin1Char('\n') + refusedTag);
    // One step back to both rows as they were.
    QCOMPARE(run.frame->CommandAction(HCmd::kEditUndo)->text(),
             QStringLiteral("&Undo Paste 2 rows, channel 20"));
    QVERIFY(run.frame->RunCommand(HCmd::kEditUndo));
    QCOMPARE(run.Row(19), row20);
    QCOMPARE(run.Row(20), row21);
}

void ChannelViewTest::statusBarSaysWhatTheRulesDid() {
    ViewRun run;
    QVERIFY(run.view);
    QLabel* pane = run.frame->StatusPane(0);
    const QString ready = pane->text();
    QVERIFY(run.Type(3, 4, QStringLiteral("151.003")));
    QCOMPARE(pane->text(), QStringLiteral("Channel 4 RX Frequency: typed 151.003, stored "
                                          "151.00500 (step 5 kHz); TX Frequency followed RX: "
                                          "151.00500 (was 154.10000)"));
    // The next value stored as typed clears the note.
    QVERIFY(run.Type(3, 4, QStringLiteral("151.005")));
    QCOMPARE(pane->text(), ready);
}

// A note tells of an edit of this image: Undo, Open and New take it away
// (Upload: RadioTransferTest), whatever the view shows next.
void ChannelViewTest::statusNoteGoesWithTheImageItTellsOf() {
    ViewRun run;
    QVERIFY(run.view);
    QLabel* pane = run.frame->StatusPane(0);
    MessageAnswers messages(QMessageBox::No); // the changes are dropped when asked
    const QString other = run.home.QPath("other.r57");
    QVERIFY(HDataFile::Write(other.toStdString(), run.Image()).Ok());
    struct Step {
        const char* name;
        std::function<bool()> run;
    };
    const Step steps[] = {
        {"Undo", [&] { return run.frame->RunCommand(HCmd::kEditUndo); }},
        {"Open", [&] { return run.doc->OpenFile(other.toStdString()); }},
        {"New",
         [&] {
             // Another band: a new image (the same model keeps the one there is).
             ModalDriver<HCreateNewFile> model([](HCreateNewFile* dialog) {
                 PickText(dialog->Combo(HModel::kItemBand), QStringLiteral("UHF A"));
                 dialog->accept();
             });
             messages.Queue(HStringTable::kChangeBand, QMessageBox::Yes);
             return run.frame->RunCommand(HCmd::kFileNew) && model.Fired();
         }},
    };
    for (const Step& step : steps) {
        QVERIFY2(run.Type(3, 4, QStringLiteral("151.003")), step.name);
        QVERIFY2(pane->text().contains(QStringLiteral("TX Frequency followed RX")), step.name);
        QVERIFY2(step.run(), step.name);
        QCoreApplication::processEvents();
        QVERIFY2(pane->text() == QStringLiteral("Ready"), step.name);
        QVERIFY2(pane->toolTip().isEmpty(), step.name);
    }
}

void ChannelViewTest::tagCellRefusesWhatTheRadioBlanks() {
    ViewRun run;
    QVERIFY(run.view);
    // Typed: the signs never reach the cell.
    QVERIFY(run.Type(1, 3, QStringLiteral("50%<>")));
    QCOMPARE(run.Text(1, 3), QStringLiteral("50"));
    // Pasted into the cell editor: the same filter, key by key.
    auto* edit = run.OpenEditor<QLineEdit>(2, 3);
    QVERIFY(edit);
    QApplication::clipboard()->setText(QStringLiteral("a%b<c>"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("ABC"));
    ViewRun::Commit(edit);
    QCOMPARE(run.Text(2, 3), QStringLiteral("ABC"));
}

void ChannelViewTest::columnsFitTheirTexts() {
    ViewRun run;
    QVERIFY(run.view);
    run.frame->resize(run.frame->minimumSize());
    run.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(run.frame));
    QCOMPARE(run.frame->size(), QSize(860, 640));
    auto* header = run.grid->horizontalHeader();
    const QFontMetrics cells(run.grid->font());
    const QFontMetrics heads(header->font());
    // Room a cell or header needs beside its text.
    constexpr int kMargin = 6;
    constexpr int kSlack = 16;
    const auto widest = [&](int col) {
        int width = 2 * kMargin; // a tick picture
        for (int row = 0; row < run.view->Model()->rowCount(); ++row)
            width = std::max(width, cells.horizontalAdvance(run.Text(row, col)));
        return width;
    };
    // A new tone is wider than the "-----" of the default channels.
    QVERIFY(run.Type(0, 7, QStringLiteral("c88.5")));
    QCOMPARE(run.Text(0, 7), QStringLiteral("C- 88.5"));
    for (int col = 0; col < 26; ++col) {
        if (run.grid->isColumnHidden(col))
            continue;
        const int width = run.grid->columnWidth(col);
        const QString label = header->model()->headerData(col, Qt::Horizontal).toString();
        int longest = widest(col);
        for (const QString& word : label.split(QRegularExpression(QStringLiteral("\\s+"))))
            longest = std::max(longest, heads.horizontalAdvance(word));
        int lines = 0;
        for (const QString& line : label.split(QLatin1Char('\n')))
            lines = std::max(lines, heads.horizontalAdvance(line));
        // Nothing cut off: every cell text and header line fits ...
        QVERIFY2(widest(col) + 2 * kMargin <= width, qPrintable(label));
        QVERIFY2(lines + 2 * kMargin <= width, qPrintable(label));
        // ... and at the smallest window no column is wider than its longest
        // text or header word needs.
        QVERIFY2(width <= longest + kSlack, qPrintable(label));
    }
    // The list editors open wide enough for their texts.
    auto* combo = run.OpenEditor<QComboBox>(0, 2);
    QVERIFY(combo);
    QVERIFY(combo->width() >= combo->sizeHint().width());
}

void ChannelViewTest::cellEditorFiltersKeysAndEscapeKeepsTheCell() {
    ViewRun run;
    QVERIFY(run.view);
    // Keys reach the column's filter (its rules are the grid core's tests).
    auto* freq = run.OpenEditor<QLineEdit>(0, 4);
    QVERIFY(freq);
    QTest::keyClicks(freq, QStringLiteral("1x4y5.z5"));
    QCOMPARE(freq->text(), QStringLiteral("145.5"));
    // Escape drops the typing: the cell keeps its value.
    QTest::keyClick(freq, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(run.Text(0, 4), QStringLiteral("154.10000"));
    // So save-edits has nothing to write and leaves the document unmodified.
    run.app.SetModifiedFlag(0);
    QVERIFY(!run.view->OnSaveData());
    QCOMPARE(run.app.ModifiedFlag(), 0);
}

void ChannelViewTest::windowClosedWhileACellIsBeingEdited() {
    // Closing the window commits the open editor; that edit once reached a
    // command table already destroyed.
    bool typed = false;
    {
        ViewRun run;
        QVERIFY(run.view);
        run.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(run.frame));
        auto* edit = run.OpenEditor<QLineEdit>(0, 4);
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("151.5"));
        typed = true;
    }
    QVERIFY(typed);
}

RP57_APP_TEST(ChannelViewTest)

#include "ChannelViewTest.moc"
