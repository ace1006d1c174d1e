// The document against real files in a temporary program data directory:
// the start-up image and the default data files, Open with its size check,
// Save and Save As, the ask-to-save question, the "Model" dialog of File > New
// and the raw image editor.
#include "AppTestSupport.h"
#include "CFileDataDlg.h"
#include "CMainFrame.h"
#include "HCreateNewFile.h"
#include "CPasswordDialog.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HFileDataModel.h"
#include "HHardwareGroup.h"
#include "HIniFile.h"
#include "HMessageBox.h"
#include "HModelEditor.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <deque>
#include <map>

namespace {

constexpr const char* kNone = "<none>";
constexpr std::size_t kMarker = 4000; // a byte inside the channel area

QByteArray Bytes(const HMemoryImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

// With RP57_SCREENSHOT_DIR set, keeps a picture of the widget for a person to look at.
void Shot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("RP57_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Answers every message box of the program, by message number, from a queue
// per number, and records what was asked. A box with no answer left is
// answered with its escape button so that a test never hangs.
class MessageAnswers {
public:
    MessageAnswers() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }
    void Queue(int id, QMessageBox::StandardButton button) { m_answers[id].push_back(button); }
    [[nodiscard]] const QStringList& Asked() const { return m_asked; }
    [[nodiscard]] int Count(int id) const {
        return static_cast<int>(m_asked.count(QStringLiteral("message%1").arg(id)));
    }
    [[nodiscard]] QString LastText() const { return m_lastText; }

private:
    void Poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            // Marked on the box itself: a later box may reuse a gone one's address.
            if (!box || !box->isVisible() || box->property("answered").toBool())
                continue;
            box->setProperty("answered", true);
            m_asked << box->objectName();
            m_lastText = box->text();
            Shot(box, box->objectName());
            const int id = box->objectName().mid(7).toInt();
            std::deque<QMessageBox::StandardButton>& queue = m_answers[id];
            QAbstractButton* button = nullptr;
            if (!queue.empty()) {
                button = box->button(queue.front());
                queue.pop_front();
            }
            if (!button)
                button = box->escapeButton() ? box->escapeButton() : box->defaultButton();
            if (!button && !box->buttons().isEmpty())
                button = box->buttons().constFirst();
            if (button)
                button->click();
            return;
        }
    }

    QTimer m_timer;
    std::map<int, std::deque<QMessageBox::StandardButton>> m_answers;
    QStringList m_asked;
    QString m_lastText;
};

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
                  Shot(dialog, dialog->objectName());
                  // As the Open/Save button does (accept() is not public here).
                  QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
              },
              dialogName) {}
};

struct Running {
    CRP57App app;
    CMainFrame* frame = nullptr;
    CRP57Doc* doc = nullptr;
    explicit Running(const QStringList& arguments = {}) {
        if (app.InitInstance(arguments)) {
            frame = app.MainFrame();
            doc = app.Document();
        }
    }
    ~Running() { app.ExitInstance(); }
    [[nodiscard]] QString TitlePath() const {
        return frame->windowTitle().section(QStringLiteral(" - "), 0, 0);
    }
};

// Picks the entry with this text in a list of the "Model" dialog, as a user does.
void Pick(HCreateNewFile* dialog, std::size_t item, const QString& text) {
    QComboBox* combo = dialog->Combo(item);
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// Closes a dialog a driver left open (a failed check returns early), so a
// failing test ends instead of waiting.
struct CloseOnExit {
    QDialog* dialog;
    ~CloseOnExit() {
        if (dialog->isVisible())
            dialog->reject();
    }
};

HMemoryImage Marked(HMemoryImage image, std::uint8_t value) {
    image[kMarker] = value;
    return image;
}

} // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void startupCreatesTheDefaultFile();
    void startupReadsAnExistingDefaultFile();
    void commandLineFile();
    void openRefusesFilesOfAnotherSize();
    void saveOnUntitledIsRefused();
    void saveAsThenSaveRoundTrips();
    void askToSaveNeverDropsChangesUnasked();
    void modelDialogQuestions();
    void rawEditorReadOnlyAtLevelZero();
    void rawEditorEditsReachTheImageOnlyOnOk();
};

void DocumentTest::startupCreatesTheDefaultFile() {
    {
        TempHome home;
        MessageAnswers messages;
        {
            Running run;
            QVERIFY(run.doc);
            QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
            QCOMPARE(run.frame->windowTitle(), QStringLiteral("<none> - ") + run.frame->AppTitle());
            QCOMPARE(QString::fromStdString(run.app.CurrentFilePath()), QString::fromLatin1(kNone));
            QCOMPARE(run.app.ModifiedFlag(), 0);
            // No band chosen: the built-in VHF mobile set, with the settings'
            // display type (0 when the key is missing), kept as defaultV.r57.
            const QByteArray file = home.Read("defaultV.r57");
            QCOMPARE(file.size(), 12703);
            const CMainFrame::EndStatus model = run.doc->EndStatusOfImage();
            QCOMPARE(model.band, 0);
            QCOMPARE(model.productType, 0);
            QCOMPARE(model.lcdType, 0);
            QCOMPARE(Bytes(run.doc->Image()), file);
            QCOMPARE(run.doc->Image(), MakeImageForModel(kBandVhf, kProductMobile, 0));
        }
        QVERIFY(messages.Asked().isEmpty());
        QCOMPARE(HIniFile(home.File("RP57Win.ini")).GetInt("End Status", "Freq.Band", -1), 0);
    }
    {
        // A handheld UHF A set with an LCD, as the last run ended.
        TempHome home;
        QVERIFY(home.Write("RP57Win.ini", "[End Status]\nProductType=1\nFreq.Band=2\nLCDType=1\n"));
        MessageAnswers messages;
        {
            Running run;
            QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
            QCOMPARE(home.Read("defaultUA.r57h"), Bytes(run.doc->Image()));
            QVERIFY(home.Read("defaultV.r57").isEmpty());
            QCOMPARE(run.doc->Image(), MakeImageForModel(kBandUhfA, kProductHandheld, 1));
            // Change the model in the image: the next start follows it.
            HHardwareGroup hw;
            hw.Load(run.doc->Image());
            hw.SetValue(HHardwareGroup::kRowBand, kBandUhfD);
            hw.SetValue(HHardwareGroup::kRowDisplayHandheld, 0);
            hw.Save(run.doc->Image());
        }
        QVERIFY(messages.Asked().isEmpty());
        const HIniFile ini(home.File("RP57Win.ini"));
        QCOMPARE(ini.GetInt("End Status", "ProductType", -1), 1);
        QCOMPARE(ini.GetInt("End Status", "Freq.Band", -1), 3);
        QCOMPARE(ini.GetInt("End Status", "LCDType", -1), 0);
    }
    {
        // Band values no model has (1, negative, 4 and above) mean "none chosen".
        TempHome home;
        QVERIFY(home.Write("RP57Win.ini", "[End Status]\nProductType=7\nFreq.Band=4\n"));
        Running run;
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
    Running run;
    const QString path = QString::fromStdString(home.File("defaultUA.r57h"));
    QCOMPARE(run.TitlePath(), path);
    QCOMPARE(run.doc->Image(), stored);

    // Save asks before writing a default file: No writes nothing, Yes writes.
    run.doc->Image()[kMarker] = 0x77;
    run.app.SetModifiedFlag(1);
    messages.Queue(36, QMessageBox::No);
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.Count(36), 1);
    QCOMPARE(home.Read("defaultUA.r57h"), Bytes(stored));
    QCOMPARE(run.app.ModifiedFlag(), 1);
    messages.Queue(36, QMessageBox::Yes);
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.Count(36), 2);
    QCOMPARE(home.Read("defaultUA.r57h"), Bytes(run.doc->Image()));
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QCOMPARE(messages.LastText(), QStringLiteral("Do  you want to write default file?"));

    // With no band chosen the first default file in lookup order is taken.
    TempHome other;
    const HMemoryImage uhfD = Marked(MakeImageForModel(kBandUhfD, kProductMobile, 1), 0x33);
    QVERIFY(HDataFile::Write(other.File("defaultUD.r57"), uhfD).Ok());
    QVERIFY(HDataFile::Write(other.File("defaultV.r57h"), Marked(uhfD, 0x44)).Ok());
    run.app.ExitInstance();
    Running second;
    QCOMPARE(second.TitlePath(), QString::fromStdString(other.File("defaultUD.r57")));
    QCOMPARE(int(second.doc->Image()[kMarker]), 0x33);
}

void DocumentTest::commandLineFile() {
    TempHome home;
    const HMemoryImage image = Marked(MakeImageForModel(kBandUhfD, kProductMobile, 1), 0x21);
    QVERIFY(HDataFile::Write(home.File("radio.R57"), image).Ok());
    MessageAnswers messages;
    {
        Running run({QString::fromStdString(home.File("radio.R57"))});
        QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("radio.R57")));
        QCOMPARE(run.doc->Image(), image);
        QCOMPARE(run.app.RecentFiles().Entries().front(), home.File("radio.R57"));
        // The start-up image was not needed, so no default file was made.
        QVERIFY(home.Read("defaultV.r57").isEmpty());
    }
    {
        // A file of another size is reported and the program starts as usual.
        QVERIFY(home.Write("short.R57", QByteArray(12702, '\0')));
        Running run({QString::fromStdString(home.File("short.R57"))});
        QVERIFY(run.frame);
        QCOMPARE(messages.Count(37), 1);
        QCOMPARE(run.TitlePath(), QString::fromLatin1(kNone));
    }
}

void DocumentTest::openRefusesFilesOfAnotherSize() {
    TempHome home;
    MessageAnswers messages;
    Running run;
    const HMemoryImage before = run.doc->Image();
    const QString title = run.frame->windowTitle();
    for (int size : {12702, 12704}) {
        const std::string name = "size" + std::to_string(size) + ".R57";
        QVERIFY(home.Write(name.c_str(), QByteArray(size, '\x11')));
        FileChoice choice(QStringLiteral("FileOpenDialog"), home.File(name.c_str()));
        QVERIFY(run.frame->RunCommand(57601));
        QVERIFY(choice.Fired());
        QCOMPARE(messages.Asked().last(), QStringLiteral("message37"));
        QCOMPARE(messages.LastText(), HMessageBox::Text(37));
        QCOMPARE(run.doc->Image(), before);
        QCOMPARE(run.frame->windowTitle(), title);
    }
    // From the recent-file list there is no pre-check: the read fails with 34.
    run.app.RecentFiles().Add(home.File("size12704.R57"));
    run.frame->UpdateRecentFileMenu();
    run.doc->OpenRecentFile(home.File("size12704.R57"));
    QCOMPARE(messages.Asked().last(), QStringLiteral("message34"));
    QCOMPARE(run.doc->Image(), before);
    // A file that is not there: 32.
    run.doc->OpenRecentFile(home.File("gone.R57"));
    QCOMPARE(messages.Asked().last(), QStringLiteral("message32"));
    QCOMPARE(messages.Count(146), 0);

    // A good file opens, joins the recent files and titles the window.
    const HMemoryImage good = Marked(before, 0x99);
    QVERIFY(HDataFile::Write(home.File("good.R57"), good).Ok());
    FileChoice choice(QStringLiteral("FileOpenDialog"), home.File("good.R57"));
    QSignalSpy loaded(run.doc, &CRP57Doc::ImageLoaded);
    QVERIFY(run.frame->RunCommand(57601));
    QCOMPARE(run.doc->Image(), good);
    QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("good.R57")));
    Shot(run.frame, QStringLiteral("mainframe-opened"));
    QCOMPARE(run.app.RecentFiles().Entries().front(), home.File("good.R57"));
    QCOMPARE(loaded.count(), 1);
}

void DocumentTest::saveOnUntitledIsRefused() {
    TempHome home;
    MessageAnswers messages;
    Running run;
    run.app.SetModifiedFlag(1);
    const QStringList before = QDir(home.Path()).entryList(QDir::Files);
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.Asked(), QStringList{QStringLiteral("message32")});
    QCOMPARE(messages.LastText(), QStringLiteral("Problem opening file\nFile Name = <none>"));
    QCOMPARE(QDir(home.Path()).entryList(QDir::Files), before);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    QVERIFY(QFileInfo::exists(home.Path() + QStringLiteral("/defaultV.r57")));
}

void DocumentTest::saveAsThenSaveRoundTrips() {
    TempHome home;
    MessageAnswers messages;
    Running run;
    run.doc->Image()[kMarker] = 0xA5;
    run.app.SetModifiedFlag(1);
    {
        // The default extension is added.
        FileChoice choice(QStringLiteral("FileSaveAsDialog"), home.File("mine"));
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
    QCOMPARE(home.Read("mine.R57"), Bytes(run.doc->Image()));
    HMemoryImage back{};
    QVERIFY(HDataFile::Read(path, back).Ok());
    QCOMPARE(back, run.doc->Image());
    QVERIFY(messages.Asked().isEmpty());

    // A Save As that does not save leaves the path with the file that holds
    // the image: here No to writing a default file.
    {
        FileChoice choice(QStringLiteral("FileSaveAsDialog"), home.File("defaultUD.r57"));
        messages.Queue(36, QMessageBox::No);
        QVERIFY(!run.doc->OnFileSaveAs());
        QVERIFY(choice.Fired());
    }
    QCOMPARE(messages.Asked().last(), QStringLiteral("message36"));
    QVERIFY(!QFileInfo::exists(QString::fromStdString(home.File("defaultUD.r57"))));
    QCOMPARE(run.TitlePath(), QString::fromStdString(path));
    QCOMPARE(run.app.CurrentFilePath(), path);
    QCOMPARE(run.app.RecentFiles().Entries().front(), path);

    // A read-only file is refused with 49 and left as it was.
    QFile::setPermissions(QString::fromStdString(path), QFileDevice::ReadOwner);
    if (QFileInfo(QString::fromStdString(path)).isWritable())
        QSKIP("running with rights that ignore file permissions");
    run.doc->Image()[kMarker] = 0x01;
    QVERIFY(run.frame->RunCommand(57603));
    QCOMPARE(messages.Asked().last(), QStringLiteral("message49"));
    QCOMPARE(back, [&] {
        HMemoryImage again{};
        (void)HDataFile::Read(path, again);
        return again;
    }());
    // Save As onto it fails too; the path stays with the file that holds the image.
    QVERIFY(HDataFile::Write(home.File("other.R57"), back).Ok());
    QVERIFY(run.doc->OpenFile(home.File("other.R57")));
    {
        FileChoice choice(QStringLiteral("FileSaveAsDialog"), path);
        messages.Queue(0, QMessageBox::Yes); // the file dialog's own overwrite question
        QVERIFY(run.frame->RunCommand(57604));
        QVERIFY(choice.Fired());
    }
    QCOMPARE(messages.Asked().last(), QStringLiteral("message49"));
    QCOMPARE(run.TitlePath(), QString::fromStdString(home.File("other.R57")));
    QCOMPARE(QString::fromStdString(run.app.CurrentFilePath()),
             QString::fromStdString(home.File("other.R57")));
}

void DocumentTest::askToSaveNeverDropsChangesUnasked() {
    TempHome home;
    MessageAnswers messages;
    Running run;
    const HMemoryImage edited = Marked(run.doc->Image(), 0xEE);
    run.doc->Image() = edited;
    run.app.SetModifiedFlag(1);
    const QString title = run.frame->windowTitle();

    // New for another band: Yes to 146, then Save As cancelled: no new image.
    {
        ModalDriver<HCreateNewFile> model([](HCreateNewFile* dialog) {
            const CloseOnExit guard{dialog};
            Pick(dialog, HModel::kItemBand, QStringLiteral("UHF A"));
            dialog->accept();
        });
        FileChoice cancel(QStringLiteral("FileSaveAsDialog"), "");
        messages.Queue(50, QMessageBox::Yes);
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57600));
        QVERIFY(model.Fired());
        QVERIFY(cancel.Fired());
    }
    QCOMPARE(messages.Count(146), 1);
    QCOMPARE(run.doc->Image(), edited);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    QCOMPARE(run.frame->windowTitle(), title);

    // Open with the same answers: the file is not opened.
    const HMemoryImage other = Marked(edited, 0x01);
    QVERIFY(HDataFile::Write(home.File("other.R57"), other).Ok());
    {
        FileChoice open(QStringLiteral("FileOpenDialog"), home.File("other.R57"));
        FileChoice cancel(QStringLiteral("FileSaveAsDialog"), "");
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57601));
        QVERIFY(cancel.Fired());
    }
    QCOMPARE(messages.Count(146), 2);
    QCOMPARE(run.doc->Image(), edited);
    QCOMPARE(run.app.ModifiedFlag(), 1);

    // Cancel keeps everything too, and so does closing the window.
    {
        FileChoice open(QStringLiteral("FileOpenDialog"), home.File("other.R57"));
        messages.Queue(146, QMessageBox::Cancel);
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(run.doc->Image(), edited);
    messages.Queue(146, QMessageBox::Cancel);
    QVERIFY(!run.frame->close());
    QVERIFY(run.frame->isVisible());
    messages.Queue(146, QMessageBox::Yes);
    {
        FileChoice cancel(QStringLiteral("FileSaveAsDialog"), "");
        QVERIFY(!run.frame->close());
    }
    QVERIFY(run.frame->isVisible());
    QCOMPARE(messages.Count(146), 5);

    // Yes and a Save As that works: saved, then opened.
    {
        FileChoice open(QStringLiteral("FileOpenDialog"), home.File("other.R57"));
        FileChoice save(QStringLiteral("FileSaveAsDialog"), home.File("kept.R57"));
        messages.Queue(146, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(home.Read("kept.R57"), Bytes(edited));
    QCOMPARE(run.doc->Image(), other);
    QCOMPARE(run.app.ModifiedFlag(), 0);

    // No drops the changes, as the user said.
    run.doc->Image()[kMarker] = 0x02;
    run.app.SetModifiedFlag(1);
    {
        FileChoice open(QStringLiteral("FileOpenDialog"), home.File("kept.R57"));
        messages.Queue(146, QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(run.doc->Image(), edited);
    QCOMPARE(messages.Count(146), 7);
    // Unmodified: nothing is asked.
    {
        FileChoice open(QStringLiteral("FileOpenDialog"), home.File("other.R57"));
        QVERIFY(run.frame->RunCommand(57601));
    }
    QCOMPARE(messages.Count(146), 7);
    QCOMPARE(run.doc->Image(), other);
}

void DocumentTest::modelDialogQuestions() {
    TempHome home;
    MessageAnswers messages;
    Running run;
    const HMemoryImage before = run.doc->Image();
    QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);
    QSignalSpy saveData(run.frame, &CMainFrame::ViewSaveDataRequested);

    // No to both questions puts the lists back; OK then makes nothing.
    bool checked = false;
    {
        ModalDriver<HCreateNewFile> model([&](HCreateNewFile* dialog) {
            const CloseOnExit guard{dialog};
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Model"));
            QCOMPARE(dialog->Combo(HModel::kItemBand)->currentText(), QStringLiteral("VHF"));
            QCOMPARE(dialog->Combo(HModel::kItemProductType)->currentText(),
                     QStringLiteral("Mobile"));
            QVERIFY(dialog->Combo(HModel::kItemLcdMobile)->isVisible());
            QVERIFY(!dialog->Combo(HModel::kItemLcdHandheld)->isVisible());
            Shot(dialog, QStringLiteral("model-mobile"));
            Pick(dialog, HModel::kItemBand, QStringLiteral("UHF D"));
            QCOMPARE(dialog->Combo(HModel::kItemBand)->currentText(), QStringLiteral("VHF"));
            Pick(dialog, HModel::kItemProductType, QStringLiteral("Handheld"));
            QCOMPARE(dialog->Combo(HModel::kItemProductType)->currentText(),
                     QStringLiteral("Mobile"));
            QVERIFY(!dialog->Combo(HModel::kItemLcdHandheld)->isVisible());
            checked = true;
            dialog->accept();
        });
        messages.Queue(50, QMessageBox::No);
        messages.Queue(51, QMessageBox::No);
        QVERIFY(run.frame->RunCommand(57600));
        QVERIFY(model.Fired());
    }
    QVERIFY(checked);
    QCOMPARE(messages.Asked(), (QStringList{"message50", "message51"}));
    QCOMPARE(run.doc->Image(), before);
    QCOMPARE(saveData.count() >= 1, true);
    QCOMPARE(refresh.count(), 1);

    // Yes to both: a handheld UHF D set with a 13-segment LCD.
    checked = false;
    {
        ModalDriver<HCreateNewFile> model([&](HCreateNewFile* dialog) {
            const CloseOnExit guard{dialog};
            Pick(dialog, HModel::kItemBand, QStringLiteral("UHF D"));
            QCOMPARE(dialog->Combo(HModel::kItemBand)->currentText(), QStringLiteral("UHF D"));
            Pick(dialog, HModel::kItemProductType, QStringLiteral("Handheld"));
            QVERIFY(dialog->Combo(HModel::kItemLcdHandheld)->isVisible());
            QVERIFY(!dialog->Combo(HModel::kItemLcdMobile)->isVisible());
            Pick(dialog, HModel::kItemLcdHandheld, QStringLiteral("13Seg LCD Type"));
            Shot(dialog, QStringLiteral("model-handheld"));
            checked = true;
            dialog->accept();
        });
        messages.Queue(50, QMessageBox::Yes);
        messages.Queue(51, QMessageBox::Yes);
        QVERIFY(run.frame->RunCommand(57600));
    }
    QVERIFY(checked);
    QCOMPARE(messages.Count(50), 2);
    QCOMPARE(messages.Count(51), 2);
    QCOMPARE(messages.Count(146), 0); // nothing was modified
    const CMainFrame::EndStatus model = run.doc->EndStatusOfImage();
    QCOMPARE(model.band, kBandUhfD);
    QCOMPARE(model.productType, 1);
    QCOMPARE(model.lcdType, 1);
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
    const HIniFile ini(home.File("RP57Win.ini"));
    QCOMPARE(ini.GetInt("End Status", "ProductType", -1), 1);
    QCOMPARE(ini.GetInt("End Status", "Freq.Band", -1), 3);
    QCOMPARE(ini.GetInt("End Status", "LCDType", -1), 1);
}

void DocumentTest::rawEditorReadOnlyAtLevelZero() {
    TempHome home;
    MessageAnswers messages;
    Running run;
    const HMemoryImage before = run.doc->Image();
    QAction* key = run.frame->findChild<QAction*>(QStringLiteral("actionFileData"));
    QVERIFY(key);
    QCOMPARE(key->shortcut(), QKeySequence(QStringLiteral("Shift+F9")));
    bool checked = false;
    ModalDriver<CFileDataDlg> driver([&](CFileDataDlg* dialog) {
        const CloseOnExit guard{dialog};
        QCOMPARE(dialog->windowTitle(), QStringLiteral("File Data"));
        Shot(dialog, QStringLiteral("filedata-level0"));
        HFileDataModel* model = dialog->Model();
        QCOMPARE(model->rowCount(), 792); // 12672 bytes
        QCOMPARE(model->columnCount(), 16);
        QCOMPARE(model->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("00000h"));
        QCOMPARE(model->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("00010h"));
        QCOMPARE(model->headerData(31, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("001F0h"));
        // The FLASH pages from image byte 512 on sit at 0x1C880 in the radio.
        QCOMPARE(model->headerData(32, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("1C880h"));
        QCOMPARE(model->headerData(33, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("1C890h"));
        QCOMPARE(model->headerData(791, Qt::Vertical, Qt::DisplayRole).toString(),
                 QStringLiteral("1F7F0h"));
        const QModelIndex cell = model->index(2, 3); // byte 35
        QCOMPARE(model->data(cell, Qt::DisplayRole).toString(),
                 QStringLiteral("%1").arg(before[35], 2, 16, QLatin1Char('0')).toUpper());
        QVERIFY(!(model->flags(cell) & Qt::ItemIsEditable));
        QVERIFY(!model->setData(cell, QStringLiteral("00"), Qt::EditRole));
        QTableView* table = dialog->Table();
        table->setCurrentIndex(cell);
        table->edit(cell);
        QVERIFY(!table->findChild<HHexByteEdit*>());
        QTest::keyClicks(table, QStringLiteral("12"));
        QCOMPARE(model->data(cell, Qt::DisplayRole).toString(),
                 QStringLiteral("%1").arg(before[35], 2, 16, QLatin1Char('0')).toUpper());
        checked = true;
        dialog->accept();
    });
    key->trigger();
    QVERIFY(driver.Fired());
    QVERIFY(checked);
    QCOMPARE(run.doc->Image(), before);
    QCOMPARE(run.app.ModifiedFlag(), 0);
}

void DocumentTest::rawEditorEditsReachTheImageOnlyOnOk() {
    for (const char* level : {"/manu", "/all"}) {
        TempHome home;
        MessageAnswers messages;
        messages.Queue(142, QMessageBox::Ok);
        const QString code =
            QString::fromLatin1(level) == QLatin1String("/all") ? "tovak" : "Workshop Entry";
        ModalDriver<CPasswordDialog> password([&](CPasswordDialog* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("edit1073")), code);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        Running run({QString::fromLatin1(level)});
        QVERIFY(run.app.AccessLevel() != 0);
        const bool all = run.app.AccessLevel() == 2;
        const HMemoryImage before = run.doc->Image();
        QAction* key = run.frame->findChild<QAction*>(QStringLiteral("actionFileData"));
        QSignalSpy refresh(run.frame, &CMainFrame::ViewRefreshRequested);

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
            // The delegate commits through a posted call.
            QCoreApplication::processEvents();
        };
        ModalDriver<CFileDataDlg> cancelled([&](CFileDataDlg* dialog) {
            const CloseOnExit guard{dialog};
            HFileDataModel* model = dialog->Model();
            QCOMPARE(model->rowCount(), all ? 794 : 792);
            if (all) {
                // The last row holds the image's last 15 bytes.
                QCOMPARE(model->headerData(793, Qt::Vertical, Qt::DisplayRole).toString(),
                         QStringLiteral("1F810h"));
                QVERIFY(model->flags(model->index(793, 14)) & Qt::ItemIsEditable);
                QVERIFY(model->flags(model->index(793, 15)) == Qt::NoItemFlags);
            }
            if (all) {
                dialog->Table()->scrollToBottom();
                Shot(dialog, QStringLiteral("filedata-level2-end"));
                dialog->Table()->scrollToTop();
            }
            typeInto(dialog, 0, 5, QStringLiteral("a-gbc"));
            QCOMPARE(model->data(model->index(0, 5), Qt::DisplayRole).toString(),
                     QStringLiteral("AB"));
            dialog->reject();
        });
        key->trigger();
        QVERIFY(cancelled.Fired());
        QCOMPARE(run.doc->Image(), before);
        QCOMPARE(run.app.ModifiedFlag(), 0);
        QCOMPARE(refresh.count(), 0);

        ModalDriver<CFileDataDlg> confirmed([&](CFileDataDlg* dialog) {
            const CloseOnExit guard{dialog};
            typeInto(dialog, 0, 5, QStringLiteral("ab"));
            typeInto(dialog, 32, 0, QStringLiteral("7")); // one digit: 0x07
            // An empty cell is refused and keeps its byte.
            typeInto(dialog, 1, 1, QString());
            if (all)
                typeInto(dialog, 793, 14, QStringLiteral("fe")); // byte 12702
            dialog->accept();
        });
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
        password.Stop();
    }
}

int RunDocumentTest(int argc, char** argv) {
    DocumentTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DocumentTest.moc"
