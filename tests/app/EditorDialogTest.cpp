// The editor dialog framework on a real editor description (Power Saving) over
// a real image: rendering, the OK/Cancel contract, the code-survives rule, the
// validated edits driven by key events, property sheets and F1 help.
#include "AppTestSupport.h"
#include "HDialog.h"
#include "HEdit.h"
#include "HEditorForm.h"
#include "HEditorRegistry.h"
#include "HHelpWindow.h"
#include "HPropertyPage.h"
#include "HPropertySheet.h"

namespace {

// The Power Saving editor as its registry row makes it.
class PowerSavingEditor : public HDataEditor<HPowerSavingGroup> {
public:
    explicit PowerSavingEditor(const HEditorContext& c)
        : HDataEditor(HEditorRegistry::kPowerSavingPages[0].dialogId,
                      HEditorRegistry::kPowerSavingPages[0].caption,
                      HEditorRegistry::kPowerSavingPages[0].items, c) {}
};

// Item indexes of the Power Saving description.
constexpr std::size_t kTransmitTimer = 0, kPenaltyTimer = 1, kMicGain = 5, kBeepLevel = 10,
                      kAfMinLevel = 11, kPowerOnTag = 12;

// A Power Saving editor whose own check refuses every OK.
class RefusingEditor : public PowerSavingEditor {
public:
    using PowerSavingEditor::PowerSavingEditor;
    int checks = 0;

protected:
    int Check() override {
        ++checks;
        return 1;
    }
};

// An editor with a control of its own help context.
constexpr HChoiceList kOffOn = HChoiceFixed(HChoiceKind::OffOn);
constexpr HEditSetup kOctal{HValueKind::Integer, 4, 0, 0, "%o", HFilterMode::Octal, 0,
                            HDisplayOp::None,    ""};
constexpr std::array kHelpItems = [] {
    std::array items{HComboItem("&First", 0, kOffOn),
                     HEditItem("&Octal", 1, kOctal),
                     HCheckItem("&Check", 2, kOffOn),
                     HStaticItem("A static text"),
                     HComboItem("&Raised", 3, kOffOn, HItemAccess::RaisedLevel),
                     HComboItem("Ra&ised only", 4, kOffOn, HItemAccess::RaisedOnly)};
    items[0].helpId = 0x10000 + 32851; // the Upload page
    return items;
}();

class HelpEditor : public HEditor {
public:
    explicit HelpEditor(const HEditorContext& c) : HEditor(999, "Help Test", kHelpItems, c) {}
    void InitStatic() override { SetStaticText(3, "Shown by InitStatic"); }
};

bool ShowAndActivate(QWidget& w) {
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

// An editor's dialog over an image (the built-in one unless given), shown and
// active, with the image as it was before.
template <class Editor = PowerSavingEditor> struct ShownDialog {
    HMemoryImage image;
    const HMemoryImage before;
    Editor editor;
    HDialog dialog;
    bool active;
    explicit ShownDialog(const HMemoryImage& start = BuildDefaultImage(), int level = 0)
        : image(start), before(start), editor(HEditorContext{&image, level}), dialog(editor),
          active(ShowAndActivate(dialog)) {}
    [[nodiscard]] HEditorForm* Form() const { return dialog.Form(); }
    // Focuses the control and sends it a key.
    void Key(std::size_t item, Qt::Key key) {
        Form()->Control(item)->setFocus();
        QTest::keyClick(Form()->Control(item), key);
    }
};

// Types `keys` over the whole text of an edit, as a user replacing it.
void Retype(HEdit* edit, const QString& keys) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
}

// F1 on the control; the help window then shown.
HHelpWindow* PressF1(QWidget* control) {
    control->setFocus();
    QTest::keyClick(control, Qt::Key_F1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HHelpWindow*>(w); help && help->isVisible())
            return help;
    return nullptr;
}

} // namespace

class EditorDialogTest : public QObject {
    Q_OBJECT
private slots:
    void rendersThePowerSavingDescriptionAndOkWritesTheChange();
    void cancelOrRefusedCheckWritesNothing();
    void editKeysFilterRefuseRestoreAndCommit();
    void checkBoxesStaticsAcceleratorsAndHelp();
    void helpContextsFileAndFallback();
    void sheetStoresAllPagesOrNoneAndShowsPrompts();
};

void EditorDialogTest::rendersThePowerSavingDescriptionAndOkWritesTheChange() {
    ShownDialog<> d;
    QVERIFY(d.active);
    QCOMPARE(d.dialog.windowTitle() + d.dialog.objectName(),
             QStringLiteral("Power SavingHDialog134"));
    HValueCombo* penalty = d.Form()->Combo(kPenaltyTimer);
    QCOMPARE(penalty->currentData().toInt(), d.editor.Data().GetValue(kPenaltyTimer));
    const int was = penalty->currentIndex();
    d.Key(kPenaltyTimer, Qt::Key_Down);
    QCOMPARE(d.editor.Combo(kPenaltyTimer).SelectedIndex(), was + 1);
    // Enter in a control never closes the dialog, and nothing is written before OK.
    d.Key(kBeepLevel, Qt::Key_Return);
    d.Key(kTransmitTimer, Qt::Key_Enter);
    QVERIFY(d.dialog.isVisible());
    QCOMPARE(d.image, d.before);
    // Enter on the focused OK button is OK. Penalty Timer is bits 2-3 of byte 642.
    d.dialog.OkButton()->setFocus();
    QTest::keyClick(d.dialog.OkButton(), Qt::Key_Return);
    QVERIFY(d.dialog.result() == QDialog::Accepted && !d.dialog.isVisible());
    HMemoryImage rest = d.image;
    rest[642] = d.before[642];
    QVERIFY(rest == d.before && ((d.image[642] >> 2) & 3) == was + 1);
}

void EditorDialogTest::cancelOrRefusedCheckWritesNothing() {
    {
        ShownDialog<> d;
        d.Key(kTransmitTimer, Qt::Key_Up);
        Retype(d.Form()->EditControl(kBeepLevel), QStringLiteral("3"));
        QTest::keyClick(d.Form()->EditControl(kBeepLevel), Qt::Key_Return);
        QTest::mouseClick(d.dialog.CancelButton(), Qt::LeftButton);
        QCOMPARE(d.dialog.result(), int(QDialog::Rejected));
        QCOMPARE(d.image, d.before);
    }
    {
        // The editor's own check refuses: the dialog stays open.
        ShownDialog<RefusingEditor> d;
        d.Key(kTransmitTimer, Qt::Key_Down);
        QTest::mouseClick(d.dialog.OkButton(), Qt::LeftButton);
        QVERIFY(d.editor.checks == 1 && d.dialog.isVisible());
        QCOMPARE(d.image, d.before);
        d.dialog.reject();
    }
    // A code no entry has shows no entry and survives OK.
    HMemoryImage image = BuildDefaultImage();
    image[677] = 99; // MIC gain
    ShownDialog<> d(image);
    QCOMPARE(d.Form()->Combo(kMicGain)->currentIndex(), -1);
    QTest::mouseClick(d.dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(d.image, d.before);
}

void EditorDialogTest::editKeysFilterRefuseRestoreAndCommit() {
    // The rules themselves are the edit rules' tests; here key events reach
    // them: filter, a value beyond the range refused on Enter with a box that
    // says what the edit takes, Escape back to the text last set, a typed
    // text never committed with Enter still reaching the image on OK, and an
    // OK over a refused text keeping the dialog open.
    MessageAnswers answers;
    ShownDialog<> d;
    QVERIFY(d.active);
    HEdit* beep = d.Form()->EditControl(kBeepLevel); // 0-15, 2 digits
    const QString beepBefore = beep->text();
    Retype(beep, QStringLiteral("a.-97"));
    QCOMPARE(beep->text(), QStringLiteral("97"));
    QTest::keyClick(beep, Qt::Key_Return);
    QCOMPARE(answers.texts.size(), 1);
    QCOMPARE(answers.LastText(),
             QStringLiteral("Beep Level: \"97\" is not allowed; a number from 0 to 15"));
    QCOMPARE(beep->text(), beepBefore);
    Retype(beep, QStringLiteral("12"));
    QTest::keyClick(beep, Qt::Key_Return);
    QCOMPARE(beep->text(), QStringLiteral("12"));
    Retype(beep, QStringLiteral("4"));
    QTest::keyClick(beep, Qt::Key_Escape);
    QCOMPARE(beep->text(), QStringLiteral("12"));
    QVERIFY(d.dialog.isVisible()); // Escape stayed in the edit
    HEdit* tag = d.Form()->EditControl(kPowerOnTag);
    // A letter beyond 7 bits is refused (keyClicks takes ASCII only).
    Retype(tag, QStringLiteral("AB~C"));
    QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
    QApplication::sendEvent(tag, &eacute);
    QTest::keyClicks(tag, QStringLiteral("[1]_*<>"));
    QCOMPARE(tag->text(), QStringLiteral("ABC[1]_*"));
    HEdit* level = d.Form()->EditControl(kAfMinLevel);
    Retype(level, QStringLiteral("300"));
    QTest::mouseClick(d.dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(answers.texts.size(), 2);
    QVERIFY(answers.LastText().contains(QStringLiteral("a number from 0 to 255")));
    QVERIFY(d.dialog.isVisible());
    QCOMPARE(d.image, d.before);
    Retype(level, QStringLiteral("255"));
    QTest::mouseClick(d.dialog.OkButton(), Qt::LeftButton);
    QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(d.image[45] & 0x0F, 12); // Beep Level
    QCOMPARE(int(d.image[46]), 255);  // AF Vr Min Level
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&d.image[1024]), 8), QByteArray("ABC[1]_*"));
}

void EditorDialogTest::checkBoxesStaticsAcceleratorsAndHelp() {
    {
        ShownDialog<HelpEditor> d(HMemoryImage{});
        QVERIFY(d.active);
        HEditorForm* form = d.Form();
        QCheckBox* check = form->Check(2);
        QVERIFY(check);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        QVERIFY(d.editor.IsChecked(2));
        auto* text = qobject_cast<QLabel*>(form->Control(3));
        QVERIFY(text && text->text() == QStringLiteral("Shown by InitStatic"));
        // Alt + the label's letter moves the focus to its control.
        QTest::keyClick(&d.dialog, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), form->Control(1));
        // Access: at level 0 a raised-level item is greyed with its label, a
        // raised-only item is hidden with its label.
        QVERIFY(!form->Label(4)->isEnabled() && form->Control(4)->isVisible() &&
                !form->Label(5)->isVisible());
        // F1 on a control with a context of its own opens that context's page.
        HHelpWindow* help = PressF1(form->Control(0));
        QVERIFY(help && help->CurrentPage() == QStringLiteral("transfer.html"));
        help->close();
        d.dialog.reject();
    }
    // At level 1 both raised items are usable.
    ShownDialog<HelpEditor> raised(HMemoryImage{}, 1);
    QVERIFY(raised.Form()->Control(4)->isEnabled() && raised.Form()->Control(5)->isVisible());
    raised.dialog.reject();
    // F1 in Power Saving: the dialog's page, in a help window owned by the
    // dialog (usable while it is modal) and reused by a second F1.
    ShownDialog<> d;
    QWidget* combo = d.Form()->Control(kPenaltyTimer);
    HHelpWindow* help = PressF1(combo);
    QVERIFY(help && help->CurrentPage() == QStringLiteral("powersaving.html"));
    QCOMPARE(help->parentWidget(), static_cast<QWidget*>(&d.dialog));
    QCOMPARE(PressF1(combo), help);
    help->close();
}

void EditorDialogTest::helpContextsFileAndFallback() {
    // A page outside the help directory and malformed lines are dropped.
    const auto map = HHelpWindow::ParseContexts(
        QStringLiteral("0x20086 a.html # comment\n0x20087 ../../etc/passwd\nbad line\n"));
    QVERIFY(map.size() == 1 && map.begin()->first == 0x20086);
    // Pages in the program data directory come first.
    TempHome home;
    QVERIFY(QDir(home.Path()).mkpath(QStringLiteral("help")));
    QVERIFY(home.Write("help/index.html", "<html><body>Local pages</body></html>"));
    HHelpWindow window;
    QVERIFY(!window.OpenContext(0x20000 + 174)); // not mapped here: the index
    QCOMPARE(window.Browser()->toPlainText(), QStringLiteral("Local pages"));
}

void EditorDialogTest::sheetStoresAllPagesOrNoneAndShowsPrompts() {
    HMemoryImage image = BuildDefaultImage();
    const HMemoryImage before = image;
    PowerSavingEditor first({&image, 0});
    RefusingEditor second({&image, 0});
    {
        HPropertySheet sheet(QStringLiteral("Two Pages"), 500);
        sheet.AddPage(new HPropertyPage(first));
        sheet.AddPage(new HPropertyPage(second));
        QVERIFY(ShowAndActivate(sheet));
        HValueCombo* timer = sheet.Page(0)->Combo(kTransmitTimer);
        timer->setFocus();
        QTest::keyClick(timer, Qt::Key_Down);
        // The second page refuses: nothing of the first is left in the image.
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
        QVERIFY(sheet.isVisible() && sheet.Tabs()->currentIndex() == 1 && second.checks == 1);
        QCOMPARE(image, before);
        QTest::mouseClick(sheet.CancelButton(), Qt::LeftButton);
        QCOMPARE(image, before);
    }
    {
        PowerSavingEditor editor({&image, 0});
        HPropertySheet sheet(QStringLiteral("One Page"), 501);
        auto* page = new HPropertyPage(editor);
        sheet.AddPage(page);
        QVERIFY(ShowAndActivate(sheet));
        // The page passes its prompt to the sheet's status panes.
        const HStatusPanes panes = HStatusPanesFor(HStringTable::kSaveChanges);
        page->SetPrompt(HStringTable::kSaveChanges);
        QCOMPARE(sheet.StatusPaneText(1), QString::fromStdString(panes.second));
        HValueCombo* timer = sheet.Page(0)->Combo(kTransmitTimer);
        timer->setFocus();
        QTest::keyClick(timer, Qt::Key_Down);
        QTest::keyClick(timer, Qt::Key_Return); // Enter in a page does not confirm the sheet
        QVERIFY(sheet.isVisible());
        QTest::mouseClick(sheet.OkButton(), Qt::LeftButton);
        QVERIFY(image != before);
    }
}

RP57_APP_TEST(EditorDialogTest)

#include "EditorDialogTest.moc"
