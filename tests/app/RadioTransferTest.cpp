// Radio > Upload and Download, the transfer dialog and Channel Allocations,
// through the running program against the simulated radio on a
// pseudo-terminal: what reaches the image, the document and the radio.
#include "AppTestSupport.h"
#include "CCompareDlg.h"
#include "CFleetDownloadDlg.h"
#include "CHistoryDlg.h"
#include "HChannelAllocationDlg.h"
#include "HChannels.h"
#include "HComInstructionDialog.h"
#include "HCommonGroups.h"
#include "HEdit.h"
#include "HOptionGroup.h"
#include "HRadioCommands.h"
#include "HSignallingSteps.h"
#include "HTransferRanges.h"
#include "HTransferSteps.h"

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using namespace HChannelTables;

constexpr const char* kFactoryPassword = "481736";

// The factory radio with the words a download leaves behind already in
// place, so that a round trip changes nothing but what the user edited.
HMemoryImage TransferRadio() {
    HMemoryImage m = FactoryRadio();
    m[HImageMap::EepromWordOffset(0xEA)] = 0xFF;
    m[HImageMap::EepromWordOffset(0xEA) + 1] = 0xFF;
    return m;
}

// The image with its channels edited by `edit`.
HMemoryImage WithChannels(HMemoryImage image, const std::function<void(HChannels&)>& edit) {
    HChannels model;
    model.Load(image);
    edit(model);
    model.Save(image);
    return image;
}

// First differing offset, -1 when equal: a failure names the byte.
long FirstDifference(const HMemoryImage& a, const HMemoryImage& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return long(i);
    return -1;
}

// Whether some cell of the model shows `text` (blanks around it aside).
bool ModelShows(const QAbstractItemModel* model, const QString& text) {
    for (int r = 0; model && r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            if (model->index(r, c).data().toString().trimmed() == text)
                return true;
    return false;
}

// The document on a file of its own holding `image`.
bool OpenDocument(RunningApp& run, const TempHome& home, const HMemoryImage& image,
                  const char* name = "mine.r57") {
    return HDataFile::Write(home.File(name), image).Ok() && run.doc->OpenFile(home.File(name));
}

// Radio > Upload in the transfer dialog on `device`: its result and its
// status line.
std::pair<int, QString> Upload(const std::string& device, HMemoryImage& image) {
    HComInstructionDialog dialog({.devicePath = device}, image);
    dialog.SetCommand(HComInstructionDialog::kCommandUpload);
    const int result = dialog.DoModal();
    return {result, dialog.StatusLabel()->text()};
}

// Answers what a transfer asks: OK or Yes, and the programming password.
struct TransferAnswers : MessageAnswers {
    explicit TransferAnswers(QStringList scripted = {}) : MessageAnswers(QMessageBox::Yes) {
        answerPasswords = true;
        passwords = std::move(scripted);
    }
};

} // namespace

class RadioTransferTest : public QObject {
    Q_OBJECT
private slots:
    void eventsCarryTheLinkAndTheBlocksOfTheAccessLevel();
    void uploadThenDownload();
    void cancelDuringTransferResetsTheRadio();
    void uploadAsksBeforeReplacingEdits();
    void portOpenErrorsSayWhy();
    void passwordPromptSaysWhatIsAskedAndWhatIsLeft();
    void channelAllocationUploadsOnlyAddedPages();
    void allocationDialogRules();
    void allocationWithoutOptionUnitOrDisplay();
    void downloadCompilesTheSignallingTables();
    void returnOnDownloadAnywayWritesNothing();
    void historyWindowOpensComparesAndRestoresAVersion();
    void fleetDownloadGivesRadiosTheirRowsAndListsThem();
};

void RadioTransferTest::eventsCarryTheLinkAndTheBlocksOfTheAccessLevel() {
    // The transfers below run at level 0 only: here the raised levels reach
    // the event with their own blocks.
    HMemoryImage work;
    HMemoryImage image{};
    HComInstructionDialog::LinkSettings link{.devicePath = "/dev/ttyUSB1", .baudRate = 19200};
    for (int level : {1, 2}) {
        link.accessLevel = level;
        const auto event = HComInstructionDialog::BuildEvent(
            HComInstructionDialog::kCommandDownload, link, work, image);
        const HTransferRanges r = HTransferRangeTable::For(HTransferDirection::Download, level);
        QVERIFY(event && event->accessLevel == level && event->writeEeprom == r.writeEeprom &&
                event->writeFlash == r.writeFlash && event->readFlash == r.readFlash);
    }
    QVERIFY(!HComInstructionDialog::BuildEvent(HCmd::kBasicAlignment, link, work, image));
}

void RadioTransferTest::uploadThenDownload() {
    TempHome home;
    RunningApp run;

    HMemoryImage radioMemory =
        WithChannels(TransferRadio(), [](HChannels& m) { m.SetTag(4, "RADIO05"); });
    HChannelSignalling signalling;
    signalling.Load(radioMemory);
    signalling.SetValue(HChannelSignalling::kSignallingType, 0); // 5-tone
    signalling.Save(radioMemory);
    // The document holds a file with other channels.
    const HMemoryImage own = WithChannels(MakeImageForModel(kBandVhf, kProductMobile, 1),
                                          [](HChannels& m) { m.SetTag(4, "MINE"); });
    QVERIFY(OpenDocument(run, home, own));
    const std::string path = run.app.CurrentFilePath();
    const auto* grid = run.frame->findChild<QTableView*>();
    QVERIFY(grid && ModelShows(grid->model(), QStringLiteral("MINE")));
    // A note on the file: it stays while the image is the file's.
    QVERIFY(run.frame->RunCommand(HCmd::kFileSave));
    const QString savedNote = run.frame->StatusPane(0)->text();
    QCOMPARE(savedNote, QStringLiteral("Saved ") + QString::fromStdString(path));
    SimRadio radio(home, radioMemory);
    QVERIFY(radio.Started());
    run.app.SetComDevice(radio.Link().toStdString());
    TransferAnswers answers({kFactoryPassword});
    QSignalSpy saveEdits(run.frame, &CMainFrame::ViewSaveDataRequested);
    QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);
    QSignalSpy loaded(run.doc, &CRP57Doc::ImageLoaded);
    QCOMPARE(HRadioCommands::OnMenuRadio(*run.frame, run.app, HCmd::kUpload),
             HComInstructionDialog::kResultOk);
    QCOMPARE(answers.passwordAsked, 1);
    QVERIFY2(answers.texts.contains(QStringLiteral("Upload Complete!")),
             qPrintable(answers.texts.join(QLatin1Char('|'))));
    QCOMPARE(Line({saveEdits.count(), refresh.count(), loaded.count()}), QStringLiteral("1 1 1"));
    // The radio's image is not the file that was saved.
    QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Ready"));
    // The image is the radio's, shown in the grid; the document is untitled.
    HMemoryImage& image = run.doc->Image();
    QVERIFY(ModelShows(grid->model(), QStringLiteral("RADIO05")));
    QCOMPARE(run.app.CurrentFilePath(), std::string(CRP57App::kNoFile));
    QVERIFY(run.frame->windowTitle().startsWith(QStringLiteral("<none>")));
    // The corrections after an upload ran (their rules are the transfer steps'
    // tests): the signalling commands follow the radio's 5-tone type.
    QCOMPARE(run.frame->SignallingMenuMode(), 0);
    // Uploading wrote nothing into the radio.
    QVERIFY(!radio.Wrote());
    // Edit two channels, then Download from the toolbar button.
    const HMemoryImage beforeEdit = image;
    image = WithChannels(image, [](HChannels& m) {
        m.SetTag(7, "EDITED");
        m.SetFrequency(7, 0, 151000000);
        m.SetFrequency(7, 1, 151500000);
    });
    // The download saves the channel model once more before writing; a second
    // pass here gives the bytes that go (tag pads among them).
    image = WithChannels(image, [](HChannels&) {});
    HMemoryImage expected = radioMemory;
    int edited = 0;
    for (std::size_t i = 0; i < image.size(); ++i)
        if (image[i] != beforeEdit[i]) {
            expected[i] = image[i];
            ++edited;
        }
    QVERIFY(edited > 0);
    // A byte of the radio's own words that the download cleans before it goes
    // (word 0x4A is written at this level): the radio keeps 0xFF there.
    image[0x95] = 0x12;
    answers.texts.clear();
    QVERIFY(run.frame->RunCommand(HCmd::kToolDownload));
    // The final message names the backup file that holds the radio as it was:
    // the upload above, not read again.
    const QRegularExpressionMatch backup =
        QRegularExpression(QStringLiteral("^Download Complete!\r?\nBackup kept: (.+) \\(the upload "
                                          "of [^;]+; the radio was not read again\\)\\.$"))
            .match(answers.texts.isEmpty() ? QString() : answers.texts.last());
    QVERIFY2(backup.hasMatch(), qPrintable(answers.texts.join(QLatin1Char('|'))));
    QVERIFY2(backup.captured(1).startsWith(home.QPath("backups/")), qPrintable(backup.captured(1)));
    QVERIFY(QFileInfo(backup.captured(1)).isFile());
    // The editor's programming password is the radio's: nothing asked.
    QCOMPARE(answers.passwordAsked, 1);

    QCOMPARE(FirstDifference(radio.StopAndRead(), expected), -1L);
}

void RadioTransferTest::cancelDuringTransferResetsTheRadio() {
    TempHome home;
    const HMemoryImage radioMemory = TransferRadio();
    SimRadio radio(home, radioMemory, {QStringLiteral("--pace")});
    QVERIFY(radio.Started());

    HMemoryImage image;
    image.fill(0x5A);
    const HMemoryImage untouched = image;
    HComInstructionDialog dialog({.devicePath = radio.Link().toStdString()}, image);
    dialog.SetCommand(HComInstructionDialog::kCommandUpload);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Upload"));

    TransferAnswers answers({kFactoryPassword});
    bool cancelled = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (cancelled || !dialog.IsRunning() || dialog.ProgressBar()->value() < 2)
            return;
        // Pages are coming in: the window is live. Keys typed now go nowhere.
        QTest::keyClick(&dialog, Qt::Key_Return);
        cancelled = dialog.IsRunning();
        dialog.CancelButton()->click();
    });
    watch.start();
    QCOMPARE(dialog.DoModal(), HComInstructionDialog::kResultCancel);
    watch.stop();

    QVERIFY(cancelled);
    QCOMPARE(dialog.StatusLabel()->text(), QStringLiteral("Transfer cancelled."));
    QCOMPARE(answers.texts, QStringList{QStringLiteral("Transfer cancelled.")});
    QCOMPARE(FirstDifference(image, untouched), -1L);
    // The radio got its reset frame, after the pages it was asked for.
    QVERIFY(!radio.Sent(QStringLiteral("F2 02")).isEmpty() &&
            radio.Sent(QStringLiteral("38 01 39")).size() == 1);
    QCOMPARE(FirstDifference(radio.StopAndRead(), radioMemory), -1L);
}

void RadioTransferTest::uploadAsksBeforeReplacingEdits() {
    TempHome home;
    RunningApp run;
    const HMemoryImage radioMemory =
        WithChannels(TransferRadio(), [](HChannels& m) { m.SetTag(4, "RADIO05"); });
    const HMemoryImage own = WithChannels(MakeImageForModel(kBandVhf, kProductMobile, 1),
                                          [](HChannels& m) { m.SetTag(4, "MINE"); });
    QVERIFY(OpenDocument(run, home, own));
    const std::string path = run.app.CurrentFilePath();
    HMemoryImage& image = run.doc->Image();
    image = WithChannels(image, [](HChannels& m) { m.SetTag(5, "EDITED"); });
    const HMemoryImage edited = image;
    run.app.SetModifiedFlag(1);
    QVERIFY(run.frame->isWindowModified());
    const QString title = run.frame->windowTitle();
    // A note the failed upload below must leave standing.
    run.frame->StatusPane(0)->setText(QStringLiteral("Saved"));

    SimRadio radio(home, radioMemory);
    QVERIFY(radio.Started());
    run.app.SetComDevice(radio.Link().toStdString());
    TransferAnswers answers({kFactoryPassword});
    // Cancel: nothing goes to the radio and the edits stay, unsaved.
    answers.Queue(HStringTable::kSaveChanges, QMessageBox::Cancel);
    QCOMPARE(HRadioCommands::OnMenuRadio(*run.frame, run.app, HCmd::kUpload),
             HComInstructionDialog::kResultCancel);
    QCOMPARE(answers.asked, QStringList{QStringLiteral("message146")});
    QVERIFY(radio.Sent(QString()).isEmpty());
    QCOMPARE(FirstDifference(image, edited), -1L);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    {
        // No goes on; when the radio then does not answer, the edits are
        // still there and still count as unsaved; file, title and status
        // note stay.
        SimRadio silent(home, radioMemory, {"--fault", "silent"}, QStringLiteral("silent"));
        QVERIFY(silent.Started());
        run.app.SetComDevice(silent.Link().toStdString());
        answers.Queue(HStringTable::kSaveChanges, QMessageBox::No);
        QCOMPARE(HRadioCommands::OnMenuRadio(*run.frame, run.app, HCmd::kUpload),
                 HComInstructionDialog::kResultCancel);
        QCOMPARE(answers.asked.count(QStringLiteral("message146")), 2);
        QCOMPARE(answers.asked.count(QStringLiteral("transferMessage")), 1);
        QCOMPARE(FirstDifference(image, edited), -1L);
        QCOMPARE(run.app.ModifiedFlag(), 1);
        QCOMPARE(run.app.CurrentFilePath(), path);
        QCOMPARE(run.frame->windowTitle(), title);
        QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Saved"));
        QVERIFY(!answers.texts.contains("Upload Complete!"));
    }
    // Yes saves through Save As, then the radio's memory comes in.
    run.app.SetComDevice(radio.Link().toStdString());
    answers.Queue(HStringTable::kSaveChanges, QMessageBox::Yes);
    FileChoice saveAs(QStringLiteral("FileSaveAsDialog"), home.QPath("kept.R57"));
    QCOMPARE(HRadioCommands::OnMenuRadio(*run.frame, run.app, HCmd::kUpload),
             HComInstructionDialog::kResultOk);
    QVERIFY(saveAs.Fired());
    HMemoryImage kept{};
    QVERIFY(HDataFile::Read(home.File("kept.R57"), kept).Ok());
    QCOMPARE(FirstDifference(kept, edited), -1L);
    HChannels model;
    model.Load(image);
    QCOMPARE(QString::fromStdString(model.GetTag(4)).trimmed(), QStringLiteral("RADIO05"));
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QVERIFY(!run.frame->isWindowModified());
}

void RadioTransferTest::portOpenErrorsSayWhy() {
    TempHome home;
    HMemoryImage image{};
    const auto upload = [&image](const std::string& device) { return Upload(device, image); };
    {
        // A device that is not there: named, with the system's reason.
        TransferAnswers answers;
        const std::string missing = home.File("ttyUSB9");
        const auto [result, status] = upload(missing);
        QCOMPARE(result, HComInstructionDialog::kResultCancel);
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Port Open Error!")});
        QCOMPARE(answers.details.constFirst(),
                 QString::fromStdString(missing + ": " + std::strerror(ENOENT)));
        QCOMPARE(status, QStringLiteral("Port Open Error!\n") + answers.details.constFirst());
    }
    if (::geteuid() != 0) { // root is never refused
        TransferAnswers answers;
        QVERIFY(home.Write("locked", "x"));
        QVERIFY(QFile::setPermissions(home.QPath("locked"), QFileDevice::Permissions()));
        upload(home.File("locked"));
        QVERIFY2(answers.details.constFirst().contains(QStringLiteral("'dialout' group")),
                 qPrintable(answers.details.join('|')));
    }
    // A port another program holds: that program is named.
    SimRadio radio(home, TransferRadio());
    QVERIFY(radio.Started());
    const QString device = QFileInfo(radio.Link()).symLinkTarget();
    const int holder = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QVERIFY(holder >= 0);
    QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
    TransferAnswers answers;
    upload(radio.Link().toStdString());
    ::close(holder);
    QCOMPARE(answers.texts, QStringList{QStringLiteral("Port Open Error!")});
    QVERIFY2(
        answers.details.constFirst().contains(QStringLiteral("in use by pid %1 (").arg(::getpid())),
        qPrintable(answers.details.join('|')));
}

void RadioTransferTest::passwordPromptSaysWhatIsAskedAndWhatIsLeft() {
    TempHome home;
    SimRadio radio(home, TransferRadio());
    QVERIFY(radio.Started());
    HMemoryImage image{};
    const auto upload = [&] { return Upload(radio.Link().toStdString(), image); };
    {
        // Two wrong entries, each said before the prompt comes back, then
        // the right one.
        TransferAnswers answers({QStringLiteral("111111"), QStringLiteral("222222"),
                                 QString::fromLatin1(kFactoryPassword)});
        QCOMPARE(upload().first, HComInstructionDialog::kResultOk);
        QCOMPARE(answers.passwordAsked, 3);
        QCOMPARE(answers.passwordPrompt, QStringLiteral("Programming password of the radio:"));
        QCOMPARE(answers.texts, (QStringList{"The programming password is wrong.\nTries left: 2",
                                             "The programming password is wrong.\nTries left: 1",
                                             "Upload Complete!"}));
    }
    // Cancelling the password dialog is answer enough: no box says so again.
    TransferAnswers answers;
    const auto [result, status] = upload();
    QCOMPARE(result, HComInstructionDialog::kResultCancel);
    QCOMPARE(answers.passwordAsked, 1);
    QCOMPARE(answers.texts, QStringList());
    QCOMPARE(status, QStringLiteral("Transfer cancelled."));
}

void RadioTransferTest::channelAllocationUploadsOnlyAddedPages() {
    TempHome home;
    RunningApp run;

    const HMemoryImage radioMemory = WithChannels(TransferRadio(), [](HChannels& m) {
        for (int c = 0; c < 12; ++c)
            m.SetTag(c, QStringLiteral("R-%1").arg(c, 3, 10, QLatin1Char('0')).toStdString());
    });
    SimRadio radio(home, radioMemory);
    QVERIFY(radio.Started());
    run.app.SetComDevice(radio.Link().toStdString());
    // Seven channels in use: three channel pages, the third holding one.
    const HMemoryImage own =
        WithChannels(MakeImageForModel(kBandVhf, kProductMobile, 1), [](HChannels& m) {
            m.SetGroupValue(0, kGroupChannels, 7);
            m.SetTag(6, "OWN-6");
        });
    QVERIFY(OpenDocument(run, home, own));

    // Types a count for group 1 and confirms.
    const auto allocate = [&run](int count) {
        ModalDriver<HChannelAllocationDlg> driver([count](HChannelAllocationDlg* dialog) {
            HEdit* edit = dialog->CountEdit(0);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, QString::number(count));
            QTest::keyClick(edit, Qt::Key_Return);
            dialog->accept();
        });
        return run.frame->RunCommand(HCmd::kChannelAllocation) && driver.Fired();
    };
    // The added-channel upload runs without a window on the screen, yet
    // modal, so the image cannot be edited under it.
    int seen = 0;
    int onScreen = 0;
    QTimer look;
    look.setInterval(5);
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<HComInstructionDialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            ++seen;
            if ((dialog->windowHandle() && dialog->windowHandle()->isVisible()) ||
                QApplication::activeModalWidget() != dialog)
                ++onScreen;
        }
    });
    look.start();
    // Twelve channels: page 3 added (FLASH page 0x0B); page 2, partly in use,
    // stays the document's.
    TransferAnswers answers;
    QVERIFY(allocate(12));
    look.stop();
    QVERIFY(seen > 0);
    QCOMPARE(onScreen, 0);
    QCOMPARE(radio.ReadBlocks("F2"), QStringLiteral("0B"));
    QVERIFY(!radio.Wrote());
    QVERIFY(answers.texts.isEmpty());

    HChannels model;
    model.Load(run.doc->Image());
    QStringList tags{QString::number(model.GetGroupValue(0, kGroupChannels))};
    for (int c : {0, 6, 9, 11})
        tags << QString::fromStdString(model.GetTag(c)).trimmed();
    QCOMPARE(tags.join('|'), QStringLiteral("12|-ORVANE-|OWN-6|R-009|R-011"));
    QCOMPARE(run.app.ModifiedFlag(), 1);
    // Fewer channels: no page added, no event.
    const qsizetype framesBefore = radio.Sent(QString()).size();
    QVERIFY(allocate(9));
    QCOMPARE(radio.Sent(QString()).size(), framesBefore);
}

void RadioTransferTest::allocationWithoutOptionUnitOrDisplay() {
    // Which of a group's count, scan and tag are open, as "CST" or "C--".
    const auto open = [](HChannelAllocationDlg& d, int g) {
        return QString(d.CountEdit(g)->isEnabled() ? "C" : "-") +
               (d.ScanCombo(g)->isEnabled() ? "S" : "-") + (d.TagEdit(g)->isEnabled() ? "T" : "-");
    };
    TempHome home;
    {
        // Without a VTS option unit: None and SCAN only.
        HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
        HChannelAllocationDlg dialog(image);
        QCOMPARE(dialog.ScanCombo(0)->count(), 2);
    }
    // A radio without a display: one group of 8 channels; the other rows show 0
    // and stay shut.
    HMemoryImage plain = MakeImageForModel(kBandVhf, kProductMobile, 0);
    HChannelAllocationDlg dialog(plain);
    QCOMPARE(dialog.Model().GetGroupCount(), 1);
    QCOMPARE(open(dialog, 0), QStringLiteral("CST"));
    for (int g = 1; g < HChannelAllocationDlg::kGroups; ++g)
        QCOMPARE(dialog.CountEdit(g)->text() + open(dialog, g), QStringLiteral("0---"));
}

void RadioTransferTest::allocationDialogRules() {
    TempHome home;
    HMemoryImage image =
        WithChannels(MakeImageForModel(kBandVhf, kProductMobile, 1),
                     [](HChannels& m) { m.SetGroupValue(0, kGroupChannels, 100); });
    const HMemoryImage original = image;
    const auto setCount = [](HChannelAllocationDlg& d, int g, const char* count) {
        d.CountEdit(g)->setText(QString::fromLatin1(count));
        d.CountEdit(g)->CommitTyping();
    };
    {
        // An empty group: only its count may change.
        HChannelAllocationDlg dialog(image);
        // Its whole title, with room for it in the title bar.
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Channel Allocation/Group Alpha Tag"));
        QVERIFY(dialog.width() > dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) +
                                     dialog.fontMetrics().height() * 6);
        SaveShot(&dialog, QStringLiteral("channel_allocation"));
        QVERIFY(dialog.CountEdit(1)->isEnabled() && !dialog.TagEdit(1)->isEnabled());
        // 100 + 40 > 128: cut to the 28 left, with a warning.
        TransferAnswers answers;
        setCount(dialog, 1, "40");
        QCOMPARE(answers.texts, QStringList{QStringLiteral("Too many channels")});
        QCOMPARE(dialog.CountEdit(1)->text(), QStringLiteral("28"));
        QVERIFY(dialog.TagEdit(1)->isEnabled());
        QCOMPARE(dialog.TotalLabel()->text(), QStringLiteral("Channels: 128 of 128 allocated"));
        // Cancel keeps the image whatever was changed.
        emit dialog.ScanCombo(0)->activated(1); // SCAN
        dialog.reject();
    }
    QCOMPARE(FirstDifference(image, original), -1L);

    HOptionGroup option;
    option.Load(image);
    option.SetValue(HOptionGroup::kValueOptionUnit, 6);
    option.Save(image);
    {
        HChannelAllocationDlg dialog(image);
        QCOMPARE(dialog.ScanCombo(0)->itemText(3), QStringLiteral("SCAN VTS"));
        setCount(dialog, 0, "90");
        setCount(dialog, 1, "5");
        emit dialog.ScanCombo(1)->activated(3);
        dialog.TagEdit(1)->clear();
        QTest::keyClicks(dialog.TagEdit(1), QStringLiteral("ALPHA"));
        dialog.accept();
    }
    HChannels model;
    model.Load(image);
    QCOMPARE(Line({model.GetGroupValue(0, kGroupChannels), model.GetGroupValue(1, kGroupChannels),
                   model.GetGroupValue(1, kGroupScanMode), model.GetGroupValue(1, kGroupFlag3),
                   model.GetGroupValue(1, kGroupFlag5)}),
             Line({90, 5, HChannelAllocationDlg::kScanScanVts, 1, 1}));
    QCOMPARE(QString::fromStdString(model.GetGroupTag(1)).trimmed(), QStringLiteral("ALPHA"));
    // Channels beyond the new total go out of use.
    QVERIFY(model.IsChannelEnabled(94) && !model.IsChannelEnabled(95));
}

void RadioTransferTest::downloadCompilesTheSignallingTables() {
    // The compile rules are the editors' tests; here that Download runs them.
    TempHome home;
    RunningApp run;
    QVERIFY(OpenDocument(run, home, TransferRadio()));
    // Stale tables, as a file from elsewhere may hold them: windows of 0 and
    // the top bit of 0x1C80 set.
    HMemoryImage& image = run.doc->Image();
    for (std::size_t i = 0x2680; i < 0x2680 + 16 * 4; ++i)
        image[i] = 0;
    image[0x1C80] |= 0x80;
    HMemoryImage compiled = image;
    HTransferSteps::PrepareForDownload(compiled, HSignallingMode::TwoTone,
                                       HSignallingSteps::WriteCompiledTables);
    QVERIFY(FirstDifference(compiled, image) >= 0);

    SimRadio radio(home, TransferRadio());
    QVERIFY(radio.Started());
    run.app.SetComDevice(radio.Link().toStdString());
    TransferAnswers answers({kFactoryPassword});
    QVERIFY(run.frame->RunCommand(HCmd::kDownload));
    QVERIFY2(answers.texts.indexOf(
                 QRegularExpression(QStringLiteral("Download Complete!\r?\nBackup kept: .*"),
                                    QRegularExpression::DotMatchesEverythingOption)) >= 0,
             qPrintable(answers.texts.join(QLatin1Char('|'))));
    const HMemoryImage got = radio.StopAndRead();
    for (std::size_t i = 0x1C80; i < 0x2680 + 16 * 4; ++i)
        QVERIFY2(got[i] == compiled[i], qPrintable(QStringLiteral("byte 0x%1").arg(i, 0, 16)));
}

// A UHF file for a VHF radio: the controller's "Download anyway?" answered
// by Return alone stops the download before a byte is written.
void RadioTransferTest::returnOnDownloadAnywayWritesNothing() {
    TempHome home;
    RunningApp run;
    const HMemoryImage radioMemory = TransferRadio();
    SimRadio radio(home, radioMemory);
    QVERIFY(radio.Started());
    QVERIFY(OpenDocument(run, home, MakeImageForModel(kBandUhfA, kProductMobile, 1)));
    run.app.SetComDevice(radio.Link().toStdString());
    TransferAnswers answers({kFactoryPassword});
    answers.pressReturn = true;
    QCOMPARE(HRadioCommands::OnMenuRadio(*run.frame, run.app, HCmd::kDownload),
             HComInstructionDialog::kResultCancel);
    const qsizetype question = answers.asked.indexOf(QStringLiteral("transferQuestion"));
    QVERIFY2(question >= 0, qPrintable(answers.texts.join(QLatin1Char('|'))));
    QVERIFY(answers.texts[question].contains(QStringLiteral("Download anyway?")));
    QCOMPARE(answers.pressed[question], QMessageBox::No);
    QVERIFY(!answers.texts.contains(QStringLiteral("Download Complete!")));
    QVERIFY(!radio.Wrote());
    QCOMPARE(FirstDifference(radio.StopAndRead(), radioMemory), -1L);
}

namespace {

HMemoryImage WithSerial(HMemoryImage image, const std::string& serial) {
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, serial);
    marketing.Save(image);
    return image;
}

QString Tag(const HMemoryImage& image, int channel) {
    HChannels model;
    model.Load(image);
    return QString::fromStdString(model.GetTag(channel)).trimmed();
}

} // namespace

void RadioTransferTest::historyWindowOpensComparesAndRestoresAVersion() {
    TempHome home;
    RunningApp run;
    const HMemoryImage radioMemory = WithSerial(
        WithChannels(TransferRadio(), [](HChannels& m) { m.SetTag(4, "RADIO05"); }), "4711");
    SimRadio radio(home, radioMemory);
    QVERIFY(radio.Started());
    run.app.SetComDevice(radio.Link().toStdString());
    TransferAnswers answers({kFactoryPassword});
    QVERIFY(run.frame->RunCommand(HCmd::kUpload));
    run.doc->Image() = WithChannels(run.doc->Image(), [](HChannels& m) { m.SetTag(4, "EDITED"); });
    QVERIFY(run.frame->RunCommand(HCmd::kDownload));
    HHistoryCommands::Flush();

    // Found by typing part of its serial; its two steps compared, the first opened.
    bool compared = false;
    ModalDriver<CHistoryDlg> window([&compared](CHistoryDlg* d) {
        auto* search = d->findChild<QLineEdit*>(QStringLiteral("historySearch"));
        QVERIFY(search);
        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("zz"));
        QCOMPARE(d->Radios()->rowCount(), 0);
        search->clear();
        QTest::keyClicks(search, QStringLiteral("47"));
        QCOMPARE(d->Radios()->rowCount(), 1);
        QVERIFY(d->ChooseRadio(QStringLiteral("4711")));
        QCOMPARE(d->Timeline()->rowCount(), 2);
        QVERIFY(ModelShows(d->Timeline()->model(), QStringLiteral("upload")));
        d->ChooseSteps({1});
        QVERIFY(!d->CompareButton()->isEnabled());
        d->ChooseSteps({1, 2});
        QVERIFY(d->CompareButton()->isEnabled());
        QVERIFY(!d->OpenButton()->isEnabled());
        ModalDriver<CCompareDlg> compare([&compared](CCompareDlg* c) {
            auto* table = c->findChild<QTableWidget*>(QStringLiteral("compareTable"));
            QVERIFY(table);
            QVERIFY(ModelShows(table->model(), QStringLiteral("RADIO05")));
            QVERIFY(ModelShows(table->model(), QStringLiteral("EDITED")));
            compared = true;
        });
        d->CompareButton()->click();
        d->ChooseSteps({1});
        QVERIFY(d->OpenButton()->isEnabled());
        d->OpenButton()->click();
    });
    QVERIFY(run.frame->RunCommand(HCmd::kRadioHistory));
    QVERIFY(window.Fired());
    QVERIFY(compared);
    QCOMPARE(Tag(run.doc->Image(), 4), QStringLiteral("RADIO05"));
    QCOMPARE(run.app.CurrentFilePath(), std::string(CRP57App::kNoFile));

    // Restore: the first version downloaded back into the radio.
    ModalDriver<CHistoryDlg> restore([](CHistoryDlg* d) {
        QVERIFY(d->ChooseRadio(QStringLiteral("4711")));
        d->ChooseSteps({1});
        d->DownloadButton()->click();
    });
    QVERIFY(run.frame->RunCommand(HCmd::kRadioHistory));
    QVERIFY(restore.Fired());
    QCOMPARE(Tag(radio.StopAndRead(), 4), QStringLiteral("RADIO05"));
    HHistoryCommands::Flush();
    std::vector<HHistoryRecord> timeline;
    std::string error;
    QVERIFY(HHistoryCommands::History().Timeline("4711", timeline, error));
    QCOMPARE(timeline.size(), std::size_t(3));
    QCOMPARE(timeline.back().writtenHash.empty(), false);
}

void RadioTransferTest::fleetDownloadGivesRadiosTheirRowsAndListsThem() {
    TempHome home;
    RunningApp run;
    QVERIFY(home.Write("roster.csv", "serial,power_saving.power_on_tag\n5001,CAR 1\n"));
    run.app.SetComDevice(home.QPath("fleet").toStdString());
    TransferAnswers answers({kFactoryPassword, kFactoryPassword});
    CFleetDownloadDlg dialog(run.app, run.doc->Image(), run.frame);
    dialog.RosterEdit()->setText(home.QPath("roster.csv"));
    dialog.show();
    QVERIFY(dialog.Start());
    QVERIFY(!dialog.StartButton()->isEnabled());
    QVERIFY(!dialog.RosterEdit()->isEnabled());
    std::vector<HMemoryImage> after;
    for (const char* serial : {"5001", "9999"}) {
        SimRadio radio(home, WithSerial(TransferRadio(), serial), {QStringLiteral("--once")},
                       QStringLiteral("fleet"));
        QVERIFY(radio.Started());
        const int rows = dialog.List()->rowCount();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.List()->rowCount(), rows + 1, 60000);
        after.push_back(radio.StopAndRead());
    }
    dialog.Stop();
    QCOMPARE(dialog.List()->item(0, 1)->text(), QStringLiteral("5001"));
    QCOMPARE(dialog.List()->item(0, 2)->text(), QStringLiteral("done"));
    QCOMPARE(dialog.List()->item(0, 3)->text(), QStringLiteral("power_saving.power_on_tag=CAR 1"));
    QCOMPARE(dialog.List()->item(1, 1)->text(), QStringLiteral("9999"));
    QCOMPARE(dialog.List()->item(1, 2)->text(), QStringLiteral("skipped"));
    QCOMPARE(dialog.Summary()->text(), QStringLiteral("1 done, 0 failed, 1 skipped"));
    QCOMPARE(after[0][0x400], std::uint8_t('C'));
    QCOMPARE(FirstDifference(after[1], WithSerial(TransferRadio(), "9999")), -1L);
    HHistoryCommands::Flush();
    std::vector<HHistoryRecord> timeline;
    std::string error;
    QVERIFY(HHistoryCommands::History().Timeline("5001", timeline, error));
    QCOMPARE(timeline.size(), std::size_t(1));
    QCOMPARE(timeline[0].values, std::string("power_saving.power_on_tag=CAR 1"));
    QVERIFY(dialog.StartButton()->isEnabled());
}

RP57_APP_TEST(RadioTransferTest)

#include "RadioTransferTest.moc"
