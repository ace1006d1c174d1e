// Every window the editor registry lists, on every page, at the ordinary
// level and in Manufacture Mode, on a set with a display (its grids widest):
// nothing lies outside the window or is cut, the window fits the screen,
// every shown item of a form has a row of its own and no hidden one takes a
// place, every grid header and cell text is whole, and no window offers one
// letter twice or a letter that goes nowhere. Then the Hardware dialog's own
// re-flow when a change shows or hides items. With RP57_SHOT_DIR set, the
// dialogs are also saved as PNGs.
#include "AppTestSupport.h"
#include "HCommonMenu.h"
#include "HDialog.h"
#include "HEditorForm.h"
#include "HEditorGrid.h"
#include "HEditorRegistry.h"
#include "HPropertySheet.h"
#include "HRpFlexgrid.h"

namespace {

// Where each shown item sits, and that the layout holds no hidden one and
// leaves no empty row inside a column.
QString LayoutFaults(const HEditorForm& form) {
    auto* grid = qobject_cast<QGridLayout*>(form.layout());
    if (!grid)
        return QStringLiteral("no grid");
    const HEditor& editor = form.Editor();
    std::map<int, std::set<int>> rowsOfColumn;
    QStringList faults;
    for (std::size_t i = 0; i < editor.ItemCount(); ++i) {
        const int at = grid->indexOf(form.Control(i));
        const QString name = QString::fromStdString(HEditor::CaptionOf(editor.Item(i).label));
        if (!editor.IsVisible(i)) {
            if (at >= 0)
                faults << name + QStringLiteral(" hidden but laid out");
            continue;
        }
        if (at < 0) {
            faults << name + QStringLiteral(" shown but not laid out");
            continue;
        }
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        if (!rowsOfColumn[column / 3].insert(row).second)
            faults << name + QStringLiteral(" shares its row");
    }
    for (const auto& [column, rows] : rowsOfColumn)
        if (!rows.empty() && (*rows.begin() != 0 || *rows.rbegin() != int(rows.size()) - 1))
            faults << QStringLiteral("column %1 has an empty row").arg(column);
    return faults.join(QStringLiteral("; "));
}

// The controls of a window that lie outside it or are cut: empty when every
// control is whole and inside. Cells and editors inside a grid scroll with it.
QStringList CutControls(QWidget* window) {
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow())
            continue;
        bool inGrid = false;
        for (QWidget* up = w->parentWidget(); up != nullptr && up != window;
             up = up->parentWidget())
            inGrid = inGrid || qobject_cast<QAbstractItemView*>(up) != nullptr;
        if (inGrid)
            continue;
        const bool control = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QAbstractItemView*>(w);
        if (!control)
            continue;
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        const auto* label = qobject_cast<QLabel*>(w);
        const QString text = label ? label->text() : w->objectName();
        if (!window->rect().contains(at))
            cut << QStringLiteral("outside: ") + text;
        else if (!qobject_cast<QAbstractItemView*>(w) && w->width() < w->minimumSizeHint().width())
            cut << QStringLiteral("cut: ") + text;
    }
    return cut;
}

// Header lines and cell texts wider than their column, or header lines taller
// than the header.
QStringList CutGridTexts(const QTableView* view) {
    constexpr int kMargin = 6; // room a header needs beside its text
    const QHeaderView* header = view->horizontalHeader();
    const QFontMetrics heads(header->font());
    const QFontMetrics cells(view->font());
    const QAbstractItemModel* model = view->model();
    QStringList cut;
    for (int col = 0; col < model->columnCount(); ++col) {
        if (view->isColumnHidden(col))
            continue;
        const QString label = model->headerData(col, Qt::Horizontal).toString();
        const QStringList lines = label.split(QLatin1Char('\n'));
        // The header's words all there ...
        if (lines.join(QLatin1Char(' ')) !=
            model->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString())
            cut << label + QStringLiteral(" is not its whole name");
        // ... each line within its column ...
        for (const QString& line : lines)
            if (heads.horizontalAdvance(line) + 2 * kMargin > view->columnWidth(col))
                cut << line + QStringLiteral(" wider than its column");
        // ... every cell's text within it ...
        for (int row = 0; row < model->rowCount(); ++row)
            if (cells.horizontalAdvance(model->index(row, col).data().toString()) + 2 * kMargin >
                view->columnWidth(col))
                cut << label + QStringLiteral(" row %1 wider than its column").arg(row + 1);
        // ... and every line within the header's height.
        if (heads.lineSpacing() * lines.size() > header->height())
            cut << label + QStringLiteral(" taller than the header");
    }
    return cut;
}

// The entries with a letter a window shows now: buttons, labels of a
// control, group titles and tabs. Labels with a letter but no control to
// go to are listed in `dead`.
std::map<QString, QStringList> WindowLetters(QWidget* window, QStringList& dead) {
    std::map<QString, QStringList> letters;
    const auto add = [&letters](const QString& text) {
        if (const QString m = Mnemonic(text); !m.isEmpty())
            letters[m] << text;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            add(button->text());
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            if (Mnemonic(label->text()).isEmpty())
                continue;
            if (label->buddy() == nullptr || !label->buddy()->isVisibleTo(window))
                dead << label->text();
            else
                add(label->text());
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            add(box->title());
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i));
        }
    }
    return letters;
}

// Everything wrong with a window's page as shown now, each fault named.
QStringList PageFaults(QDialog* window) {
    // Layouts a filled list or a switched page asked for are carried out
    // before the window is painted; measure after them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QStringList faults = CutControls(window);
    const QRect screen = window->screen()->availableGeometry();
    if (window->frameGeometry().width() > screen.width() ||
        window->frameGeometry().height() > screen.height())
        faults << QStringLiteral("larger than the screen");
    for (HEditorForm* form : window->findChildren<HEditorForm*>())
        if (form->isVisibleTo(window))
            if (const QString fault = LayoutFaults(*form); !fault.isEmpty())
                faults << fault;
    for (HEditorGrid* grid : window->findChildren<HEditorGrid*>())
        if (grid->isVisibleTo(window))
            faults << CutGridTexts(grid->View());
    QStringList dead;
    faults << Twice(WindowLetters(window, dead));
    for (const QString& label : dead)
        faults << label + QStringLiteral(" goes nowhere");
    return faults;
}

} // namespace

class EditorLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void everyRegisteredWindowIsWholeAndReachable();
    void hiddenHardwareItemsTakeNoPlace();
};

void EditorLayoutTest::everyRegisteredWindowIsWholeAndReachable() {
    for (int level : {0, 1}) {
        KeyboardApp keys(level);
        QVERIFY(keys.Ready());
        QStringList faults;
        int windows = 0;
        int grids = 0;
        for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
            const QString section =
                QString::fromUtf8(entry.section.data(), qsizetype(entry.section.size()));
            QTimer::singleShot(0, [&] {
                QDialog* window = WaitForActiveDialog();
                if (window == nullptr) {
                    faults << section + QStringLiteral(": no window");
                    return;
                }
                auto* sheet = qobject_cast<HPropertySheet*>(window);
                for (int page = 0; page < (sheet ? sheet->PageCount() : 1); ++page) {
                    if (sheet != nullptr)
                        sheet->SetActivePage(page);
                    ++windows;
                    const QString name = section + QStringLiteral("-%1").arg(page + 1);
                    if (level == 0)
                        ShootScreen(name);
                    SaveShot(window, name + QStringLiteral("-level%1").arg(level));
                    for (HEditorGrid* grid : window->findChildren<HEditorGrid*>())
                        grids += grid->isVisibleTo(window) ? 1 : 0;
                    for (const QString& fault : PageFaults(window))
                        faults << QStringLiteral("level %1 %2: %3").arg(level).arg(name, fault);
                }
                window->reject();
            });
            HCommonMenu::Run(*keys.run.frame, keys.run.app, entry);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        // Common 1-14 and their pages; Type, ANI, DTMF, DTMF Code, Paging; the
        // 2-tone table, system, decode and its option page, encode and its
        // option page; 5-tone common 1 and 2, table, system, decode, encode.
        QCOMPARE(windows, 31);
        // 2-tone system, decode, encode; 5-tone table, system, decode, encode; paging.
        QCOMPARE(grids, 8);
    }
}

void EditorLayoutTest::hiddenHardwareItemsTakeNoPlace() {
    for (int level : {0, 1}) {
        TempHome home;
        RunningApp run(level);
        QVERIFY(run.frame != nullptr);
        bool looked = false;
        MessageAnswers answers(QMessageBox::Yes);
        ModalDriver<HDialog> driver([&](HDialog* dialog) {
            HEditorForm& form = *dialog->Form();
            const HEditor& editor = form.Editor();
            const std::size_t acont = editor.FindItem("&ACONT Timing");
            const std::size_t txPower = editor.FindItem("&Mobile TX Power");
            const std::size_t handheldKey = editor.FindItem("Handheld &key");
            QVERIFY(acont < editor.ItemCount() && txPower < editor.ItemCount() &&
                    handheldKey < editor.ItemCount());
            auto* grid = qobject_cast<QGridLayout*>(form.layout());
            QVERIFY(grid);
            QCOMPARE(grid->indexOf(form.Control(acont)) >= 0, level > 0);
            QCOMPARE(grid->indexOf(form.Label(acont)) >= 0, level > 0);
            QVERIFY(grid->indexOf(form.Control(txPower)) >= 0); // a mobile
            QVERIFY(grid->indexOf(form.Control(handheldKey)) < 0);
            if (level > 0) {
                // A handheld: its own combos come in, the mobile's go, no gaps
                // (the layout is made anew: `grid` is gone).
                PickIndex(form.Combo(HCommonItems::HardwareItem::kProductType), 1);
                auto* after = qobject_cast<QGridLayout*>(form.layout());
                QVERIFY(after);
                QVERIFY(after->indexOf(form.Control(handheldKey)) >= 0);
                QVERIFY(after->indexOf(form.Control(txPower)) < 0);
                QCOMPARE(LayoutFaults(form), QString());
                SaveShot(dialog, QStringLiteral("hardware-layout-handheld"));
            }
            looked = true;
            dialog->reject();
        });
        QVERIFY(run.frame->RunCommand(HCommonCmd::kHardware));
        QVERIFY(driver.Fired());
        QVERIFY(looked);
    }
}

RP57_APP_TEST(EditorLayoutTest)

#include "EditorLayoutTest.moc"
