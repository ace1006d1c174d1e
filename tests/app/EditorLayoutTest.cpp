// Items an editor hides take no place in its dialog: the Hardware dialog at
// the ordinary level without the ACONT Timing edit and the other product
// type's combos, and the same dialog re-flowed when a change shows or hides
// items. With RP57_SHOT_DIR set, the dialogs are also saved as PNGs.
#include "AppTestSupport.h"
#include "HDialog.h"
#include "HEditorForm.h"
#include "HEditorRegistry.h"

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

void Shoot(QWidget* dialog, const QString& name) {
    const QString dir = qEnvironmentVariable("RP57_SHOT_DIR");
    if (!dir.isEmpty())
        dialog->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class EditorLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void hiddenHardwareItemsTakeNoPlace();
};

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
            QCOMPARE(LayoutFaults(form), QString());
            Shoot(dialog, QStringLiteral("hardware-layout-level%1").arg(level));
            if (level > 0) {
                // A handheld: its own combos come in, the mobile's go, no gaps
                // (the layout is made anew: `grid` is gone).
                HValueCombo* product = form.Combo(HCommonItems::HardwareItem::kProductType);
                product->setCurrentIndex(1);
                emit product->activated(1);
                auto* after = qobject_cast<QGridLayout*>(form.layout());
                QVERIFY(after);
                QVERIFY(after->indexOf(form.Control(handheldKey)) >= 0);
                QVERIFY(after->indexOf(form.Control(txPower)) < 0);
                QCOMPARE(LayoutFaults(form), QString());
                Shoot(dialog, QStringLiteral("hardware-layout-handheld"));
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
