// The safety net in the real program, offscreen: the check before a Download
// (a sound image asks nothing, errors ask "Download anyway?" and No stops),
// File > Compare With's window and its section filter, and the Configuration
// dialog's "Find radio" against the simulated radio, which it only listens to.
#include "AppTestSupport.h"
#include "CCompareDlg.h"
#include "CConfigurationDlg.h"
#include "CRP57View.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HCommonItems.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HDialog.h"
#include "HEditorForm.h"
#include "HGridTableModel.h"
#include "HHardwareGroup.h"
#include "HRpFlexgrid.h"
#include "HSafetyCommands.h"
#include "HSettingRows.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

HMemoryImage WithBand(HMemoryImage image, std::int32_t band) {
    HHardwareGroup hw;
    hw.Load(image);
    hw.SetValue(HHardwareGroup::kRowBand, band);
    hw.Save(image);
    return image;
}

} // namespace

class SafetyNetTest : public QObject {
    Q_OBJECT
private slots:
    void downloadCheckAsksOnlyForErrors();
    void compareWindowFiltersBySection();
    void findRadioNamesTheSimulatedRadio();
    void returnGivesTheSafeAnswerToEveryQuestion();
};

void SafetyNetTest::downloadCheckAsksOnlyForErrors() {
    TempHome home;
    RunningApp run;
    const HMemoryImage sound = BuildDefaultImage();
    {
        MessageAnswers answers(QMessageBox::No);
        QVERIFY(HSafetyCommands::ConfirmDownload(run.frame, sound, 0));
        QVERIFY(answers.asked.isEmpty());
    }
    // The VHF channels read in the Low Band A band lie outside it.
    const HMemoryImage bad = WithBand(sound, 4);
    {
        MessageAnswers answers(QMessageBox::No);
        QVERIFY(!HSafetyCommands::ConfirmDownload(run.frame, bad, 0));
        QCOMPARE(answers.asked, QStringList{QStringLiteral("checkOverride")});
        QVERIFY(answers.LastText().contains(QStringLiteral("Channel 1: RX Frequency")));
        QVERIFY(answers.LastText().contains(QStringLiteral("Download anyway?")));
    }
    {
        MessageAnswers answers(QMessageBox::Yes);
        QVERIFY(HSafetyCommands::ConfirmDownload(run.frame, bad, 0));
    }
    // A warning that names its setting is not led by the setting's caption again.
    HMemoryImage dualWatch = sound;
    HChannels model;
    model.Load(dualWatch);
    for (int g = 0; g < model.GetGroupCount(); ++g)
        model.SetGroupValue(g, HChannelTables::kGroupPriority, HChannelTables::kNoPriority);
    model.Save(dualWatch);
    HKeyFunctionGroup keys;
    keys.Load(dualWatch);
    keys.SetValue(2, 4); // [P3] Short Press: Dual Watch
    keys.Save(dualWatch);
    MessageAnswers answers(QMessageBox::Ok);
    QVERIFY(HSafetyCommands::ConfirmDownload(run.frame, dualWatch, 0));
    QCOMPARE(answers.asked, QStringList{QStringLiteral("checkWarnings")});
    QCOMPARE(answers.LastText(),
             QStringLiteral("[P3] Short Press is set to Dual Watch, but no group has a priority "
                            "channel to watch.\n"));
}

void SafetyNetTest::compareWindowFiltersBySection() {
    TempHome home;
    const HMemoryImage a = BuildDefaultImage();
    HMemoryImage b = WithBand(a, 2);
    HChannels model;
    model.Load(b);
    model.SetTag(1, "DEPOT");
    model.Save(b);
    const std::vector<HDiffLine> lines = HImageDiff::Compare(a, b, 0);
    int channelLines = 0;
    for (const HDiffLine& l : lines)
        channelLines += l.section == "channels" ? 1 : 0;
    QCOMPARE(channelLines, 1);
    CCompareDlg dialog(lines, QStringLiteral("a.R57"), QStringLiteral("b.R57"));
    dialog.show();
    QCOMPARE(dialog.ShownRows(), int(lines.size()));
    dialog.ShowSection(QStringLiteral("channels"));
    QCOMPARE(dialog.ShownRows(), channelLines);
    // By caption, one line, the key as the tip.
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("compareTable"));
    QVERIFY(table);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Channels"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("Channel 2 TAG"));
    QCOMPARE(table->item(0, 1)->toolTip(), QStringLiteral("channels.2.tag"));
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("DEPOT"));
    auto* sections = dialog.findChild<QComboBox*>(QStringLiteral("compareSection"));
    QVERIFY(sections);
    QCOMPARE(sections->currentText(), QStringLiteral("Channels"));
    dialog.ShowSection(QString());
    for (int r = 0; r < table->rowCount(); ++r)
        QVERIFY2(table->rowHeight(r) < 2 * table->fontMetrics().height(),
                 qPrintable(table->item(r, 1)->text()));
    dialog.ShowSection(QStringLiteral("hardware"));
    QVERIFY(dialog.ShownRows() > 0 && dialog.ShownRows() < int(lines.size()));
    SaveShot(&dialog, QStringLiteral("compare"));
}

namespace {
// Counts the resize events of the widgets it watches.
struct ResizeCount : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Resize ? 1 : 0;
        return false;
    }
};
} // namespace

void SafetyNetTest::findRadioNamesTheSimulatedRadio() {
    TempHome home;
    RunningApp run;
    SimRadio radio(home, BuildDefaultImage());
    QVERIFY(radio.Started());
    const QString link = radio.Link();

    CConfigurationDlg dialog(run.app, run.frame);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The link typed into the device field is listened to, though no list offers it.
    QLineEdit* field = dialog.DeviceCombo()->lineEdit();
    field->setFocus();
    QTest::keyClicks(field, link);
    const QSize size = dialog.size();
    ResizeCount resizes;
    dialog.installEventFilter(&resizes);
    QListWidget* results = dialog.FindResults();
    // What the list says while it listens: every device, the typed one first.
    QStringList listening;
    QObject::connect(dialog.FindRadioButton(), &QPushButton::clicked, &dialog, [&] {
        for (int i = 0; i < results->count(); ++i)
            listening << results->item(i)->text();
    });
    // Space on the focused button presses it.
    dialog.FindRadioButton()->setFocus();
    QTest::keyClick(dialog.FindRadioButton(), Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!listening.isEmpty(), 5000);
    QCOMPARE(listening.size(), dialog.DeviceCombo()->count());
    QCOMPARE(listening.first(), link + QStringLiteral(": listening"));
    QTRY_VERIFY_WITH_TIMEOUT(dialog.FindRadioButton()->isEnabled(), 15000);
    // It never resized, while listening or after.
    QCOMPARE(resizes.count, 0);
    QCOMPARE(dialog.DeviceCombo()->currentText(), link);
    QVERIFY(dialog.PortHint()->text().contains(QStringLiteral("Radio found on")));
    QCOMPARE(results->item(0)->text(), link + QStringLiteral(": a radio in clone mode"));
    // Each other device with what it gave, by its path.
    for (int i = 1; i < results->count(); ++i)
        QVERIFY2(results->item(i)->text().startsWith(dialog.DeviceCombo()->itemText(i)) &&
                     !results->item(i)->text().endsWith(QStringLiteral("listening")),
                 qPrintable(results->item(i)->text()));
    QCOMPARE(dialog.size(), size);
    SaveShot(&dialog, QStringLiteral("config"));
    radio.Stop();
    // Only listened: the radio heard nothing from the program.
    QVERIFY(radio.Sent(QString()).isEmpty());
}

// A user who only hits Enter: each question whose Yes writes to a radio or
// gives up work is answered by the safe button, with a Return key pressed on
// the widget the box gave the focus.
void SafetyNetTest::returnGivesTheSafeAnswerToEveryQuestion() {
    TempHome home;
    RunningApp run(2); // the Hardware editor's band list is open at this level
    auto* view = qobject_cast<CRP57View*>(run.frame->centralWidget());
    QVERIFY(view);
    MessageAnswers answers;
    answers.pressReturn = true;
    const auto lastPressed = [&answers] {
        return answers.pressed.isEmpty() ? QMessageBox::NoButton : answers.pressed.last();
    };

    // "Download anyway?" before a download.
    QVERIFY(!HSafetyCommands::ConfirmDownload(run.frame, WithBand(BuildDefaultImage(), 4), 0));
    QCOMPARE(answers.asked.last(), QStringLiteral("checkOverride"));
    QCOMPARE(lastPressed(), QMessageBox::No);

    // "Do you copy Ch1 data to Ch 6?": the grid keeps channel 6.
    const HMemoryImage before = run.doc->Image();
    QApplication::clipboard()->setText(QString::fromStdString(view->Grid().CopyText(0, 0)));
    view->GridView()->setCurrentIndex(view->Model()->index(5, 4));
    QVERIFY(run.frame->RunCommand(HCmd::kEditPaste));
    QCOMPARE(answers.asked.last(), QStringLiteral("message53"));
    QCOMPARE(lastPressed(), QMessageBox::No);
    QVERIFY(!view->Grid().HasUnsavedEdits());

    // The Hardware editor's "Change frequency band?": the band stays.
    {
        ModalDriver<HDialog> driver([](HDialog* dialog) {
            HValueCombo* band = dialog->Form()->Combo(HCommonItems::HardwareItem::kBand);
            PickIndex(band, 1);
            QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        });
        QVERIFY(run.frame->RunCommand(HCommonCmd::kHardware));
        QVERIFY(driver.Fired());
    }
    QCOMPARE(answers.asked.last(), QStringLiteral("message50"));
    QCOMPARE(lastPressed(), QMessageBox::No);
    QVERIFY(run.doc->Image() == before);

    // Saving over a default data file: not written.
    QVERIFY(QDir(home.Path()).mkpath(QStringLiteral("shop")));
    const std::string defaultFile = home.File("shop/defaultV.r57");
    run.app.SetCurrentFilePath(defaultFile);
    QVERIFY(!run.doc->OnFileSave());
    QCOMPARE(answers.asked.last(), QStringLiteral("message36"));
    QCOMPARE(lastPressed(), QMessageBox::No);
    QVERIFY(!QFileInfo::exists(QString::fromStdString(defaultFile)));

    // "Save changes?": Yes keeps the work (here the Save As dialog, cancelled).
    run.app.SetModifiedFlag(1);
    bool discarded = true;
    {
        ModalDriver<QFileDialog> saveAs([](QFileDialog* dialog) { dialog->reject(); });
        QVERIFY(!run.doc->SaveModified(&discarded));
    }
    QCOMPARE(answers.asked.last(), QStringLiteral("message146"));
    QCOMPARE(lastPressed(), QMessageBox::Yes);
    QVERIFY(!discarded);
    QCOMPARE(run.app.ModifiedFlag(), 1);
}

RP57_APP_TEST(SafetyNetTest)

#include "SafetyNetTest.moc"
