// What the keyboard reaches in the running program: every grid window opens
// with its first cell taking keys, so what is typed lands in the cell; every
// menu entry has a letter of its own, pressed after its menu's Alt+letter.
#include "AppTestSupport.h"
#include "HCommonMenu.h"
#include "HEditorGrid.h"
#include "HEditorRegistry.h"
#include "HGridTableModel.h"
#include "HPropertySheet.h"
#include "HRpFlexgrid.h"

namespace {

// The registry entries whose first page is a grid.
std::vector<const HEditorEntry*> GridEntries() {
    std::vector<const HEditorEntry*> out;
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        if (!entry.pages.empty() && !entry.pages[0].items.empty() &&
            entry.pages[0].items[0].kind == HItemKind::Grid)
            out.push_back(&entry);
    return out;
}

// Every entry of a menu bar or menu: text, and whether it takes a letter
// (a command or a sub-menu; a greyed placeholder takes none).
struct MenuEntry {
    QString text;
    QAction* action;
};
std::vector<MenuEntry> Entries(const QWidget* menu) {
    std::vector<MenuEntry> out;
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && action->isVisible() &&
            (action->menu() != nullptr ||
             action->objectName().startsWith(QLatin1String("command"))))
            out.push_back({action->text(), action});
    return out;
}

} // namespace

class KeyboardReachTest : public QObject {
    Q_OBJECT
private slots:
    void everyGridWindowOpensWithItsFirstCellTakingKeys();
    void twoToneDecodeTakesATagTypedAtOnce();
    void everyMenuEntryHasALetterOfItsOwnAndTheKeysReachIt();
};

void KeyboardReachTest::everyGridWindowOpensWithItsFirstCellTakingKeys() {
    KeyboardApp keys;
    QVERIFY(keys.Ready());
    RunningApp& run = keys.run;
    const std::vector<const HEditorEntry*> entries = GridEntries();
    QVERIFY(entries.size() >= 8); // the 2-tone and 5-tone grids and Paging Code
    for (const HEditorEntry* entry : entries) {
        const QString name = QString::fromLatin1(entry->section.data(),
                                                 static_cast<qsizetype>(entry->section.size()));
        QString focusClass;
        QString cell;
        bool takesInput = false;
        QTimer::singleShot(0, [&] {
            QDialog* window = WaitForActiveDialog();
            if (window == nullptr)
                return;
            QWidget* focus = QApplication::focusWidget();
            focusClass = focus ? QString::fromLatin1(focus->metaObject()->className())
                               : QStringLiteral("none");
            if (auto* view = qobject_cast<HRpFlexgrid*>(focus)) {
                const QModelIndex at = view->currentIndex();
                cell = QStringLiteral("%1,%2").arg(at.row()).arg(at.column());
                // Typed, picked or ticked: the cell takes something.
                takesInput =
                    !view->isColumnHidden(at.column()) &&
                    ((at.flags() & Qt::ItemIsEditable) ||
                     at.data(HGridTableModel::TickRole).toInt() != int(HTickState::NotTick));
            }
            window->reject();
        });
        HCommonMenu::Run(*run.frame, run.app, *entry);
        QVERIFY2(focusClass == QLatin1String("HRpFlexgrid"),
                 qPrintable(name + QStringLiteral(": focus on ") + focusClass));
        QVERIFY2(takesInput, qPrintable(name + QStringLiteral(": current cell ") + cell));
    }
}

void KeyboardReachTest::twoToneDecodeTakesATagTypedAtOnce() {
    KeyboardApp keys;
    QVERIFY(keys.Ready());
    RunningApp& run = keys.run;
    const HEditorEntry* entry = HEditorRegistry::FindBySection("two_tone_decode");
    QVERIFY(entry != nullptr);
    QString header;
    QString tag;
    int page = -1;
    int columnMoved = 0;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<HPropertySheet*>(WaitForActiveDialog());
        if (sheet == nullptr)
            return;
        auto* grid = sheet->findChild<HEditorGrid*>();
        const QModelIndex start = grid->View()->currentIndex();
        header =
            grid->Model()->headerData(start.column(), Qt::Horizontal, Qt::DisplayRole).toString();
        // What the technician did: typed the tag, Return, then Right.
        TypeKeys(sheet, QStringLiteral("DISP"));
        Press(sheet, Qt::Key_Return);
        QCoreApplication::processEvents();
        Press(sheet, Qt::Key_Right);
        ShootScreen(QStringLiteral("two_tone_decode-typed"));
        tag = grid->Model()->index(start.row(), start.column()).data().toString();
        columnMoved = grid->View()->currentIndex().column() - start.column();
        page = sheet->Tabs()->currentIndex();
        sheet->reject();
    });
    HCommonMenu::Run(*run.frame, run.app, *entry);
    QCOMPARE(header, QStringLiteral("TAG"));
    QCOMPARE(tag, QStringLiteral("DISP"));
    QCOMPARE(page, 0);
    QVERIFY2(columnMoved > 0, qPrintable(QString::number(columnMoved)));
}

void KeyboardReachTest::everyMenuEntryHasALetterOfItsOwnAndTheKeysReachIt() {
    TempHome home;
    RunningApp run(2); // every Radio entry shown
    QVERIFY(run.frame != nullptr);
    run.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(run.frame));
    QMenuBar* bar = run.frame->menuBar();
    QStringList faults;
    std::vector<QMenu*> menus;
    const std::function<void(const QString&, const QWidget*)> check = [&](const QString& where,
                                                                          const QWidget* menu) {
        std::map<QString, QStringList> letters;
        for (const MenuEntry& e : Entries(menu)) {
            const QString m = Mnemonic(e.text);
            if (m.isEmpty())
                faults << where + QStringLiteral(" > ") + e.text + QStringLiteral(": no letter");
            else
                letters[m] << e.text;
            if (QMenu* sub = e.action->menu()) {
                menus.push_back(sub);
                check(where + QStringLiteral(" > ") + e.text, sub);
            }
        }
        for (const QString& twice : Twice(letters))
            faults << where + QStringLiteral(": ") + twice;
    };
    check(QStringLiteral("menu bar"), bar);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));

    // The keys themselves, in both signalling types: Alt and the menu's
    // letter open it, the entry's letter runs its command (every handler
    // swapped for one that notes the command, so nothing really runs) or
    // opens its sub-menu.
    int ran = 0;
    for (const int id : run.frame->CommandIds())
        if (run.frame->HasCommandHandler(id))
            run.frame->SetCommandHandler(id, [&ran, id] { ran = id; });
    QStringList reached;
    int pressed = 0;
    const auto closePopups = [] {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    };
    for (const int mode : {0, 1}) {
        run.frame->SetSignallingMenuMode(mode);
        for (const MenuEntry& top : Entries(bar)) {
            QMenu* menu = top.action->menu();
            const char letter = Mnemonic(top.text).at(0).toLatin1();
            QTest::keyClick(run.frame, letter, Qt::AltModifier);
            if (QApplication::activePopupWidget() != menu) {
                faults << QStringLiteral("Alt+%1 does not open %2").arg(QChar(letter), top.text);
                closePopups();
                continue;
            }
            if (mode == 1)
                ShootScreen(QStringLiteral("menu-") + QString(top.text).remove(QLatin1Char('&')));
            for (const MenuEntry& e : Entries(menu)) {
                if (QApplication::activePopupWidget() != menu)
                    QTest::keyClick(run.frame, letter, Qt::AltModifier);
                if (!e.action->isEnabled())
                    continue;
                ran = 0;
                QTest::keyClick(menu, Mnemonic(e.text).at(0).toLatin1());
                ++pressed;
                const bool opened = e.action->menu() != nullptr &&
                                    QApplication::activePopupWidget() == e.action->menu();
                if (opened || (ran != 0 && ran == e.action->data().toInt()))
                    reached << e.text;
                else
                    faults << top.text + QStringLiteral(" > ") + e.text + QStringLiteral(": ") +
                                  Mnemonic(e.text) + QStringLiteral(" runs ") +
                                  QString::number(ran);
                closePopups();
            }
            closePopups();
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    // The entries the issue found without a letter, or sharing one.
    for (const char* text : {"CH Fine Alignment", "Adjustment Recover", "Export to CSV",
                             "5-Tone System", "2-Tone System"}) {
        bool found = false;
        for (const QString& r : reached)
            found = found || QString(r).remove(QLatin1Char('&')) == QLatin1String(text);
        QVERIFY2(found, text);
    }
    QVERIFY(pressed > 60);
}

RP57_APP_TEST(KeyboardReachTest)
#include "KeyboardReachTest.moc"
