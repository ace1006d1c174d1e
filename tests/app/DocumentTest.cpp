// The document against real files in a temporary program data directory:
// the start-up image and the default data files, Open with its size check,
// Save and Save As, the ask-to-save question, the "Model" dialog of File > New
// and the raw image editor.
#include "AppTestSupport.h"
#include "CFileDataDlg.h"
#include "HCreateNewFile.h"
#include "HFileDataModel.h"
#include "HHardwareGroup.h"
#include "HModelEditor.h"

namespace {

constexpr const char* kNone = "<none>";
constexpr std::size_t kMarker = 4000; // a byte inside the channel area

QByteArray Bytes(const HMemoryImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

HMemoryImage Marked(HMemoryImage image, std::uint8_t value) {
    image[kMarker] = value;
    return image;
}

// The model the settings file holds: "product band lcd".
QString EndStatus(const TempHome& home) {
    const HIniFile ini(home.File("RP57Win.ini"));
    return QStringLiteral("%1 %2 %3")
        .arg(ini.GetInt("End Status", "ProductType", -1))
        .arg(ini.GetInt("End Status", "Freq.Band", -1))
        .arg(ini.GetInt("End Status", "LCDType", -1));
}

const QString kOpen = QStringLiteral("FileOpenDialog");
const QString kSaveAs = QStringLiteral("FileSaveAsDialog");
constexpr const char* kHandheldUhfA = "[End Status]\nProductType=1\nFreq.Band=2\nLCDType=1\n";

// Runs a command while the Open and Save As dialogs take these files of `home`
// ("": Cancel); false unless the command ran and each named dialog came.
bool RunChoosing(RunningApp& run, const TempHome& home, int id, const char* open,
                 const char* saveAs = nullptr) {
    const auto path = [&home](const char* name) {
        return name && *name ? home.QPath(name) : QString();
    };
    FileChoice openChoice(kOpen, path(open));
    FileChoice saveChoice(kSaveAs, path(saveAs));
    return run.frame->RunCommand(id) && (!open || openChoice.Fired()) &&
           (!saveAs || saveChoice.Fired());
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void startupImageAndDefaultFiles();
    void commandLineFileAndOpen();
    void saveAndSaveAs();
    void askToSaveNeverDropsChangesUnasked();
    void modelDialogQuestions();
    void rawEditorByAccessLevel();
    void endStatusFollowsAModelChangedInTheImage();
};

void DocumentTest::startupImageAndDefaultFiles() {
    {
        // No band chosen: the built-in VHF mobile set, with the settings'
        // display type (0 when the key is missing); defaultV.r57 keeps the
        // built-in image as it is.
        TempHome home;
        MessageAnswers messages;
        RunningApp run;
        QCOMPARE(run.frame->windowTitle(), QStringLiteral("<none>[*] - ") + run.frame->AppTitle());
        QVERIFY(!run.frame->isWindowModified());
        QCOMPARE(run.doc->Image(), MakeImageForModel(kBandVhf, kProductMobile, 0));
        QCOMPARE(home.Read("defaultV.r57"), Bytes(BuildDefaultImage()));
        QVERIFY(messages.asked.isEmpty());
    }
    // An existing default file is read and titles the window.
    TempHome home;
    const HMemoryImage stored = Marked(MakeImageForModel(kBandUhfA, kProductHandheld, 1), 0x5A);
    QVERIFY(HDataFile::Write(home.File("defaultUA.r57h"), stored).Ok());
    QVERIFY(home.Write("RP57Win.ini", kHandheldUhfA));
    MessageAnswers messages;
    {
        RunningApp run;
        QCOMPARE(run.TitlePath(), home.QPath("defaultUA.r57h"));
        QCOMPARE(run.doc->Image(), stored);
        // Save asks before writing a default file: No writes nothing, Yes writes.
        run.doc->Image()[kMarker] = 0x77;
        run.app.SetModifiedFlag(1);
        messages.Queue(36, QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57603));
        QCOMPARE(home.Read("defaultUA.r57h"), Bytes(stored));
        messages.Queue(36, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57603));
        QCOMPARE(messages.texts,
                 QStringList(2, QStringLiteral("Do  you want to write default file?")));
        QCOMPARE(home.Read("defaultUA.r57h"), Bytes(run.doc->Image()));
        QCOMPARE(run.app.ModifiedFlag(), 0);
    }
    // A band no model has (1, negative, 4 and above) means none chosen: the
    // first default file in lookup order is taken, not a handheld UHF D file made.
    TempHome other;
    QVERIFY(other.Write("RP57Win.ini", "[End Status]\nProductType=1\nFreq.Band=4\n"));
    const HMemoryImage uhfD = Marked(MakeImageForModel(kBandUhfD, kProductMobile, 1), 0x33);
    QVERIFY(HDataFile::Write(other.File("defaultUD.r57"), uhfD).Ok());
    QVERIFY(HDataFile::Write(other.File("defaultV.r57h"), Marked(uhfD, 0x44)).Ok());
    RunningApp second;
    QCOMPARE(second.TitlePath(), other.QPath("defaultUD.r57"));
    QCOMPARE(int(second.doc->Image()[kMarker]), 0x33);
}

void DocumentTest::commandLineFileAndOpen() {
    TempHome home;
    const HMemoryImage image = Marked(MakeImageForModel(kBandUhfD, kProductMobile, 1), 0x21);
    QVERIFY(HDataFile::Write(home.File("radio.R57"), image).Ok());
    QVERIFY(home.Write("short.R57", QByteArray(12702, '\x11')));
    QVERIFY(home.Write("long.R57", QByteArray(12704, '\x11')));
    MessageAnswers messages;
    {
        // The start-up image was not needed, so no default file was made.
        RunningApp run(0, {home.QPath("radio.R57")});
        QCOMPARE(run.TitlePath(), home.QPath("radio.R57"));
        QCOMPARE(run.doc->Image(), image);
        QCOMPARE(run.app.RecentFiles().Entries().front(), home.File("radio.R57"));
        QVERIFY(home.Read("defaultV.r57").isEmpty());
    }
    // A file of another size is reported (37) and the program starts as usual.
    RunningApp run(0, {home.QPath("short.R57")});
    QCOMPARE(messages.asked, QStringList{QStringLiteral("message37")});
    QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
    // File > Open refuses either size with 37 and keeps the image and title.
    const HMemoryImage before = run.doc->Image();
    const QString title = run.frame->windowTitle();
    QVERIFY(RunChoosing(run, home, 57601, "long.R57"));
    QVERIFY(messages.LastText().startsWith(HMessageBox::Text(37) + QStringLiteral("\n\n")));
    QVERIFY(run.doc->Image() == before && run.frame->windowTitle() == title);
    // From the recent-file list there is no pre-check: the read fails with 34.
    run.doc->OpenRecentFile(home.File("long.R57"));
    QCOMPARE(messages.asked.last(), QStringLiteral("message34"));
    QCOMPARE(run.doc->Image(), before);
    // A good file opens, joins the recent files and titles the window.
    QVERIFY(RunChoosing(run, home, 57601, "radio.R57"));
    QCOMPARE(run.doc->Image(), image);
    QCOMPARE(run.TitlePath(), home.QPath("radio.R57"));
}

void DocumentTest::saveAndSaveAs() {
    TempHome home;
    QVERIFY(QDir(home.Path()).mkdir(QStringLiteral("sub")));
    MessageAnswers messages;
    RunningApp run;
    QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);
    // The title marks unsaved changes.
    run.app.SetModifiedFlag(1);
    QVERIFY(run.frame->isWindowModified());
    // Save on the untitled image says so with 32, then offers Save As;
    // cancelled, nothing is written.
    const QStringList files = QDir(home.Path()).entryList(QDir::Files);
    QVERIFY(RunChoosing(run, home, 57603, nullptr, ""));
    QCOMPARE(messages.asked, QStringList{QStringLiteral("message32")});
    QCOMPARE(messages.LastText(), QStringLiteral("Problem opening file\nFile Name = <none>"));
    QCOMPARE(QDir(home.Path()).entryList(QDir::Files), files);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    QCOMPARE(refresh.count(), 0);
    messages.asked.clear();
    // A name given there saves the image, with the default extension added.
    run.doc->Image()[kMarker] = 0xA5;
    QVERIFY(RunChoosing(run, home, 57603, nullptr, "sub/mine"));
    QCOMPARE(messages.asked, QStringList{QStringLiteral("message32")});
    messages.asked.clear();
    const std::string path = home.File("sub/mine.R57");
    QCOMPARE(home.Read("sub/mine.R57"), Bytes(run.doc->Image()));
    QCOMPARE(run.TitlePath(), home.QPath("sub/mine.R57"));
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QVERIFY(!run.frame->isWindowModified());
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(run.frame->StatusPane(0)->text(),
             QStringLiteral("Saved ") + home.QPath("sub/mine.R57"));
    // Save then writes the same file and refreshes the views.
    run.doc->Image()[kMarker + 1] = 0x5A;
    run.app.SetModifiedFlag(1);
    QVERIFY(run.frame->RunCommand(57603));
    const QByteArray saved = Bytes(run.doc->Image());
    QCOMPARE(home.Read("sub/mine.R57"), saved);
    QVERIFY(messages.asked.isEmpty());
    QCOMPARE(refresh.count(), 2);
    // A Save As that does not save leaves the path with the file that holds
    // the image: here No to writing a default file.
    messages.Queue(36, QMessageBox::No);
    QVERIFY(RunChoosing(run, home, 57604, nullptr, "defaultUD.r57"));
    QCOMPARE(messages.asked.last(), QStringLiteral("message36"));
    QVERIFY(!QFileInfo::exists(home.QPath("defaultUD.r57")));
    QCOMPARE(run.app.CurrentFilePath(), path);
    QCOMPARE(run.app.RecentFiles().Entries().front(), path);
    // The file dialogs start in the folder last chosen, kept in the settings
    // file, even when the document's file is elsewhere.
    QCOMPARE(HIniFile(home.File("RP57Win.ini")).GetString("Initialize", "LAST_FOLDER", ""),
             home.Path().toStdString());
    QString startedIn;
    {
        ModalDriver<QFileDialog> look(
            [&startedIn](QFileDialog* dialog) {
                startedIn = dialog->directory().absolutePath();
                dialog->reject();
            },
            kOpen);
        QVERIFY(run.frame->RunCommand(57601) && look.Fired());
    }
    QCOMPARE(startedIn, home.Path());
    // A read-only file is refused with 49 and left as it was (for root too).
    QVERIFY(QFile::setPermissions(home.QPath("sub/mine.R57"), QFileDevice::ReadOwner));
    run.doc->Image()[kMarker] = 0x01;
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.asked.last(), QStringLiteral("message49"));
    QCOMPARE(home.Read("sub/mine.R57"), saved);
    // Save As onto it fails too; the path stays with the file that holds the image.
    QVERIFY(home.Write("other.R57", saved));
    QVERIFY(run.doc->OpenFile(home.File("other.R57")));
    messages.Queue(0, QMessageBox::Yes); // the file dialog's own overwrite question
    QVERIFY(RunChoosing(run, home, 57604, nullptr, "sub/mine.R57"));
    QCOMPARE(messages.asked.last(), QStringLiteral("message49"));
    QCOMPARE(home.Read("sub/mine.R57"), saved);
    QCOMPARE(run.app.CurrentFilePath(), home.File("other.R57"));
}

void DocumentTest::askToSaveNeverDropsChangesUnasked() {
    TempHome home;
    MessageAnswers messages;
    RunningApp run;
    const HMemoryImage edited = Marked(run.doc->Image(), 0xEE);
    run.doc->Image() = edited;
    run.app.SetModifiedFlag(1);
    const QString title = run.frame->windowTitle();
    const HMemoryImage other = Marked(edited, 0x01);
    QVERIFY(HDataFile::Write(home.File("other.R57"), other).Ok());
    const auto unchanged = [&] {
        QVERIFY(run.doc->Image() == edited && run.app.ModifiedFlag() == 1);
        QCOMPARE(run.frame->windowTitle(), title);
    };
    // New for another band: Yes to 146, then Save As cancelled: no new image.
    {
        ModalDriver<HCreateNewFile> model([](HCreateNewFile* dialog) {
            PickText(dialog->Combo(HModel::kItemBand), QStringLiteral("UHF A"));
            dialog->accept();
        });
        messages.Queue(50, QMessageBox::Yes);
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(RunChoosing(run, home, 57600, nullptr, ""));
        QVERIFY(model.Fired());
    }
    QCOMPARE(messages.asked.count("message146"), 1);
    unchanged();
    // Open with Cancel: the file is not opened.
    messages.Queue(146, QMessageBox::Cancel);
    QVERIFY(RunChoosing(run, home, 57601, "other.R57"));
    unchanged();
    // Closing the window: Cancel, or Yes with Save As cancelled, keeps it open.
    messages.Queue(146, QMessageBox::Cancel);
    QVERIFY(!run.frame->close());
    messages.Queue(146, QMessageBox::Yes);
    {
        FileChoice cancel(kSaveAs, QString());
        QVERIFY(!run.frame->close());
        QVERIFY(cancel.Fired());
    }
    QCOMPARE(messages.asked.count("message146"), 4);
    unchanged();
    // Yes and a Save As that works: saved, then opened.
    messages.Queue(146, QMessageBox::Yes);
    QVERIFY(RunChoosing(run, home, 57601, "other.R57", "kept.R57"));
    QCOMPARE(home.Read("kept.R57"), Bytes(edited));
    QVERIFY(run.doc->Image() == other && run.app.ModifiedFlag() == 0);
    // No: nothing is saved and the file opens, as the user said.
    QVERIFY(HDataFile::Write(home.File("third.R57"), Marked(other, 0x03)).Ok());
    run.doc->Image()[kMarker] = 0x02;
    run.app.SetModifiedFlag(1);
    messages.Queue(146, QMessageBox::No);
    QVERIFY(RunChoosing(run, home, 57601, "third.R57"));
    QCOMPARE(run.doc->Image(), Marked(other, 0x03));
    QCOMPARE(messages.asked.count("message146"), 6);
    QCOMPARE(home.Read("kept.R57"), Bytes(edited));
    // Unmodified: nothing is asked.
    QVERIFY(RunChoosing(run, home, 57601, "other.R57"));
    QCOMPARE(run.doc->Image(), other);
    QCOMPARE(messages.asked.count("message146"), 6);
}

void DocumentTest::modelDialogQuestions() {
    TempHome home;
    MessageAnswers messages;
    RunningApp run;
    const HMemoryImage before = run.doc->Image();
    QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);
    QString shown; // the display list shown at the end
    const auto choose = [&](bool yes, bool ok) {
        ModalDriver<HCreateNewFile> model([&](HCreateNewFile* dialog) {
            PickText(dialog->Combo(HModel::kItemBand), QStringLiteral("UHF D"));
            PickText(dialog->Combo(HModel::kItemProductType), QStringLiteral("Handheld"));
            shown = dialog->Combo(HModel::kItemBand)->currentText() +
                    (dialog->Combo(HModel::kItemLcdHandheld)->isVisible() ? " lcdH" : "");
            if (yes)
                PickText(dialog->Combo(HModel::kItemLcdHandheld), QStringLiteral("13Seg LCD Type"));
            ok ? dialog->accept() : dialog->reject();
        });
        messages.Queue(50, yes ? QMessageBox::Yes : QMessageBox::No);
        messages.Queue(51, yes ? QMessageBox::Yes : QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57600));
        QVERIFY(model.Fired());
    };
    // No to both questions puts the lists back; OK then makes nothing.
    choose(false, true);
    QCOMPARE(shown, QStringLiteral("VHF"));
    QCOMPARE(messages.asked, (QStringList{"message50", "message51"}));
    QCOMPARE(run.doc->Image(), before);
    QCOMPARE(refresh.count(), 1);
    // Yes to both: a handheld UHF D set with a 13-segment LCD.
    choose(true, true);
    QCOMPARE(shown, QStringLiteral("UHF D lcdH"));
    QCOMPARE(run.doc->Image(), MakeImageForModel(kBandUhfD, kProductHandheld, 1));
    QCOMPARE(home.Read("defaultUD.r57h"), Bytes(run.doc->Image()));
    QVERIFY(run.TitlePath() == QString::fromLatin1(kNone) && refresh.count() == 2);
    // Cancel makes nothing, whatever was answered.
    const HMemoryImage now = run.doc->Image();
    choose(true, false);
    QCOMPARE(run.doc->Image(), now);
    // The end of the run writes the model in use.
    run.app.ExitInstance();
    QCOMPARE(EndStatus(home), QStringLiteral("1 3 1"));
}

void DocumentTest::rawEditorByAccessLevel() {
    // Typed keys: letters upper-cased, non-hex dropped, two characters at most.
    const auto typeInto = [](CFileDataDlg* dialog, int row, int column, const QString& keys) {
        QTableView* table = dialog->Table();
        const QModelIndex cell = dialog->Model()->index(row, column);
        table->setCurrentIndex(cell);
        table->edit(cell);
        // The editor of this cell (an earlier one may still await deletion).
        auto* edit = qobject_cast<HHexByteEdit*>(table->indexWidget(cell));
        if (!edit)
            return QTest::keyClicks(table, keys); // read-only: keys go to the table
        edit->selectAll();
        if (keys.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, keys);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits through a posted call
    };
    for (int level : {0, 2}) {
        TempHome home;
        RunningApp run(level);
        const HMemoryImage before = run.doc->Image();
        QAction* key = run.frame->findChild<QAction*>(QStringLiteral("actionFileData"));
        QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);
        const auto edit = [&](bool confirm) {
            ModalDriver<CFileDataDlg> driver([&](CFileDataDlg* dialog) {
                // 12672 bytes; level 2 adds the image's last 15 bytes in row 793.
                QCOMPARE(dialog->Model()->rowCount(), level == 2 ? 794 : 792);
                // The FLASH pages from image byte 512 on sit at 0x1C880 in the radio.
                QCOMPARE(dialog->Model()->headerData(32, Qt::Vertical, Qt::DisplayRole).toString(),
                         QStringLiteral("1C880h"));
                typeInto(dialog, 0, 5, QStringLiteral("a-gbc"));
                typeInto(dialog, 32, 0, QStringLiteral("7")); // one digit: 0x07
                typeInto(dialog, 1, 1, QString()); // an empty cell is refused and keeps its byte
                if (level == 2)
                    typeInto(dialog, 793, 14, QStringLiteral("fe")); // byte 12702
                confirm ? dialog->accept() : dialog->reject();
            });
            key->trigger();
            QVERIFY(driver.Fired());
        };
        edit(false);
        QVERIFY(run.doc->Image() == before && refresh.count() == 0);
        edit(true); // read-only at level 0: OK stores nothing
        HMemoryImage expected = before;
        if (level == 2) {
            expected[5] = 0xAB;
            expected[512] = 0x07;
            expected[12702] = 0xFE;
        }
        QCOMPARE(run.doc->Image(), expected);
        QVERIFY(level == 0 || (run.app.ModifiedFlag() == 1 && refresh.count() == 1));
    }
}

RP57_APP_TEST(DocumentTest)

void DocumentTest::endStatusFollowsAModelChangedInTheImage() {
    // A handheld UHF A set with an LCD, as the last run ended; the image is
    // made a handheld UHF D without a display inside the run (as an upload or
    // the Hardware editor does), and the next start must build that model.
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini", kHandheldUhfA));
    MessageAnswers messages;
    {
        RunningApp run;
        QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
        QCOMPARE(run.doc->Image(), MakeImageForModel(kBandUhfA, kProductHandheld, 1));
        HHardwareGroup hw;
        hw.Load(run.doc->Image());
        hw.SetValue(HHardwareGroup::kRowBand, kBandUhfD);
        hw.SetValue(HHardwareGroup::kRowDisplayHandheld, 0);
        hw.Save(run.doc->Image());
    }
    QVERIFY(messages.asked.isEmpty());
    QCOMPARE(EndStatus(home), QStringLiteral("1 3 0"));
}

#include "DocumentTest.moc"
