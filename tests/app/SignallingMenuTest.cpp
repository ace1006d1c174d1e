// The Signalling menu through the running program: the commands the type
// enables, the type switch from the Signalling Type dialog (menu, image and
// the new family's tables reset), the DTMF Setting lists edited with the
// keyboard, and the tables compiled before a Download reaching the radio.
#include "AppTestSupport.h"
#include "HDialog.h"
#include "HEditorRegistry.h"
#include "HMainCommands.h"
#include "HSignallingSteps.h"
#include "HValueCombo.h"

#include <random>

namespace {

// The offered texts of a combo of the open dialog.
QStringList Entries(QDialog* dialog, std::size_t item) {
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("item%1").arg(item));
    QStringList texts;
    if (combo)
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    return texts;
}

void ClickOk(QDialog* dialog) {
    auto* button = dialog->findChild<QPushButton*>(QStringLiteral("button1"));
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

bool Enabled(CMainFrame& frame, int command) {
    const QAction* action = frame.CommandAction(command);
    return action != nullptr && action->isEnabled();
}

} // namespace

class SignallingMenuTest : public QObject {
    Q_OBJECT
private slots:
    void typeSwitchFollowsTheDialogAndResetsTheNewTables();
    void dtmfCodeListsWithTheKeyboard();
    void okWithoutAnEditInTwoToneDecodeAndEncodeChangesNothing();
    void twoToneTableCopyHasALetterOfItsOwn();
};

void SignallingMenuTest::typeSwitchFollowsTheDialogAndResetsTheNewTables() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    CMainFrame& frame = *run.frame;
    QCOMPARE(frame.SignallingMenuMode(), 1);
    // The 5-tone family's areas hold random bytes, as another radio's 2-tone
    // tables would look to the 5-tone editors.
    std::mt19937 rng(3);
    for (std::size_t i = 0x1C80; i < 0x2400; ++i)
        run.doc->Image()[i] = static_cast<std::uint8_t>(rng());
    const HMemoryImage before = run.doc->Image();

    // Cancel and an unchanged OK switch nothing.
    ModalDriver<QDialog> cancel([](QDialog* d) { d->reject(); }, QStringLiteral("HDialog181"));
    QVERIFY(frame.RunCommand(HCmd::kSignallingType));
    QVERIFY(cancel.Fired());
    QCOMPARE(frame.SignallingMenuMode(), 1);

    ModalDriver<QDialog> pick(
        [](QDialog* d) {
            auto* combo = d->findChild<QComboBox*>(QStringLiteral("item0"));
            QVERIFY(combo);
            QCOMPARE(combo->currentText(), QStringLiteral("2-TONE"));
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Up);
            QCOMPARE(combo->currentText(), QStringLiteral("5-TONE"));
            ClickOk(d);
        },
        QStringLiteral("HDialog181"));
    QVERIFY(frame.RunCommand(HCmd::kSignallingType));
    QVERIFY(pick.Fired());
    QCOMPARE(frame.SignallingMenuMode(), 0);
    QCOMPARE(HReadSignallingMode(run.doc->Image()), HSignallingMode::FiveTone);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    // Only the 5-tone and the always-offered commands are on.
    for (int id = HCmd::kSignallingFirst; id <= HCmd::kSignallingLast; ++id)
        if (frame.CommandAction(id) != nullptr && HEditorRegistry::FindByCommand(id) != nullptr)
            QCOMPARE(Enabled(frame, id), HMainCommands::SignallingAllows(0, id));
    QVERIFY(Enabled(frame, HCmd::kDtmf));
    QVERIFY(!Enabled(frame, HCmd::k2ToneTable));
    // The 5-tone tables were reset (each page's defaults: the editors' tests):
    // resetting them again changes nothing.
    HMemoryImage reset = run.doc->Image();
    HSignallingSteps::ResetTables(reset, HSignallingMode::FiveTone);
    QVERIFY(reset == run.doc->Image());
    // Outside the signalling areas nothing moved.
    for (std::size_t i = 0; i < 0x1C80; ++i)
        if (i != 0x2A4)
            QCOMPARE(run.doc->Image()[i], before[i]);
}

void SignallingMenuTest::dtmfCodeListsWithTheKeyboard() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    namespace S = HDtmfItems::SettingItem;
    ModalDriver<QDialog> edit(
        [](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("DTMF Setting"));
            QCOMPARE(Entries(d, S::kSeparateCode), (QStringList{"B", "*"}));
            QCOMPARE(Entries(d, S::kGroupCode), (QStringList{"A", "B"}));
            // Separate code: * -> B with the Up key; * is then free for the others.
            auto* separate =
                d->findChild<QComboBox*>(QStringLiteral("item%1").arg(S::kSeparateCode));
            QVERIFY(separate);
            separate->setFocus();
            QTest::keyClick(separate, Qt::Key_Up);
            QCOMPARE(separate->currentText(), QStringLiteral("B"));
            QCOMPARE(Entries(d, S::kGroupCode), (QStringList{"A", "*"}));
            QCOMPARE(Entries(d, S::kResetCode), (QStringList{"C", "*"}));
            QVERIFY(!Entries(d, S::kPauseCode).contains(QStringLiteral("B")));
            // Group code: A -> * with the Down key.
            auto* group = d->findChild<QComboBox*>(QStringLiteral("item%1").arg(S::kGroupCode));
            group->setFocus();
            QTest::keyClick(group, Qt::Key_Down);
            QCOMPARE(group->currentText(), QStringLiteral("*"));
            QCOMPARE(Entries(d, S::kSeparateCode), (QStringList{"A", "B"}));
            ClickOk(d);
        },
        QStringLiteral("HDialog183"));
    QVERIFY(run.frame->RunCommand(HCmd::kDtmf));
    QVERIFY(edit.Fired());
    // Separate B (11) and group * (14) in byte 0x376.
    QCOMPARE(int(run.doc->Image()[0x376]), 0xBE);
    QCOMPARE(run.app.ModifiedFlag(), 1);
}

void SignallingMenuTest::okWithoutAnEditInTwoToneDecodeAndEncodeChangesNothing() {
    // The built-in image holds 0 in the Auto Reset Time, the three tone
    // periods and both delays: each below its edit's range. The sheets,
    // opened from the menu, show those values as they are, and OK on them
    // untouched (every page shown first) writes nothing.
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    const HMemoryImage before = run.doc->Image();
    struct Sheet {
        int command;
        const char* optionPage;
        QStringList shown; // the option page's edits, in item order
    };
    const Sheet sheets[] = {
        {HCmd::k2ToneDecode, "HPropertyPage253", {QStringLiteral("0.0sec")}},
        {HCmd::k2ToneEncode,
         "HPropertyPage255",
         {QStringLiteral("0.00sec"), QStringLiteral("0.00sec"), QStringLiteral("0.00sec"),
          QStringLiteral("0msec"), QStringLiteral("0msec")}}};
    for (const Sheet& sheet : sheets) {
        bool accepted = false;
        QStringList shown;
        ModalDriver<QDialog> ok([&](QDialog* d) {
            auto* tabs = d->findChild<QTabWidget*>(QStringLiteral("tabs"));
            QVERIFY(tabs && tabs->count() == 2);
            tabs->setCurrentIndex(1);
            tabs->setCurrentIndex(0);
            auto* page = d->findChild<QWidget*>(QString::fromLatin1(sheet.optionPage));
            QVERIFY(page);
            for (QLineEdit* edit : page->findChildren<QLineEdit*>())
                shown << edit->text();
            ClickOk(d);
            accepted = d->result() == QDialog::Accepted;
        });
        QVERIFY(run.frame->RunCommand(sheet.command));
        QVERIFY(ok.Fired());
        QVERIFY(accepted);
        QCOMPARE(shown, sheet.shown);
        QCOMPARE(run.doc->Image(), before);
    }
}

void SignallingMenuTest::twoToneTableCopyHasALetterOfItsOwn() {
    // Alt+C goes to box C; Copy is Alt+O, and Alt+O presses it.
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    namespace W = HTwoToneItems;
    QString copyText, boxZero;
    bool altCReachedBoxC = false;
    QStringList misplaced;
    ModalDriver<QDialog> table(
        [&](QDialog* d) {
            // Keys reach a window's letters only once it is active.
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            auto* group = d->findChild<QComboBox*>(QStringLiteral("item%1").arg(W::kItemToneGroup));
            auto* copy = d->findChild<QPushButton*>(QStringLiteral("item%1").arg(W::kItemCopy));
            auto* zero = d->findChild<QLineEdit*>(QStringLiteral("item0"));
            auto* boxC = d->findChild<QLineEdit*>(QStringLiteral("item12"));
            QVERIFY(group && copy && zero && boxC);
            copyText = copy->text();
            group->setFocus();
            QTest::keyClick(group, Qt::Key_Down); // MOTOROLA-1
            QVERIFY(copy->isEnabled());
            QTest::keyClick(d, Qt::Key_C, Qt::AltModifier);
            // Compared here, while the dialog's widgets still exist.
            altCReachedBoxC = QApplication::focusWidget() == boxC;
            QTest::keyClick(d, Qt::Key_O, Qt::AltModifier);
            // A button's shortcut clicks it a moment later, as a user sees it pressed.
            for (int i = 0; i < 100 && zero->text().isEmpty(); ++i)
                QTest::qWait(10);
            boxZero = zero->text();
            // Each shown group value stands in the row of the box Copy put it in.
            for (std::size_t k = 0; k < W::kGroupBoxes; ++k) {
                auto* shown =
                    d->findChild<QLabel*>(QStringLiteral("item%1").arg(W::kItemFirstGroupBox + k));
                auto* box = d->findChild<QLineEdit*>(QStringLiteral("item%1").arg(k));
                QVERIFY(shown && box);
                if (shown->text().isEmpty())
                    continue;
                if (shown->geometry().center().y() != box->geometry().center().y() ||
                    shown->text().trimmed() != box->text().trimmed())
                    misplaced << QStringLiteral("%1: %2 beside %3")
                                     .arg(k)
                                     .arg(shown->text(), box->text());
            }
            SaveShot(d, QStringLiteral("two_tone_table"));
            d->reject();
        },
        QStringLiteral("HDialog250"));
    QVERIFY(run.frame->RunCommand(HCmd::k2ToneTable));
    QVERIFY(table.Fired());
    QCOMPARE(copyText, QStringLiteral("C&opy"));
    QVERIFY(altCReachedBoxC);
    QCOMPARE(boxZero, QStringLiteral(" 330.5"));
    QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QStringLiteral("; "))));
}

RP57_APP_TEST(SignallingMenuTest)
#include "SignallingMenuTest.moc"
