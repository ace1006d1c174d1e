#include "CFileDataDlg.h"

#include "HFileDataModel.h"
#include "HLogPrint.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

HHexByteEdit::HHexByteEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(2);
    // Pasted text passes the same rule as typed text.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), this));
    setAlignment(Qt::AlignCenter);
}

void HHexByteEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool printable = text.size() == 1 && text.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!printable) {
        // Backspace, Escape, Enter, the arrows and shortcuts keep their meaning.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString upper = text.toUpper();
    const QChar ch = upper.at(0);
    if (!((ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ||
          (ch >= QLatin1Char('A') && ch <= QLatin1Char('F')))) {
        event->accept();
        return;
    }
    QKeyEvent upperEvent(event->type(), event->key(), event->modifiers(), upper,
                         event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QLineEdit::keyPressEvent(&upperEvent);
    event->setAccepted(upperEvent.isAccepted());
}

QWidget* HHexByteDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* edit = new HHexByteEdit(parent);
    edit->setObjectName(QStringLiteral("hexByteEdit"));
    edit->setFrame(false);
    return edit;
}

CFileDataDlg::CFileDataDlg(HMemoryImage& image, int accessLevel, QWidget* parent)
    : QDialog(parent) {
    HLOG_D1("[FUNC IN]CFileDataDlg");
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("File Data"));

    m_model = new HFileDataModel(image, accessLevel, this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("fileDataGrid"));
    m_table->setModel(m_model);
    m_table->setItemDelegate(new HHexByteDelegate(m_table));
    m_table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(accessLevel == 0 ? QAbstractItemView::NoEditTriggers
                                              : QAbstractItemView::DoubleClicked |
                                                    QAbstractItemView::EditKeyPressed |
                                                    QAbstractItemView::AnyKeyPressed);
    const QFontMetrics metrics(m_table->font());
    const int cellWidth = metrics.horizontalAdvance(QStringLiteral("WW")) + 12;
    QHeaderView* columns = m_table->horizontalHeader();
    columns->setFont(m_table->font());
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultSectionSize(cellWidth);
    columns->setMinimumSectionSize(cellWidth);
    QHeaderView* rows = m_table->verticalHeader();
    rows->setFont(m_table->font());
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(metrics.height() + 6);
    rows->setDefaultAlignment(Qt::AlignCenter);
    m_table->setCornerButtonEnabled(false);
    m_table->setCurrentIndex(m_model->index(0, 0));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);

    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("1CA70h")) + 16;
    const int width = labelWidth + cellWidth * HFileDataModel::kBytesPerRow +
                      m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    m_table->setMinimumWidth(width);
    resize(width + 24, 520);
    HLOG_D1("[FUNC OUT]CFileDataDlg");
}
