// A 2-tone grid in the real editor form, offscreen, edited with the keyboard:
// a pop-up list opened with Space and picked with the arrow keys, a tick
// toggled with Space, and OK.
#include "AppTestSupport.h"
#include "HDialog.h"
#include "HEditorForm.h"
#include "HEditorGrid.h"
#include "HEditorRegistry.h"
#include "HGridTableModel.h"
#include "HHardwareGroup.h"
#include "HPropertyPage.h"
#include "HPropertySheet.h"
#include "HRpFlexgrid.h"

namespace {

HMemoryImage RadioWithDisplay() {
    HMemoryImage image = BuildDefaultImage();
    HHardwareGroup hardware;
    hardware.Load(image);
    hardware.SetValue(HHardwareGroup::kRowDisplayMobile, 1);
    hardware.Save(image);
    return image;
}

template <class Editor, std::size_t N>
std::unique_ptr<Editor> Make(const std::array<HEditorPageEntry, N>& pages, HMemoryImage& image) {
    return std::make_unique<Editor>(pages[0].dialogId, pages[0].caption, pages[0].items,
                                    HEditorContext{&image, 0});
}

} // namespace

class TwoToneGridTest : public QObject {
    Q_OBJECT
private slots:
    void decodeGridEditedWithTheKeyboard();
    void systemTicksToggleWithSpace();
};

void TwoToneGridTest::decodeGridEditedWithTheKeyboard() {
    HMemoryImage image = RadioWithDisplay();
    auto editor = Make<HTwoToneDecodeEditor>(HEditorRegistry::kTwoToneDecodePages, image);
    HDialog dialog(*editor);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* grid = dialog.findChild<HEditorGrid*>();
    QVERIFY(grid != nullptr);
    HRpFlexgrid* view = grid->View();

    view->setFocus();
    // Row 2, Mute Mode: Space opens the list, Down and Enter pick the next entry.
    editor->GridCore().Records().SetField(1, HTwoToneTables::kDecMuteMode, 0);
    view->setCurrentIndex(grid->Model()->index(1, 4));
    QTest::keyClick(view, Qt::Key_Space);
    auto* combo = view->findChild<QComboBox*>();
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->currentIndex(), 0);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(grid->Model()->index(1, 4).data().toString(), QStringLiteral("Open "));

    dialog.OkButton()->setFocus();
    QTest::keyClick(dialog.OkButton(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const std::size_t record = 0x1F7D + 23;
    QCOMPARE((image[record + 1] >> 4) & 3, 1);
}

void TwoToneGridTest::systemTicksToggleWithSpace() {
    HMemoryImage image = RadioWithDisplay();
    auto editor = Make<HTwoToneSystemEditor>(HEditorRegistry::kTwoToneSystemPages, image);
    HDialog dialog(*editor);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* grid = dialog.findChild<HEditorGrid*>();
    QVERIFY(grid != nullptr);
    const int duty = editor->GridCore().ColumnNamed("duty");
    const bool before = (image[0x1C9D + 3 * 10 + 1] & 0x02) != 0;
    grid->View()->setFocus();
    grid->View()->setCurrentIndex(grid->Model()->index(3, duty));
    QTest::keyClick(grid->View(), Qt::Key_Space);
    QCOMPARE(grid->Model()->index(3, duty).data(HGridTableModel::TickRole).toInt(),
             int(before ? HTickState::Unticked : HTickState::TickedInUse));
    // Cancel writes nothing.
    dialog.reject();
    QCOMPARE((image[0x1C9D + 3 * 10 + 1] & 0x02) != 0, before);
    // The grid fits its 17 columns without clipping a header's longest word.
    const QFontMetrics header(grid->View()->horizontalHeader()->font());
    for (int col = 0; col < grid->Model()->columnCount(); ++col)
        QVERIFY(grid->View()->columnWidth(col) >=
                header.horizontalAdvance(grid->Model()
                                             ->headerData(col, Qt::Horizontal, Qt::DisplayRole)
                                             .toString()
                                             .split(' ')
                                             .front()));
}

RP57_APP_TEST(TwoToneGridTest)
#include "TwoToneGridTest.moc"
