// The 2-tone and 5-tone grids in the real dialog, offscreen, edited with the
// keyboard as a technician does: every key goes to the window, which hands it
// to the widget with the focus (the grid, then the cell editor the first key
// opened), so a code typed into a text cell arrives whole. A list cell is
// picked with Space and the arrow keys, a tick toggled with Space, and OK is
// pressed from the keyboard.
#include "AppTestSupport.h"
#include "HDialog.h"
#include "HEditorGrid.h"
#include "HEditorRegistry.h"
#include "HGridTableModel.h"
#include "HRpFlexgrid.h"
#include "HTwoToneEditors.h"

namespace {

HMemoryImage RadioWithDisplay() {
    HMemoryImage image = BuildDefaultImage();
    GiveDisplay(image);
    return image;
}

// The editor of a registry section's first page over `image`.
std::unique_ptr<HEditor> Open(const char* section, HMemoryImage& image) {
    const HEditorPageEntry& page = HEditorRegistry::FindBySection(section)->pages[0];
    return page.make(page, HEditorContext{&image, 0});
}

// Runs what a closed cell editor left behind (its deferred delete).
void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The dialog of an editor shown, active, its grid's cell (row, col) current.
struct GridDialog {
    HDialog dialog;
    HEditorGrid* grid = nullptr;
    explicit GridDialog(HEditor& editor) : dialog(editor) {
        dialog.show();
        dialog.activateWindow();
        if (QTest::qWaitForWindowActive(&dialog))
            grid = dialog.findChild<HEditorGrid*>();
    }
    void GoTo(int row, int col) const {
        grid->View()->setFocus();
        grid->View()->setCurrentIndex(grid->Model()->index(row, col));
    }
    [[nodiscard]] QString Cell(int row, int col) const {
        return grid->Model()->index(row, col).data().toString();
    }
    // Types into the cell; Return commits. What the cell editor held before Return.
    QString Type(int row, int col, const QString& keys) {
        GoTo(row, col);
        TypeKeys(&dialog, keys);
        auto* edit = grid->View()->findChild<QLineEdit*>();
        QString typed = edit != nullptr ? edit->text() : QStringLiteral("<no editor>");
        // What was typed is in sight, not scrolled out of a narrow cell.
        if (edit != nullptr &&
            edit->fontMetrics().horizontalAdvance(typed) > edit->contentsRect().width() - 4)
            typed += QStringLiteral(" (cut)");
        Press(&dialog, Qt::Key_Return);
        Settle();
        return typed;
    }
    // Space opens the cell's list; Down `down` times, then Return.
    void Pick(int row, int col, int down) {
        GoTo(row, col);
        Press(&dialog, Qt::Key_Space);
        for (int i = 0; i < down; ++i)
            Press(&dialog, Qt::Key_Down);
        Press(&dialog, Qt::Key_Return);
        Settle();
    }
    void OkFromTheKeyboard() {
        dialog.OkButton()->setFocus();
        Press(&dialog, Qt::Key_Return);
    }
};

} // namespace

class SignallingGridTest : public QObject {
    Q_OBJECT
private slots:
    void twoToneDecodeTagAndListWithTheKeyboard();
    void twoToneSystemTicksToggleWithSpace();
    void fiveToneEncodeTypedAndPickedWithTheKeyboard();
    void fiveToneTableTypedWithTheKeyboard();
};

void SignallingGridTest::twoToneDecodeTagAndListWithTheKeyboard() {
    HMemoryImage image = RadioWithDisplay();
    const std::size_t record = 0x1F7D + 23; // DEC-02
    image[record + 1] &= 0xCF;              // Mute Mode "-----"
    auto editor = Open("two_tone_decode", image);
    GridDialog d(*editor);
    QVERIFY(d.grid != nullptr);
    // TAG: letters go upper case; '#' and '=' are no tag characters, '%' is.
    QCOMPARE(d.Type(1, 1, QStringLiteral("ab#1=%")), QStringLiteral("AB1%"));
    QCOMPARE(d.Cell(1, 1), QStringLiteral("AB1%"));
    // Mute Mode: Space opens the list, Down steps to "Open ", Return picks it.
    d.Pick(1, 4, 1);
    QCOMPARE(d.Cell(1, 4), QStringLiteral("Open "));
    d.OkFromTheKeyboard();
    QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&image[record + 11]), 8),
             QByteArray("AB1%\0\0\0\0", 8));
    QCOMPARE((image[record + 1] >> 4) & 3, 1);
}

void SignallingGridTest::twoToneSystemTicksToggleWithSpace() {
    HMemoryImage image = RadioWithDisplay();
    auto editor = Open("two_tone_system", image);
    GridDialog d(*editor);
    QVERIFY(d.grid != nullptr);
    const int duty = static_cast<HTwoToneSystemEditor&>(*editor).GridCore().ColumnNamed("duty");
    const bool before = (image[0x1C9D + 3 * 10 + 1] & 0x02) != 0;
    d.GoTo(3, duty);
    Press(&d.dialog, Qt::Key_Space);
    QCOMPARE(d.grid->Model()->index(3, duty).data(HGridTableModel::TickRole).toInt(),
             int(before ? HTickState::Unticked : HTickState::TickedInUse));
    // Cancel writes nothing.
    Press(&d.dialog, Qt::Key_Escape);
    QCOMPARE(d.dialog.result(), int(QDialog::Rejected));
    QCOMPARE((image[0x1C9D + 3 * 10 + 1] & 0x02) != 0, before);
}

void SignallingGridTest::fiveToneEncodeTypedAndPickedWithTheKeyboard() {
    HMemoryImage image = RadioWithDisplay();
    const std::size_t at = 0x1D3D + 3 * 18; // ENC No.4
    image[at] &= 0xFC;                      // AF Mute Mode "Disable"
    const HMemoryImage before = image;
    auto editor = Open("five_tone_encode", image);
    GridDialog d(*editor);
    QVERIFY(d.grid != nullptr);
    // ENC No.4: the code typed whole; F, x and # are no tone digits.
    QCOMPARE(d.Type(3, 1, QStringLiteral("12F3x#45")), QStringLiteral("12345"));
    QCOMPARE(d.Cell(3, 1), QStringLiteral("12345"));
    // Nine digits: the editor holds eight.
    QCOMPARE(d.Type(4, 1, QStringLiteral("abcde1234")), QStringLiteral("ABCDE123"));
    // The tag goes in upper case; '#' is no tag character.
    QCOMPARE(d.Type(3, 2, QStringLiteral("ab#1")), QStringLiteral("AB1"));
    QCOMPARE(d.Cell(3, 2), QStringLiteral("AB1"));
    // AF Mute Mode: two steps down from Disable.
    d.Pick(3, 3, 2);
    QCOMPARE(d.Cell(3, 3), QStringLiteral("Close"));
    QVERIFY(image == before); // nothing before OK

    d.OkFromTheKeyboard();
    QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    // ENC No.4: AF mute in byte 0 bits 0-1, the digits packed from byte 2
    // (15 in the unused places), the tag from byte 6.
    QCOMPARE(int(image[at] & 3), 2);
    QCOMPARE(Line({image[at + 2], image[at + 3], image[at + 4], image[at + 5]}),
             Line({0x12, 0x34, 0x5F, 0xFF}));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&image[at + 6]), 8),
             QByteArray("AB1\0\0\0\0\0", 8));
    // ENC No.5 from 0x1D3D + 4 * 18: A-E are 10-14.
    const std::size_t next = at + 18;
    QCOMPARE(Line({image[next + 2], image[next + 3], image[next + 4], image[next + 5]}),
             Line({0xAB, 0xCD, 0xE1, 0x23}));
    // Nothing outside the two records moved.
    for (std::size_t i = 0; i < image.size(); ++i)
        if (i < at || i >= next + 18)
            QCOMPARE(image[i], before[i]);
}

void SignallingGridTest::fiveToneTableTypedWithTheKeyboard() {
    HMemoryImage image = RadioWithDisplay();
    auto editor = Open("five_tone_table", image);
    GridDialog d(*editor);
    QVERIFY(d.grid != nullptr);
    // ZVEI1, tone 3: a frequency in Hz; letters are no part of it.
    QCOMPARE(d.Type(0, 5, QStringLiteral("1k060")), QStringLiteral("1060"));
    QCOMPARE(d.Cell(0, 5), QStringLiteral("1060"));
    // Value 2 of CCIR1 is kept in multiples of 5.
    QCOMPARE(d.Type(6, 19, QStringLiteral("73")), QStringLiteral("73"));
    QCOMPARE(d.Cell(6, 19), QStringLiteral("70"));
    d.OkFromTheKeyboard();
    QCOMPARE(d.dialog.result(), int(QDialog::Accepted));
    // 1060 Hz through the reference 2929: 1060 / 2929 * 10000 = 3619.0.
    const std::size_t tone = 0x2180 + 0 * 32 + 2 * 3;
    QCOMPARE(Line({image[tone], image[tone + 1]}), Line({3619 >> 8, 3619 & 0xFF}));
}

RP57_APP_TEST(SignallingGridTest)
#include "SignallingGridTest.moc"
