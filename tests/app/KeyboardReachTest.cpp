// What the keyboard reaches in the running program: every grid window opens
// with its first cell taking keys, so what is typed lands in the cell.
#include "AppTestSupport.h"
#include "HCommonMenu.h"
#include "HEditorGrid.h"
#include "HEditorRegistry.h"
#include "HGridTableModel.h"
#include "HHardwareGroup.h"
#include "HPropertySheet.h"
#include "HRpFlexgrid.h"

namespace {

void Press(QWidget* window, Qt::Key key) {
    QTest::keyClick(window->windowHandle(), key);
}

void TypeKeys(QWidget* window, const QString& keys) {
    for (const QChar ch : keys)
        QTest::keyClick(window->windowHandle(), ch.toLatin1());
}

// A set with a display, so that the signalling grids show their TAG columns.
void GiveDisplay(HMemoryImage& image) {
    HHardwareGroup hardware;
    hardware.Load(image);
    hardware.SetValue(HHardwareGroup::kRowDisplayHandheld, 1);
    hardware.SetValue(HHardwareGroup::kRowDisplayMobile, 1);
    hardware.Save(image);
}

// The registry entries whose first page is a grid.
std::vector<const HEditorEntry*> GridEntries() {
    std::vector<const HEditorEntry*> out;
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        if (!entry.pages.empty() && !entry.pages[0].items.empty() &&
            entry.pages[0].items[0].kind == HItemKind::Grid)
            out.push_back(&entry);
    return out;
}

// The window a registry command opened, once it is up and active.
QDialog* WaitForEditorWindow() {
    QDialog* found = nullptr;
    const bool up = QTest::qWaitFor(
        [&found] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible())
                    found = d;
            return found != nullptr;
        },
        5000);
    if (!up)
        return nullptr;
    found->activateWindow();
    return QTest::qWaitForWindowActive(found) ? found : nullptr;
}

} // namespace

class KeyboardReachTest : public QObject {
    Q_OBJECT
private slots:
    void everyGridWindowOpensWithItsFirstCellTakingKeys();
    void twoToneDecodeTakesATagTypedAtOnce();
};

void KeyboardReachTest::everyGridWindowOpensWithItsFirstCellTakingKeys() {
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    GiveDisplay(run.doc->Image());
    const std::vector<const HEditorEntry*> entries = GridEntries();
    QVERIFY(entries.size() >= 8); // the 2-tone and 5-tone grids and Paging Code
    for (const HEditorEntry* entry : entries) {
        const QString name = QString::fromLatin1(entry->section.data(),
                                                 static_cast<qsizetype>(entry->section.size()));
        QString focusClass;
        QString cell;
        bool takesInput = false;
        QTimer::singleShot(0, [&] {
            QDialog* window = WaitForEditorWindow();
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
    TempHome home;
    RunningApp run;
    QVERIFY(run.frame != nullptr);
    GiveDisplay(run.doc->Image());
    const HEditorEntry* entry = HEditorRegistry::FindBySection("two_tone_decode");
    QVERIFY(entry != nullptr);
    QString header;
    QString tag;
    int page = -1;
    int columnMoved = 0;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<HPropertySheet*>(WaitForEditorWindow());
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

RP57_APP_TEST(KeyboardReachTest)
#include "KeyboardReachTest.moc"
