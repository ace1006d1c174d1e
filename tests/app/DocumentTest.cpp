// The document against real files in a temporary program data directory:
// the start-up image and the default data files, Open with its size check,
// Save and Save As, the ask-to-save question, the "Model" dialog of File > New
// and the raw image editor.
#include "AppTestSupport.h"
#include "CFileDataDlg.h"
#include "HCreateNewFile.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HFileDataModel.h"
#include "HHardwareGroup.h"
#include "HIniFile.h"
#include "HMessageBox.h"
#include "HModelEditor.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

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

// Chooses `path` in the next file dialog with this object name; an empty path cancels.
class FileChoice : public ModalDriver<QFileDialog> {
public:
    FileChoice(const QString& dialogName, const std::string& path)
        : ModalDriver<QFileDialog>(
              [path](QFileDialog* dialog) {
                  if (path.empty()) {
                      dialog->reject();
                      return;
                  }
                  dialog->selectFile(QString::fromStdString(path));
                  // As the Open/Save button does (accept() is not public here).
                  QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
              },
              dialogName) {}
};
const QString kOpen = QStringLiteral("FileOpenDialog");
const QString kSaveAs = QStringLiteral("FileSaveAsDialog");

// Picks the entry with this text in a list of the "Model" dialog, as a user does.
void Pick(HCreateNewFile* dialog, std::size_t item, const QString& text) {
    QComboBox* combo = dialog->Combo(item);
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void startupCreatesTheDefaultFile();
    void startupReadsAnExistingDefaultFile();
    void commandLineFile();
    void openRefusesFilesOfAnotherSize();
    void saveAndSaveAs();
    void askToSaveNeverDropsChangesUnasked();
    void modelDialogQuestions();
    void rawEditorReadOnlyAtLevelZero();
    void rawEditorEditsReachTheImageOnlyOnOk();
};

void DocumentTest::startupCreatesTheDefaultFile() {
    {
        // No band chosen: the built-in VHF mobile set, with the settings'
        // display type (0 when the key is missing), kept as defaultV.r57.
        TempHome home;
        MessageAnswers messages;
        RunningApp run;
        QVERIFY(run.doc);
        QCOMPARE(run.frame->windowTitle(), QStringLiteral("<none> - ") + run.frame->AppTitle());
        QCOMPARE(QString::fromStdString(run.app.CurrentFilePath()), QString::fromLatin1(kNone));
        QCOMPARE(run.app.ModifiedFlag(), 0);
        QCOMPARE(run.doc->Image(), MakeImageForModel(kBandVhf, kProductMobile, 0));
        QCOMPARE(home.Read("defaultV.r57"), Bytes(run.doc->Image()));
        QVERIFY(messages.asked.isEmpty());
    }
    {
        // A handheld UHF A set with an LCD, as the last run ended.
        TempHome home;
        QVERIFY(home.Write("RP57Win.ini", "[End Status]\nProductType=1\nFreq.Band=2\nLCDType=1\n"));
        MessageAnswers messages;
        {
            RunningApp run;
            QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
            QCOMPARE(run.doc->Image(), MakeImageForModel(kBandUhfA, kProductHandheld, 1));
            QCOMPARE(home.Read("defaultUA.r57h"), Bytes(run.doc->Image()));
            QVERIFY(home.Read("defaultV.r57").isEmpty());
            // Change the model in the image: the next start follows it.
            HHardwareGroup hw;
            hw.Load(run.doc->Image());
            hw.SetValue(HHardwareGroup::kRowBand, kBandUhfD);
            hw.SetValue(HHardwareGroup::kRowDisplayHandheld, 0);
            hw.Save(run.doc->Image());
        }
        QVERIFY(messages.asked.isEmpty());
        QCOMPARE(EndStatus(home), QStringLiteral("1 3 0"));
    }
    {
        // Band values no model has (1, negative, 4 and above) mean "none chosen".
        TempHome home;
        QVERIFY(home.Write("RP57Win.ini", "[End Status]\nProductType=7\nFreq.Band=4\n"));
        RunningApp run;
        QVERIFY(!home.Read("defaultV.r57").isEmpty());
        QVERIFY(home.Read("defaultLA.r57").isEmpty());
        QCOMPARE(run.doc->EndStatusOfImage().productType, 0);
    }
}

void DocumentTest::startupReadsAnExistingDefaultFile() {
    TempHome home;
    const HMemoryImage stored = Marked(MakeImageForModel(kBandUhfA, kProductHandheld, 1), 0x5A);
    QVERIFY(HDataFile::Write(home.File("defaultUA.r57h"), stored).Ok());
    QVERIFY(home.Write("RP57Win.ini", "[End Status]\nProductType=1\nFreq.Band=2\nLCDType=1\n"));
    MessageAnswers messages;
    {
        RunningApp run;
        QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("defaultUA.r57h")));
        QCOMPARE(run.doc->Image(), stored);

        // Save asks before writing a default file: No writes nothing, Yes writes.
        run.doc->Image()[kMarker] = 0x77;
        run.app.SetModifiedFlag(1);
        messages.Queue(36, QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57603));
        QCOMPARE(home.Read("defaultUA.r57h"), Bytes(stored));
        QCOMPARE(run.app.ModifiedFlag(), 1);
        messages.Queue(36, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57603));
        QCOMPARE(messages.Count(36), 2);
        QCOMPARE(messages.LastText(), QStringLiteral("Do  you want to write default file?"));
        QCOMPARE(home.Read("defaultUA.r57h"), Bytes(run.doc->Image()));
        QCOMPARE(run.app.ModifiedFlag(), 0);
    }
    // With no band chosen the first default file in lookup order is taken.
    TempHome other;
    const HMemoryImage uhfD = Marked(MakeImageForModel(kBandUhfD, kProductMobile, 1), 0x33);
    QVERIFY(HDataFile::Write(other.File("defaultUD.r57"), uhfD).Ok());
    QVERIFY(HDataFile::Write(other.File("defaultV.r57h"), Marked(uhfD, 0x44)).Ok());
    RunningApp second;
    QCOMPARE(second.TitlePath(), QString::fromStdString(other.File("defaultUD.r57")));
    QCOMPARE(int(second.doc->Image()[kMarker]), 0x33);
}

void DocumentTest::commandLineFile() {
    TempHome home;
    const HMemoryImage image = Marked(MakeImageForModel(kBandUhfD, kProductMobile, 1), 0x21);
    QVERIFY(HDataFile::Write(home.File("radio.R57"), image).Ok());
    MessageAnswers messages;
    {
        RunningApp run(0, {QString::fromStdString(home.File("radio.R57"))});
        QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("radio.R57")));
        QCOMPARE(run.doc->Image(), image);
        QCOMPARE(run.app.RecentFiles().Entries().front(), home.File("radio.R57"));
        // The start-up image was not needed, so no default file was made.
        QVERIFY(home.Read("defaultV.r57").isEmpty());
    }
    // A file of another size is reported and the program starts as usual.
    QVERIFY(home.Write("short.R57", QByteArray(12702, '\0')));
    RunningApp run(0, {QString::fromStdString(home.File("short.R57"))});
    QVERIFY(run.frame);
    QCOMPARE(messages.asked, QStringList{QStringLiteral("message37")});
    QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
}

void DocumentTest::openRefusesFilesOfAnotherSize() {
    TempHome home;
    MessageAnswers messages;
    RunningApp run;
    const HMemoryImage before = run.doc->Image();
    const QString title = run.frame->windowTitle();
    for (int size : {12702, 12704}) {
        const std::string name = "size" + std::to_string(size) + ".R57";
        QVERIFY(home.Write(name.c_str(), QByteArray(size, '\x11')));
        FileChoice choice(kOpen, home.File(name.c_str()));
        QVERIFY(run.frame->RunCommand(57601));
        QVERIFY(choice.Fired());
        QCOMPARE(messages.asked.last(), QStringLiteral("message37"));
        QCOMPARE(messages.LastText(), HMessageBox::Text(37));
        QCOMPARE(run.doc->Image(), before);
        QCOMPARE(run.frame->windowTitle(), title);
    }
    // From the recent-file list there is no pre-check: the read fails with 34.
    run.doc->OpenRecentFile(home.File("size12704.R57"));
    QCOMPARE(messages.asked.last(), QStringLiteral("message34"));
    QCOMPARE(run.doc->Image(), before);
    // A file that is not there: 32.
    run.doc->OpenRecentFile(home.File("gone.R57"));
    QCOMPARE(messages.asked.last(), QStringLiteral("message32"));
    QCOMPARE(messages.Count(146), 0);

    // A good file opens, joins the recent files and titles the window.
    const HMemoryImage good = Marked(before, 0x99);
    QVERIFY(HDataFile::Write(home.File("good.R57"), good).Ok());
    FileChoice choice(kOpen, home.File("good.R57"));
    QSignalSpy loaded(run.doc, &CRP57Doc::ImageLoaded);
    QVERIFY(run.frame->RunCommand(57601));
    QCOMPARE(run.doc->Image(), good);
    QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("good.R57")));
    QCOMPARE(run.app.RecentFiles().Entries().front(), home.File("good.R57"));
    QCOMPARE(loaded.count(), 1);
}

void DocumentTest::saveAndSaveAs() {
    TempHome home;
    MessageAnswers messages;
    RunningApp run;
    // Save on the untitled image is refused with 32 and writes nothing.
    run.app.SetModifiedFlag(1);
    const QStringList files = QDir(home.Path()).entryList(QDir::Files);
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.asked, QStringList{QStringLiteral("message32")});
    QCOMPARE(messages.LastText(), QStringLiteral("Problem opening file\nFile Name = <none>"));
    QCOMPARE(QDir(home.Path()).entryList(QDir::Files), files);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    messages.asked.clear();

    // Save As adds the default extension; Save then writes the same file.
    run.doc->Image()[kMarker] = 0xA5;
    {
        FileChoice choice(kSaveAs, home.File("mine"));
        QVERIFY(run.frame->RunCommand(57604));
        QVERIFY(choice.Fired());
    }
    const std::string path = home.File("mine.R57");
    QCOMPARE(home.Read("mine.R57"), Bytes(run.doc->Image()));
    QCOMPARE(run.TitlePath(), QString::fromStdString(path));
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QCOMPARE(run.app.RecentFiles().Entries().front(), path);
    run.doc->Image()[kMarker + 1] = 0x5A;
    run.app.SetModifiedFlag(1);
    QVERIFY(run.frame->RunCommand(57603));
    HMemoryImage back{};
    QVERIFY(HDataFile::Read(path, back).Ok());
    QCOMPARE(back, run.doc->Image());
    QVERIFY(messages.asked.isEmpty());

    // A Save As that does not save leaves the path with the file that holds
    // the image: here No to writing a default file.
    {
        FileChoice choice(kSaveAs, home.File("defaultUD.r57"));
        messages.Queue(36, QMessageBox::No);
        QVERIFY(!run.doc->OnFileSaveAs());
        QVERIFY(choice.Fired());
    }
    QCOMPARE(messages.asked.last(), QStringLiteral("message36"));
    QVERIFY(!QFileInfo::exists(QString::fromStdString(home.File("defaultUD.r57"))));
    QCOMPARE(run.TitlePath(), QString::fromStdString(path));
    QCOMPARE(run.app.CurrentFilePath(), path);
    QCOMPARE(run.app.RecentFiles().Entries().front(), path);

    // A read-only file is refused with 49 and left as it was (for root too).
    QVERIFY(QFile::setPermissions(QString::fromStdString(path), QFileDevice::ReadOwner));
    run.doc->Image()[kMarker] = 0x01;
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.asked.last(), QStringLiteral("message49"));
    QCOMPARE(home.Read("mine.R57"), Bytes(back));
    // Save As onto it fails too; the path stays with the file that holds the image.
    QVERIFY(HDataFile::Write(home.File("other.R57"), back).Ok());
    QVERIFY(run.doc->OpenFile(home.File("other.R57")));
    {
        FileChoice choice(kSaveAs, path);
        messages.Queue(0, QMessageBox::Yes); // the file dialog's own overwrite question
        QVERIFY(run.frame->RunCommand(57604));
        QVERIFY(choice.Fired());
    }
    QCOMPARE(messages.asked.last(), QStringLiteral("message49"));
    QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("other.R57")));
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
        QCOMPARE(run.doc->Image(), edited);
        QCOMPARE(run.app.ModifiedFlag(), 1);
        QCOMPARE(run.frame->windowTitle(), title);
    };

    // New for another band: Yes to 146, then Save As cancelled: no new image.
    {
        ModalDriver<HCreateNewFile> model(Closing<HCreateNewFile>([](HCreateNewFile* dialog) {
            Pick(dialog, HModel::kItemBand, QStringLiteral("UHF A"));
            dialog->accept();
        }));
        FileChoice cancel(kSaveAs, "");
        messages.Queue(50, QMessageBox::Yes);
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57600));
        QVERIFY(model.Fired() && cancel.Fired());
    }
    QCOMPARE(messages.Count(146), 1);
    unchanged();
    // Open with the same answers, or Cancel: the file is not opened.
    {
        FileChoice open(kOpen, home.File("other.R57"));
        FileChoice cancel(kSaveAs, "");
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57601));
        QVERIFY(cancel.Fired());
    }
    unchanged();
    {
        FileChoice open(kOpen, home.File("other.R57"));
        messages.Queue(146, QMessageBox::Cancel);
        QVERIFY(run.frame->RunCommand(57601));
    }
    unchanged();
    // Closing the window: Cancel, or Yes with Save As cancelled, keeps it open.
    messages.Queue(146, QMessageBox::Cancel);
    QVERIFY(!run.frame->close());
    messages.Queue(146, QMessageBox::Yes);
    {
        FileChoice cancel(kSaveAs, "");
        QVERIFY(!run.frame->close());
    }
    QVERIFY(run.frame->isVisible());
    QCOMPARE(messages.Count(146), 5);
    unchanged();

    // Yes and a Save As that works: saved, then opened.
    {
        FileChoice open(kOpen, home.File("other.R57"));
        FileChoice save(kSaveAs, home.File("kept.R57"));
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(home.Read("kept.R57"), Bytes(edited));
    QCOMPARE(run.doc->Image(), other);
    QCOMPARE(run.app.ModifiedFlag(), 0);

    // No drops the changes, as the user said; unmodified, nothing is asked.
    run.doc->Image()[kMarker] = 0x02;
    run.app.SetModifiedFlag(1);
    {
        FileChoice open(kOpen, home.File("kept.R57"));
        messages.Queue(146, QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(run.doc->Image(), edited);
    {
        FileChoice open(kOpen, home.File("other.R57"));
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(messages.Count(146), 7);
    QCOMPARE(run.doc->Image(), other);
}

void DocumentTest::modelDialogQuestions() {
    TempHome home;
    MessageAnswers messages;
    RunningApp run;
    const HMemoryImage before = run.doc->Image();
    QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);
    QSignalSpy saveData(run.frame, &CMainFrame::ViewSaveDataRequested);
    const auto current = [](HCreateNewFile* dialog, std::size_t item) {
        return dialog->Combo(item)->currentText();
    };

    // No to both questions puts the lists back; OK then makes nothing.
    bool checked = false;
    {
        ModalDriver<HCreateNewFile> model(Closing<HCreateNewFile>([&](HCreateNewFile* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Model"));
            QCOMPARE(current(dialog, HModel::kItemBand), QStringLiteral("VHF"));
            QCOMPARE(current(dialog, HModel::kItemProductType), QStringLiteral("Mobile"));
            QVERIFY(dialog->Combo(HModel::kItemLcdMobile)->isVisible());
            QVERIFY(!dialog->Combo(HModel::kItemLcdHandheld)->isVisible());
            Pick(dialog, HModel::kItemBand, QStringLiteral("UHF D"));
            QCOMPARE(current(dialog, HModel::kItemBand), QStringLiteral("VHF"));
            Pick(dialog, HModel::kItemProductType, QStringLiteral("Handheld"));
            QCOMPARE(current(dialog, HModel::kItemProductType), QStringLiteral("Mobile"));
            QVERIFY(!dialog->Combo(HModel::kItemLcdHandheld)->isVisible());
            checked = true;
            dialog->accept();
        }));
        messages.Queue(50, QMessageBox::No);
        messages.Queue(51, QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57600));
    }
    QVERIFY(checked);
    QCOMPARE(messages.asked, (QStringList{"message50", "message51"}));
    QCOMPARE(run.doc->Image(), before);
    QVERIFY(saveData.count() >= 1);
    QCOMPARE(refresh.count(), 1);

    // Yes to both: a handheld UHF D set with a 13-segment LCD.
    checked = false;
    {
        ModalDriver<HCreateNewFile> model(Closing<HCreateNewFile>([&](HCreateNewFile* dialog) {
            Pick(dialog, HModel::kItemBand, QStringLiteral("UHF D"));
            QCOMPARE(current(dialog, HModel::kItemBand), QStringLiteral("UHF D"));
            Pick(dialog, HModel::kItemProductType, QStringLiteral("Handheld"));
            QVERIFY(dialog->Combo(HModel::kItemLcdHandheld)->isVisible());
            QVERIFY(!dialog->Combo(HModel::kItemLcdMobile)->isVisible());
            Pick(dialog, HModel::kItemLcdHandheld, QStringLiteral("13Seg LCD Type"));
            checked = true;
            dialog->accept();
        }));
        messages.Queue(50, QMessageBox::Yes);
        messages.Queue(51, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57600));
    }
    QVERIFY(checked);
    QCOMPARE(messages.asked, (QStringList{"message50", "message51", "message50", "message51"}));
    QCOMPARE(run.doc->Image(), MakeImageForModel(kBandUhfD, kProductHandheld, 1));
    QCOMPARE(home.Read("defaultUD.r57h"), Bytes(run.doc->Image()));
    QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
    QCOMPARE(refresh.count(), 2);

    // Cancel makes nothing, whatever was answered.
    const HMemoryImage now = run.doc->Image();
    {
        ModalDriver<HCreateNewFile> cancel([](HCreateNewFile* dialog) {
            Pick(dialog, HModel::kItemBand, QStringLiteral("VHF"));
            dialog->reject();
        });
        messages.Queue(50, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57600));
    }
    QCOMPARE(run.doc->Image(), now);
    // The end of the run writes the model in use.
    run.app.ExitInstance();
    QCOMPARE(EndStatus(home), QStringLiteral("1 3 1"));
}

void DocumentTest::rawEditorReadOnlyAtLevelZero() {
    TempHome home;
    RunningApp run;
    const HMemoryImage before = run.doc->Image();
    QAction* key = run.frame->findChild<QAction*>(QStringLiteral("actionFileData"));
    QVERIFY(key);
    QCOMPARE(key->shortcut(), QKeySequence(QStringLiteral("Shift+F9")));
    bool checked = false;
    ModalDriver<CFileDataDlg> driver(Closing<CFileDataDlg>([&](CFileDataDlg* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("File Data"));
        HFileDataModel* model = dialog->Model();
        QCOMPARE(model->rowCount(), 792); // 12672 bytes
        QCOMPARE(model->columnCount(), 16);
        // The FLASH pages from image byte 512 on sit at 0x1C880 in the radio.
        for (const auto& [row, text] : {std::pair{0, "00000h"},
                                        {1, "00010h"},
                                        {31, "001F0h"},
                                        {32, "1C880h"},
                                        {33, "1C890h"},
                                        {791, "1F7F0h"}})
            QCOMPARE(model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString(),
                     QString::fromLatin1(text));
        const QModelIndex cell = model->index(2, 3); // byte 35
        const QString shown =
            QStringLiteral("%1").arg(before[35], 2, 16, QLatin1Char('0')).toUpper();
        QCOMPARE(model->data(cell, Qt::DisplayRole).toString(), shown);
        QVERIFY(!(model->flags(cell) & Qt::ItemIsEditable));
        QVERIFY(!model->setData(cell, QStringLiteral("00"), Qt::EditRole));
        QTableView* table = dialog->Table();
        table->setCurrentIndex(cell);
        table->edit(cell);
        QVERIFY(!table->findChild<HHexByteEdit*>());
        QTest::keyClicks(table, QStringLiteral("12"));
        QCOMPARE(model->data(cell, Qt::DisplayRole).toString(), shown);
        checked = true;
        dialog->accept();
    }));
    key->trigger();
    QVERIFY(checked);
    QCOMPARE(run.doc->Image(), before);
    QCOMPARE(run.app.ModifiedFlag(), 0);
}

void DocumentTest::rawEditorEditsReachTheImageOnlyOnOk() {
    // Typed keys: letters upper-cased, non-hex dropped, two characters at most.
    const auto typeInto = [](CFileDataDlg* dialog, int row, int column, const QString& keys) {
        QTableView* table = dialog->Table();
        const QModelIndex cell = dialog->Model()->index(row, column);
        table->setCurrentIndex(cell);
        table->edit(cell);
        // The editor of this cell (an earlier one may still await deletion).
        auto* edit = qobject_cast<HHexByteEdit*>(table->indexWidget(cell));
        QVERIFY(edit);
        edit->selectAll();
        if (keys.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, keys);
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits through a posted call
    };
    for (int level : {1, 2}) {
        TempHome home;
        RunningApp run(level);
        QCOMPARE(run.app.AccessLevel(), level);
        const bool all = level == 2;
        const HMemoryImage before = run.doc->Image();
        QAction* key = run.frame->findChild<QAction*>(QStringLiteral("actionFileData"));
        QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);

        ModalDriver<CFileDataDlg> cancelled(Closing<CFileDataDlg>([&](CFileDataDlg* dialog) {
            HFileDataModel* model = dialog->Model();
            QCOMPARE(model->rowCount(), all ? 794 : 792);
            if (all) {
                // The last row holds the image's last 15 bytes.
                QCOMPARE(model->headerData(793, Qt::Vertical, Qt::DisplayRole).toString(),
                         QStringLiteral("1F810h"));
                QVERIFY(model->flags(model->index(793, 14)) & Qt::ItemIsEditable);
                QVERIFY(model->flags(model->index(793, 15)) == Qt::NoItemFlags);
            }
            typeInto(dialog, 0, 5, QStringLiteral("a-gbc"));
            QCOMPARE(model->data(model->index(0, 5), Qt::DisplayRole).toString(),
                     QStringLiteral("AB"));
            dialog->reject();
        }));
        key->trigger();
        QVERIFY(cancelled.Fired());
        QCOMPARE(run.doc->Image(), before);
        QCOMPARE(run.app.ModifiedFlag(), 0);
        QCOMPARE(refresh.count(), 0);

        ModalDriver<CFileDataDlg> confirmed(Closing<CFileDataDlg>([&](CFileDataDlg* dialog) {
            typeInto(dialog, 0, 5, QStringLiteral("ab"));
            typeInto(dialog, 32, 0, QStringLiteral("7")); // one digit: 0x07
            typeInto(dialog, 1, 1, QString()); // an empty cell is refused and keeps its byte
            if (all)
                typeInto(dialog, 793, 14, QStringLiteral("fe")); // byte 12702
            dialog->accept();
        }));
        key->trigger();
        QVERIFY(confirmed.Fired());
        HMemoryImage expected = before;
        expected[5] = 0xAB;
        expected[512] = 0x07;
        if (all)
            expected[12702] = 0xFE;
        QCOMPARE(run.doc->Image(), expected);
        QCOMPARE(run.app.ModifiedFlag(), 1);
        QCOMPARE(refresh.count(), 1);
    }
}

int RunDocumentTest(int argc, char** argv) {
    DocumentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DocumentTest.moc"
