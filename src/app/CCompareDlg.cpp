#include "CCompareDlg.h"

#include "HQtText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { kSection, kSetting, kA, kB, kColumns };

QString Cell(bool present, const std::string& text) {
    return present ? ToQString(text) : QStringLiteral("(none)");
}

} // namespace

CCompareDlg::CCompareDlg(std::vector<HDiffLine> lines, const QString& aName, const QString& bName,
                         QWidget* parent, const QString& aLabel)
    : QDialog(parent), m_lines(std::move(lines)) {
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(QStringLiteral("Compare With"));

    auto* files = new QFormLayout;
    files->addRow(aLabel, new QLabel(aName, this));
    files->addRow(QStringLiteral("B:"), new QLabel(bName, this));

    m_section = new QComboBox(this);
    m_section->setObjectName(QStringLiteral("compareSection"));
    m_section->addItem(QStringLiteral("All sections"), QString());
    for (const HDiffLine& l : m_lines) {
        const QString s = ToQString(l.section);
        if (m_section->findData(s) < 0)
            m_section->addItem(ToQString(HImageDiff::SectionCaption(l.section)), s);
    }
    files->addRow(QStringLiteral("&Section:"), m_section);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("compareSummary"));

    m_table = new QTableWidget(0, kColumns, this);
    m_table->setObjectName(QStringLiteral("compareTable"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Section"), QStringLiteral("Setting"),
                                        QStringLiteral("A"), QStringLiteral("B")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // One line a row: a long value is cut (its tip holds it), never wrapped.
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_section, &QComboBox::currentIndexChanged, this, &CCompareDlg::Fill);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(files);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    resize(860, 520);
    Fill();
}

void CCompareDlg::ShowSection(const QString& section) {
    const int index = m_section->findData(section);
    m_section->setCurrentIndex(index < 0 ? 0 : index);
}

int CCompareDlg::ShownRows() const {
    return m_table->rowCount();
}

void CCompareDlg::Fill() {
    const QString section = m_section->currentData().toString();
    m_table->setRowCount(0);
    for (const HDiffLine& l : m_lines) {
        if (!section.isEmpty() && ToQString(l.section) != section)
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const QString texts[kColumns] = {ToQString(HImageDiff::SectionCaption(l.section)),
                                         ToQString(HImageDiff::ShownCaption(l)), Cell(l.inA, l.a),
                                         Cell(l.inB, l.b)};
        // The stable key (as rp57cli diff names it) is the row's tip.
        const QString key = ToQString(l.key);
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setToolTip(c >= kA ? key + QStringLiteral(": ") + texts[c] : key);
            item->setData(Qt::UserRole, key);
            m_table->setItem(row, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    for (int c = 0; c < kColumns; ++c)
        m_table->setColumnWidth(c, std::min(m_table->columnWidth(c), width() / 3));
    m_summary->setText(m_lines.empty()
                           ? QStringLiteral("The files hold the same settings and channels.")
                           : QStringLiteral("%1 differences; %2 shown.")
                                 .arg(m_lines.size())
                                 .arg(m_table->rowCount()));
}
