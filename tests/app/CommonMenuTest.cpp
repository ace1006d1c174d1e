// The Common menu through the running program: every entry of the editor
// registry opens its editor over the document's image; Cancel leaves image and
// modified flag alone, OK marks the image modified; the Hardware band question
// answered No leaves the image byte-identical, and Yes makes a new image for
// the new model. (The layout test saves every editor's pages as PNGs.)
#include "AppTestSupport.h"
#include "HDialog.h"
#include "HEdit.h"
#include "HEditorForm.h"
#include "HEditorRegistry.h"
#include "HHardwareGroup.h"
#include "HHelpWindow.h"
#include "HMainCommands.h"
#include "HPropertyPage.h"
#include "HPropertySheet.h"

namespace {

QString ObjectNameOf(const HEditorEntry& entry) {
    return entry.sheet ? QStringLiteral("HPropertySheet%1").arg(entry.command)
                       : QStringLiteral("HDialog%1").arg(entry.pages.front().dialogId);
}

} // namespace

class CommonMenuTest : public QObject {
    Q_OBJECT
private slots:
    void everyEntryOpensItsEditorCancelAndOk();
    void hardwareBandQuestion();
    void everyEditorHasItsHelpPage();
    void switchTablePromptsInTheStatusBar();
    void dialogsShowWhatTheCommandLineShows();
};

void CommonMenuTest::everyEntryOpensItsEditorCancelAndOk() {
    for (int level : {0, 1}) {
        TempHome home;
        RunningApp run(level);
        QVERIFY(run.frame != nullptr);
        CMainFrame& frame = *run.frame;
        for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
            const QString name = ObjectNameOf(entry);
            // A family's commands are on in its own signalling mode only.
            frame.SetSignallingMenuMode(entry.family == HEditorFamily::FiveTone ? 0 : 1);
            const HMemoryImage before = run.doc->Image();
            run.app.SetModifiedFlag(0);
            ModalDriver<QDialog> cancel(
                [&](QDialog* dialog) {
                    QCOMPARE(dialog->windowTitle().toStdString(), std::string(entry.caption));
                    dialog->reject();
                },
                name);
            QVERIFY2(frame.RunCommand(entry.command), qPrintable(name));
            QVERIFY2(cancel.Fired(), qPrintable(name));
            QVERIFY2(run.doc->Image() == before, qPrintable(name));
            QCOMPARE(run.app.ModifiedFlag(), 0);

            ModalDriver<QDialog> ok(
                [](QDialog* dialog) {
                    auto* button = dialog->findChild<QPushButton*>(QStringLiteral("button1"));
                    QVERIFY(button);
                    QTest::mouseClick(button, Qt::LeftButton);
                },
                name);
            QVERIFY(frame.RunCommand(entry.command));
            QVERIFY2(ok.Fired(), qPrintable(name));
            QVERIFY2(run.app.ModifiedFlag() == 1, qPrintable(name));
        }
    }
}

void CommonMenuTest::hardwareBandQuestion() {
    TempHome home;
    RunningApp run(1);
    QVERIFY(run.frame != nullptr);
    const HMemoryImage before = run.doc->Image();
    const auto band = HCommonItems::HardwareItem::kBand;

    // No: the old band comes back, and OK leaves every byte as it was.
    {
        MessageAnswers answers(QMessageBox::No);
        ModalDriver<HDialog> driver([&](HDialog* dialog) {
            HValueCombo* combo = dialog->Form()->Combo(band);
            PickIndex(combo, 1);
            QCOMPARE(combo->currentText(), QStringLiteral("VHF"));
            QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        });
        QVERIFY(run.frame->RunCommand(HCommonCmd::kHardware));
        QVERIFY(driver.Fired());
        QVERIFY(run.doc->Image() == before);
        QCOMPARE(answers.texts.size(), 1);
    }
    // Yes: OK makes the image of the new model.
    {
        MessageAnswers answers(QMessageBox::Yes);
        ModalDriver<HDialog> driver([&](HDialog* dialog) {
            HValueCombo* combo = dialog->Form()->Combo(band);
            PickIndex(combo, 1); // UHF A
            QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        });
        QVERIFY(run.frame->RunCommand(HCommonCmd::kHardware));
        QVERIFY(driver.Fired());
        HHardwareGroup hw;
        hw.Load(run.doc->Image());
        QCOMPARE(
            Line({hw.GetValue(HHardwareGroup::kRowBand), hw.GetValue(HHardwareGroup::kRowBandLow)}),
            Line({kBandUhfA, 380000000}));
    }
}

void CommonMenuTest::everyEditorHasItsHelpPage() {
    // F1 in a dialog or page asks for 0x20000 plus its id, the menu entry for
    // 0x10000 plus the command; both lead to the editor's own page.
    for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
        const QString page =
            HHelpWindow::PageForContext(0x10000 + static_cast<std::uint32_t>(entry.command));
        QVERIFY2(!page.isEmpty() && page != QLatin1String(HHelpWindow::kIndexPage),
                 entry.section.data());
        for (const HEditorPageEntry& p : entry.pages)
            QCOMPARE(HHelpWindow::PageForContext(kDialogHelpBase + p.dialogId), page);
        HHelpWindow window;
        QVERIFY(window.OpenContext(kDialogHelpBase + entry.pages.front().dialogId));
        QVERIFY2(window.Browser()->toPlainText().contains(
                     QString::fromUtf8(entry.caption.data(), qsizetype(entry.caption.size()))),
                 entry.section.data());
    }
}

void CommonMenuTest::switchTablePromptsInTheStatusBar() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    QString first;
    QString second;
    ModalDriver<HPropertySheet> driver([&](HPropertySheet* sheet) {
        sheet->SetActivePage(1);
        QWidget* position = sheet->Page(1)->Control(1); // switch position 0
        position->setFocus();
        QApplication::processEvents();
        first = sheet->StatusPaneText(0);
        second = sheet->StatusPaneText(1);
        sheet->reject();
    });
    QVERIFY(run.frame->RunCommand(HCommonCmd::kDsub15));
    QVERIFY(driver.Fired());
    QVERIFY2(first.startsWith(QStringLiteral("Select ACC Channel No 0(Not Used/CH01 - CH")),
             qPrintable(first));
    QCOMPARE(second, QStringLiteral("<SELECT>"));
}

void CommonMenuTest::dialogsShowWhatTheCommandLineShows() {
    // Every visible control of every editor shows the text rp57cli show
    // prints for its key (both read the same image at the same level).
    TempHome home;
    RunningApp run(1);
    QVERIFY(run.frame != nullptr);
    HMemoryImage copy = run.doc->Image();
    HSettingsSession session(copy, 1);
    int compared = 0;
    for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
        ModalDriver<QDialog> driver(
            [&](QDialog* dialog) {
                for (const auto& s : session.Settings()) {
                    if (s.section != entry.section || !session.IsShown(s))
                        continue;
                    const std::uint32_t id = entry.pages[s.page].dialogId;
                    auto* form = entry.sheet ? dialog->findChild<HEditorForm*>(
                                                   QStringLiteral("HPropertyPage%1").arg(id))
                                             : dialog->findChild<HEditorForm*>();
                    QVERIFY2(form, s.key.c_str());
                    QString shown;
                    if (HValueCombo* combo = form->Combo(s.item))
                        shown = combo->currentIndex() < 0 ? QString() : combo->currentText();
                    else if (HEdit* edit = form->EditControl(s.item))
                        shown = edit->text();
                    else
                        continue;
                    QCOMPARE(shown.toStdString() + " (" + s.key + ")",
                             session.Shown(s) + " (" + s.key + ")");
                    ++compared;
                }
                dialog->reject();
            },
            ObjectNameOf(entry));
        // The 2-tone and 5-tone editors are each reachable in their own menu mode.
        run.frame->SetSignallingMenuMode(HMainCommands::SignallingAllows(1, entry.command) ? 1 : 0);
        QVERIFY2(run.frame->RunCommand(entry.command), entry.section.data());
        QVERIFY(driver.Fired());
    }
    QVERIFY(compared > 150);
}

RP57_APP_TEST(CommonMenuTest)

#include "CommonMenuTest.moc"
