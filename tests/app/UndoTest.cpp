// Edit > Undo and Redo in the running program: every kind of change of the
// image is one step that gives back the exact bytes, the menu names the step,
// and the modified flag follows the step against the file on disk.
#include "AppTestSupport.h"
#include "CFileDataDlg.h"
#include "CRP57View.h"
#include "HChannels.h"
#include "HCommonItems.h"
#include "HCreateNewFile.h"
#include "HDialog.h"
#include "HDocumentHistory.h"
#include "HEditorForm.h"
#include "HFileDataModel.h"
#include "HGridTableModel.h"
#include "HModelEditor.h"
#include "HRpFlexgrid.h"
#include "HSetColumnDlg.h"

#include <random>

namespace {

// A VHF mobile set with a display: the TAG column is there.
struct DisplayHome {
    TempHome home;
    DisplayHome() {
        home.Write("RP57Win.ini", "[End Status]\nProductType=0\nFreq.Band=0\nLCDType=1\n");
    }
};

struct UndoRun : DisplayHome, RunningApp {
    UndoRun() : RunningApp(2) {}
    CRP57View* View() const { return qobject_cast<CRP57View*>(frame->centralWidget()); }
    QModelIndex Index(int row, int col) const { return View()->Model()->index(row, col); }
    QString Text(int row, int col) const { return Index(row, col).data().toString(); }
    void SetCurrent(int row, int col) const {
        View()->GridView()->setCurrentIndex(Index(row, col));
    }
    QString UndoText() const { return frame->CommandAction(HCmd::kEditUndo)->text(); }
    QString RedoText() const { return frame->CommandAction(HCmd::kEditRedo)->text(); }
    bool Run(int id) const { return frame->RunCommand(id); }
};

// The image the grid shows: the document's with the grid's edits that
// save-edits has not written yet.
HMemoryImage Shown(const UndoRun& run) {
    HMemoryImage image = run.doc->Image();
    HChannelGrid probe = run.View()->Grid();
    probe.SaveEdits(image);
    return image;
}

// One random change of the document as a user makes it, through the window:
// a typed cell, a list pick, a tick by Space, Set Column, a paste of copied
// channel rows or of spreadsheet rows at the TAG column, an editor's OK, or
// save-edits (which is no change). Returns what it did, for the failure message.
class RandomEdits {
public:
    RandomEdits(UndoRun& run, std::mt19937& rng) : m_run(run), m_rng(rng) {}

    std::string Step() {
        switch (Pick(9)) {
        case 0:
        case 1:
            return TypeCell();
        case 2:
            return PickFromList();
        case 3:
            return Tick();
        case 4:
            return SetColumn();
        case 5:
            return PasteRows();
        case 6:
            return PasteSheet();
        case 7:
            return EditorOk();
        default:
            m_run.frame->SendViewSaveData();
            return "save-edits";
        }
    }

private:
    int Pick(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
    HChannelGrid& Grid() const { return m_run.View()->Grid(); }
    int AnyRow() { return Pick(Grid().RowCount()); }

    std::string TypeCell() {
        const int row = AnyRow();
        std::string text;
        int col = 3;
        if (Pick(2) == 0) {
            for (int n = 1 + Pick(8); n > 0; --n)
                text.push_back(static_cast<char>('A' + Pick(26)));
        } else {
            // Another channel's frequency: one the band takes.
            col = 4;
            text = Grid().CellText(AnyRow(), 4);
        }
        m_run.View()->Model()->setData(m_run.Index(row, col), QString::fromStdString(text),
                                       Qt::EditRole);
        return "type '" + text + "' at " + std::to_string(row) + "," + std::to_string(col);
    }

    std::string PickFromList() {
        const int row = AnyRow();
        const int col = std::array{2, 9, 13, 16}[static_cast<std::size_t>(Pick(4))];
        const int index = Pick(3);
        m_run.View()->Model()->setData(m_run.Index(row, col), index, Qt::EditRole);
        return "list " + std::to_string(index) + " at " + std::to_string(row) + "," +
               std::to_string(col);
    }

    std::string Tick() {
        const int row = AnyRow();
        const int col = std::array{10, 12, 14, 22}[static_cast<std::size_t>(Pick(4))];
        m_run.SetCurrent(row, col);
        QTest::keyClick(m_run.View()->GridView(), Qt::Key_Space);
        return "tick " + std::to_string(row) + "," + std::to_string(col);
    }

    void SelectRows(int first, int last) {
        m_run.View()->GridView()->selectionModel()->select(
            QItemSelection(m_run.Index(first, 2), m_run.Index(last, 9)),
            QItemSelectionModel::ClearAndSelect);
    }

    std::string SetColumn() {
        const int first = AnyRow();
        const int last = std::min(first + Pick(4), Grid().RowCount() - 1);
        SelectRows(first, last);
        const int column = Pick(100);
        const int value = Pick(100);
        ModalDriver<HSetColumnDlg> driver([column, value](HSetColumnDlg* dialog) {
            PickIndex(dialog->ColumnList(), column % dialog->ColumnList()->count());
            PickIndex(dialog->ValueList(), value % dialog->ValueList()->count());
            dialog->accept();
        });
        m_run.Run(HCmd::kEditSetColumn);
        return "set column of rows " + std::to_string(first) + "-" + std::to_string(last);
    }

    std::string PasteRows() {
        const int first = AnyRow();
        const int last = std::min(first + Pick(3), Grid().RowCount() - 1);
        SelectRows(first, last);
        m_run.Run(HCmd::kEditCopy);
        const int target = AnyRow();
        m_run.SetCurrent(target, 0);
        m_run.Run(HCmd::kEditPaste);
        return "paste rows " + std::to_string(first) + "-" + std::to_string(last) + " at " +
               std::to_string(target);
    }

    std::string PasteSheet() {
        QString text;
        for (int n = 1 + Pick(3); n > 0; --n)
            text += QStringLiteral("T%1\n").arg(Pick(1000));
        QApplication::clipboard()->setText(text);
        const int target = AnyRow();
        m_run.SetCurrent(target, 3);
        m_run.Run(HCmd::kEditPaste);
        return "paste tags at " + std::to_string(target);
    }

    std::string EditorOk() {
        const int command = std::array{HCommonCmd::kScanning, HCommonCmd::kMiscellaneous,
                                       HCommonCmd::kPowerSaving}[static_cast<std::size_t>(Pick(3))];
        const int item = Pick(100);
        const int value = Pick(100);
        ModalDriver<QDialog> driver([item, value](QDialog* dialog) {
            QList<HValueCombo*> combos;
            for (HValueCombo* combo : dialog->findChildren<HValueCombo*>())
                if (combo->isVisible() && combo->isEnabled() && combo->count() > 1)
                    combos << combo;
            if (!combos.isEmpty()) {
                QComboBox* combo = combos[item % combos.size()];
                PickIndex(combo, value % combo->count());
            }
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("OK")) {
                    QTest::mouseClick(button, Qt::LeftButton);
                    break;
                }
        });
        m_run.Run(command);
        return "editor " + std::to_string(command) + " OK";
    }

    UndoRun& m_run;
    std::mt19937& m_rng;
};

} // namespace

class UndoTest : public QObject {
    Q_OBJECT
private slots:
    void everyKindOfChangeIsOneStepWithItsBytes();
    void modifiedFlagFollowsTheStep();
    void uploadIsOneStepBackToTheDocumentBefore();
    void undoAndRedoGiveBackEachStepsImage();
};

void UndoTest::everyKindOfChangeIsOneStepWithItsBytes() {
    UndoRun run;
    QVERIFY(run.View());
    QVERIFY(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled());
    std::vector<HMemoryImage> states{run.doc->Image()};
    QStringList names;
    const auto took = [&](const QString& name) {
        // Grid edits reach the image on save-edits, as every command sends it.
        run.frame->SendViewSaveData();
        QVERIFY2(run.doc->Image() != states.back(), qPrintable(name));
        states.push_back(run.doc->Image());
        names << name;
        QCOMPARE(run.UndoText(), QStringLiteral("&Undo ") + name);
    };

    // A cell edit, as the cell editor commits it.
    QVERIFY(
        run.View()->Model()->setData(run.Index(11, 4), QStringLiteral("150.125"), Qt::EditRole));
    took(QStringLiteral("Edit RX Frequency, channel 12"));
    // A tick by Space.
    run.SetCurrent(1, 12);
    QTest::keyClick(run.View()->GridView(), Qt::Key_Space);
    took(QStringLiteral("Edit TOT, channel 2"));

    // Rows from a spreadsheet with a header row.
    MessageAnswers messages(QMessageBox::Yes);
    QApplication::clipboard()->setText(
        QStringLiteral("RX Frequency\tSquelch\n151.000\t5\n152.000\t6\n"));
    run.SetCurrent(2, 4);
    QVERIFY(run.Run(HCmd::kEditPaste));
    QCOMPARE(messages.LastText(), QStringLiteral("Do you paste 2 rows into Ch 3 - 4?"));
    QCOMPARE(run.Text(3, 4) + run.Text(3, 13), QStringLiteral("152.000006"));
    took(QStringLiteral("Paste 2 rows, channel 3"));

    // One column for four selected channels.
    run.View()->GridView()->selectionModel()->select(
        QItemSelection(run.Index(0, 2), run.Index(3, 9)), QItemSelectionModel::ClearAndSelect);
    {
        ModalDriver<HSetColumnDlg> driver([](HSetColumnDlg* dialog) {
            PickText(dialog->ColumnList(), QStringLiteral("Power"));
            PickText(dialog->ValueList(), QStringLiteral("L"));
            dialog->accept();
        });
        QVERIFY(run.Run(HCmd::kEditSetColumn));
        QVERIFY(driver.Fired());
    }
    for (int row = 0; row < 5; ++row)
        QCOMPARE(run.Text(row, 8) == QStringLiteral("L"), row < 4);
    took(QStringLiteral("Set Power, 4 channels"));

    // A settings editor's OK.
    {
        ModalDriver<HDialog> driver([](HDialog* dialog) {
            HValueCombo* combo = dialog->Form()->Combo(HCommonItems::HardwareItem::kBand);
            PickIndex(combo, 1); // UHF A; the band question is answered Yes
            QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        });
        QVERIFY(run.Run(HCommonCmd::kHardware));
        QVERIFY(driver.Fired());
    }
    took(QStringLiteral("Hardware"));

    // The raw image editor.
    {
        ModalDriver<CFileDataDlg> driver([](CFileDataDlg* dialog) {
            QVERIFY(dialog->Model()->setData(dialog->Model()->index(1, 3), QStringLiteral("5A"),
                                             Qt::EditRole));
            dialog->accept();
        });
        run.frame->findChild<QAction*>(QStringLiteral("actionFileData"))->trigger();
        QVERIFY(driver.Fired());
    }
    QCOMPARE(run.doc->Image()[19], std::uint8_t{0x5A});
    took(QStringLiteral("File Data"));

    // New for another model: the unsaved changes are given up (No).
    messages.Queue(146, QMessageBox::No);
    {
        ModalDriver<HCreateNewFile> model([](HCreateNewFile* dialog) {
            PickText(dialog->Combo(HModel::kItemBand), QStringLiteral("UHF D"));
            dialog->accept();
        });
        QVERIFY(run.Run(HCmd::kFileNew));
        QVERIFY(model.Fired());
    }
    took(QStringLiteral("New"));

    // Back through every step, then forward again, byte for byte.
    for (int i = static_cast<int>(names.size()) - 1; i >= 0; --i) {
        QCOMPARE(run.UndoText(), QStringLiteral("&Undo ") + names[i]);
        QVERIFY(run.Run(HCmd::kEditUndo));
        QVERIFY2(run.doc->Image() == states[static_cast<std::size_t>(i)], qPrintable(names[i]));
        QCOMPARE(run.RedoText(), QStringLiteral("&Redo ") + names[i]);
    }
    QVERIFY(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled());
    for (std::size_t i = 1; i < states.size(); ++i) {
        QVERIFY(run.Run(HCmd::kEditRedo));
        QVERIFY2(run.doc->Image() == states[i], qPrintable(names[static_cast<int>(i) - 1]));
    }
    QVERIFY(!run.frame->CommandAction(HCmd::kEditRedo)->isEnabled());
    // The keys of the menu entries.
    QCOMPARE(run.frame->CommandAction(HCmd::kEditUndo)->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+Z")));
    QVERIFY(run.frame->CommandAction(HCmd::kEditRedo)
                ->shortcuts()
                .contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
}

void UndoTest::modifiedFlagFollowsTheStep() {
    UndoRun run;
    QVERIFY(run.View());
    const std::string path = run.home.File("saved.R57");
    run.app.SetCurrentFilePath(path);
    QVERIFY(run.doc->OnFileSave());
    QCOMPARE(run.app.ModifiedFlag(), 0);

    QVERIFY(run.View()->Model()->setData(run.Index(0, 4), QStringLiteral("151.5"), Qt::EditRole));
    QCOMPARE(run.app.ModifiedFlag(), 1);
    QVERIFY(run.Run(HCmd::kEditUndo));
    QCOMPARE(run.app.ModifiedFlag(), 0); // back to what the file holds
    QVERIFY(!run.frame->isWindowModified());
    QVERIFY(run.Run(HCmd::kEditRedo));
    QCOMPARE(run.app.ModifiedFlag(), 1);
    QVERIFY(run.frame->isWindowModified());

    // Saved here: now the first state is the one the file no longer holds.
    QVERIFY(run.doc->OnFileSave());
    QVERIFY(run.Run(HCmd::kEditUndo));
    QCOMPARE(run.app.ModifiedFlag(), 1);
    QVERIFY(run.Run(HCmd::kEditRedo));
    QCOMPARE(run.app.ModifiedFlag(), 0);

    // New leaves the document unmodified: its step is, when redone.
    {
        MessageAnswers answers(QMessageBox::Yes); // the model's questions
        ModalDriver<HCreateNewFile> model([](HCreateNewFile* dialog) {
            PickText(dialog->Combo(HModel::kItemBand), QStringLiteral("UHF D"));
            dialog->accept();
        });
        QVERIFY(run.Run(HCmd::kFileNew));
        QVERIFY(model.Fired());
    }
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QVERIFY(run.Run(HCmd::kEditUndo));
    QVERIFY(run.Run(HCmd::kEditRedo));
    QCOMPARE(run.app.ModifiedFlag(), 0);

    // A change no command made, that reaches the view by a refresh alone: a
    // step of its own, unsaved; the grid's edit that the refresh drops is the
    // step before it.
    QVERIFY(run.View()->Model()->setData(run.Index(1, 4), QStringLiteral("152.5"), Qt::EditRole));
    HMemoryImage edited = run.doc->Image();
    HChannelGrid(run.View()->Grid()).SaveEdits(edited);
    run.doc->Image()[19] ^= 0xFF;
    const HMemoryImage refreshed = run.doc->Image();
    run.frame->SendViewRefresh();
    QVERIFY(run.Run(HCmd::kEditUndo));
    QVERIFY(run.doc->Image() == edited);
    QVERIFY(run.Run(HCmd::kEditRedo));
    QVERIFY(run.doc->Image() == refreshed);
    QCOMPARE(run.app.ModifiedFlag(), 1);

    // Another file opened (the changes given up): the steps of this one are gone.
    MessageAnswers discard(QMessageBox::No);
    QVERIFY(run.doc->OpenFile(path));
    QVERIFY(!run.doc->History().History().CanUndo());
    QVERIFY(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled());
}

void UndoTest::uploadIsOneStepBackToTheDocumentBefore() {
    TempHome home;
    RunningApp run;
    // The simulated radio on a pseudo-terminal, holding channels of its own.
    HMemoryImage radioMemory = BuildDefaultImage();
    radioMemory[2] = 5; // production code: mobile
    radioMemory[3] = 0; // custom code
    HChannels radioChannels;
    radioChannels.Load(radioMemory);
    radioChannels.SetTag(4, "RADIO05");
    radioChannels.Save(radioMemory);
    SimRadio radio(home, radioMemory);
    QVERIFY(radio.Started());

    // The document: a file of its own, unmodified.
    HMemoryImage own = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels ownChannels;
    ownChannels.Load(own);
    ownChannels.SetTag(4, "MINE");
    ownChannels.Save(own);
    const std::string path = home.File("mine.R57");
    QVERIFY(HDataFile::Write(path, own).Ok());
    QVERIFY(run.doc->OpenFile(path));
    const HMemoryImage before = run.doc->Image();

    run.app.SetComDevice(radio.Link().toStdString());
    MessageAnswers answers(QMessageBox::Yes);
    answers.answerPasswords = true;
    answers.passwords = {QStringLiteral("481736")};
    QVERIFY(run.frame->RunCommand(HCmd::kUpload));
    QVERIFY2(answers.texts.contains(QStringLiteral("Upload Complete!")),
             qPrintable(answers.texts.join(QLatin1Char('|'))));
    const HMemoryImage uploaded = run.doc->Image();
    QVERIFY(uploaded != before);
    QCOMPARE(run.app.CurrentFilePath(), std::string(CRP57App::kNoFile));

    // One step, named by the command, back to the file's document.
    QCOMPARE(run.frame->CommandAction(HCmd::kEditUndo)->text(), QStringLiteral("&Undo Upload"));
    QVERIFY(run.frame->RunCommand(HCmd::kEditUndo));
    QVERIFY(run.doc->Image() == before);
    QCOMPARE(run.app.CurrentFilePath(), path);
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QVERIFY(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled());
    QVERIFY(run.frame->RunCommand(HCmd::kEditRedo));
    QVERIFY(run.doc->Image() == uploaded);
    QCOMPARE(run.app.CurrentFilePath(), std::string(CRP57App::kNoFile));
}

// The undo invariant, over random images and random sequences of every kind
// of edit mixed with Undo and Redo: at any point the image (as the grid shows
// it, edits not saved yet included) is the one recorded at that step, and
// Undo and Redo are offered exactly where there is a step to take.
void UndoTest::undoAndRedoGiveBackEachStepsImage() {
    constexpr unsigned kSeed = 57023;
    constexpr int kSequences = 200;
    UndoRun run;
    QVERIFY(run.View());
    MessageAnswers answers(QMessageBox::Yes);
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        std::mt19937 rng(kSeed + static_cast<unsigned>(sequence));
        // A start image: the model's own with channels changed at random.
        HMemoryImage start = MakeImageForModel(rng() % 2 ? kBandVhf : kBandUhfA, kProductMobile, 1);
        HChannels channels;
        channels.Load(start);
        for (int c = 0; c < 16; ++c)
            if (rng() % 2)
                channels.SetTag(c, "R" + std::to_string(rng() % 100));
        channels.Save(start);
        run.app.SetModifiedFlag(0);
        run.doc->Image() = start;
        run.frame->SendViewRefresh();
        run.doc->History().Reset();

        std::vector<HMemoryImage> states{Shown(run)};
        std::size_t at = 0;
        QStringList done;
        RandomEdits edits(run, rng);
        for (int action = 0; action < 14; ++action) {
            const unsigned kind = rng() % 10;
            if (kind < 6) {
                done << QString::fromStdString(edits.Step());
                const HMemoryImage now = Shown(run);
                if (now != states[at]) {
                    states.resize(at + 1);
                    states.push_back(now);
                    ++at;
                }
            } else if (kind < 8) {
                const bool can = at > 0;
                QVERIFY2(run.frame->CommandAction(HCmd::kEditUndo)->isEnabled() == can,
                         qPrintable(QStringLiteral("seed %1 sequence %2 after %3: undo offered")
                                        .arg(kSeed)
                                        .arg(sequence)
                                        .arg(done.join(QStringLiteral(", ")))));
                run.Run(HCmd::kEditUndo);
                done << QStringLiteral("undo");
                at -= can ? 1 : 0;
            } else {
                const bool can = at + 1 < states.size();
                QVERIFY2(run.frame->CommandAction(HCmd::kEditRedo)->isEnabled() == can,
                         qPrintable(QStringLiteral("seed %1 sequence %2 after %3: redo offered")
                                        .arg(kSeed)
                                        .arg(sequence)
                                        .arg(done.join(QStringLiteral(", ")))));
                run.Run(HCmd::kEditRedo);
                done << QStringLiteral("redo");
                at += can ? 1 : 0;
            }
            QVERIFY2(Shown(run) == states[at],
                     qPrintable(QStringLiteral("seed %1 sequence %2 step %3 after %4")
                                    .arg(kSeed)
                                    .arg(sequence)
                                    .arg(at)
                                    .arg(done.join(QStringLiteral(", ")))));
        }
    }
}

RP57_APP_TEST(UndoTest)
#include "UndoTest.moc"
