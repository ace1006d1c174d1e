#include "CToneDlg.h"

#include "HLogPrint.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CToneDlg::CToneDlg(const QString& title, const QStringList& choices, int selected, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)) {
    HLOG_D1("[FUNC IN]CToneDlg");
    setObjectName(QStringLiteral("CToneDlg"));
    setWindowTitle(title);
    m_list->setObjectName(QStringLiteral("toneList"));
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->addItems(choices);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    if (selected >= 0 && selected < m_list->count()) {
        m_list->setCurrentRow(selected);
        m_list->scrollToItem(m_list->item(selected), QAbstractItemView::PositionAtCenter);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    m_list->setMinimumWidth(m_list->fontMetrics().horizontalAdvance(QStringLiteral("D-000 N")) +
                            80);
    resize(sizeHint().width(), 360);
    HLOG_D1("[FUNC OUT]CToneDlg");
}

int CToneDlg::Selected() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item && item->isSelected() ? m_list->row(item) : -1;
}
