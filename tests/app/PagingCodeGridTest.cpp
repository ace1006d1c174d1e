// The Paging Code grid edited with the keyboard in the real dialog: a code
// typed through the column's key filter, Status and Action picked from their
// pop-up lists, nothing in the image before OK, then exactly the record's bits.
#include "AppTestSupport.h"
#include "HDefaultImage.h"
#include "HDialog.h"
#include "HEditorRegistry.h"
#include "HPagingCodeEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace {

void MoveTo(QTableView* grid, int row, int col) {
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    for (int r = 0; r < row; ++r)
        QTest::keyClick(grid, Qt::Key_Down);
    for (int c = 0; c < col; ++c)
        QTest::keyClick(grid, Qt::Key_Right);
}

// The first key opens the cell's editor, which takes the rest; Return commits.
// Returns what the editor held before Return.
QString Type(QTableView* grid, int row, int col, const QString& keys) {
    MoveTo(grid, row, col);
    QTest::keyClicks(grid, keys.left(1));
    auto* edit = grid->findChild<QLineEdit*>();
    if (edit == nullptr)
        return QStringLiteral("<no editor>");
    QTest::keyClicks(edit, keys.mid(1));
    const QString typed = edit->text();
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return typed;
}

// Space opens the list of a list cell; `down` presses of Down, then Return.
void Pick(QTableView* grid, int row, int col, int down) {
    MoveTo(grid, row, col);
    QTest::keyClick(grid, Qt::Key_Space);
    auto* list = grid->findChild<QComboBox*>();
    QVERIFY(list != nullptr);
    for (int i = 0; i < down; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::processEvents();
    // The list editor goes only when deferred deletes run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Cell(QTableView* grid, int row, int col) {
    return grid->model()->index(row, col).data().toString();
}

} // namespace

class PagingCodeGridTest : public QObject {
    Q_OBJECT
private slots:
    void gridEditedWithTheKeyboard();
};

void PagingCodeGridTest::gridEditedWithTheKeyboard() {
    HMemoryImage image = BuildDefaultImage();
    const HMemoryImage before = image;
    const HEditorPageEntry& page = HEditorRegistry::FindBySection("paging_code")->pages[0];
    std::unique_ptr<HEditor> editor = page.make(page, HEditorContext{&image, 0});
    HDialog dialog(*editor);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* grid = dialog.findChild<QTableView*>();
    QVERIFY(grid != nullptr);
    QCOMPARE(grid->model()->rowCount(), 10);
    QCOMPARE(Cell(grid, 9, 0), QStringLiteral("Page  0"));

    // Page 3's code: E, # and x are no paging digits, b goes in as B.
    QCOMPARE(Type(grid, 2, 1, QStringLiteral("7Ex#b1")), QStringLiteral("7B1"));
    QCOMPARE(Cell(grid, 2, 1), QStringLiteral("7B1"));
    // Two digits are refused: the cell keeps its code, and the line under
    // the grid says what the cell takes.
    auto* note = dialog.findChild<QLabel*>(QStringLiteral("gridNote"));
    QVERIFY(note != nullptr);
    QVERIFY(note->isHidden());
    Type(grid, 2, 1, QStringLiteral("12"));
    QCOMPARE(Cell(grid, 2, 1), QStringLiteral("7B1"));
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("Code: \"12\" is not allowed; exactly 3 of 0-9 and A-D"));
    SaveShot(&dialog, QStringLiteral("paging"));
    // Still being typed when OK is pressed: refused, and the dialog stays.
    MoveTo(grid, 2, 1);
    QTest::keyClicks(grid, QStringLiteral("4"));
    auto* open = grid->findChild<QLineEdit*>();
    QVERIFY(open != nullptr);
    QTest::keyClicks(open, QStringLiteral("5"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Cell(grid, 2, 1), QStringLiteral("7B1"));
    QCOMPARE(image, before);
    // A code taken clears the note.
    QCOMPARE(Type(grid, 2, 1, QStringLiteral("7b1")), QStringLiteral("7B1"));
    QVERIFY(note->isHidden());
    Pick(grid, 2, 2, 1); // ENC & DEC
    Pick(grid, 2, 3, 2); // two steps down from Normal: the list stays open between them
    QCOMPARE(Cell(grid, 2, 2), QStringLiteral("ENC & DEC"));
    QCOMPARE(Cell(grid, 2, 3), QStringLiteral("Stun"));
    QCOMPARE(image, before); // nothing before OK

    dialog.OkButton()->setFocus();
    QTest::keyClick(dialog.OkButton(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // Page 3 at 0x362 + 4: [ Stun | ENC & DEC | carried bit | 7 ] [ B | 1 ].
    const std::size_t at = 0x366;
    QCOMPARE(int(image[at]), (2 << 6) | 0x27 | (before[at] & 0x10));
    QCOMPARE(int(image[at + 1]), 0xB1);
    for (std::size_t i = 0; i < image.size(); ++i)
        if (i != at && i != at + 1)
            QCOMPARE(image[i], before[i]);
}

RP57_APP_TEST(PagingCodeGridTest)
#include "PagingCodeGridTest.moc"
