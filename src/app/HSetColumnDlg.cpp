#include "HSetColumnDlg.h"

#include "HQtText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

HSetColumnDlg::HSetColumnDlg(const HChannels& model, int channels, int column, QWidget* parent)
    : QDialog(parent), m_model(model), m_columns(new QComboBox(this)),
      m_values(new QComboBox(this)) {
    setObjectName(QStringLiteral("SetColumnDialog"));
    setWindowTitle(QStringLiteral("Set Column"));
    m_columns->setObjectName(QStringLiteral("columnList"));
    m_values->setObjectName(QStringLiteral("valueList"));
    for (int c : HChannelSheet::BulkColumns())
        m_columns->addItem(ToQString(HChannelColumns::Column(c)->header), c);
    const int at = m_columns->findData(column);
    m_columns->setCurrentIndex(at >= 0 ? at : 0);
    FillValues();
    connect(m_columns, &QComboBox::currentIndexChanged, this, &HSetColumnDlg::FillValues);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Column:"), m_columns);
    form->addRow(QStringLiteral("&Value:"), m_values);
    auto* count = new QLabel(
        channels == 1 ? QStringLiteral("For 1 selected channel.")
                      : QStringLiteral("For each of the %1 selected channels.").arg(channels),
        this);
    count->setObjectName(QStringLiteral("channelCount"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(count);
    layout->addWidget(buttons);
}

void HSetColumnDlg::FillValues() {
    m_choices = HChannelSheet::BulkChoices(Column(), m_model);
    m_values->clear();
    for (const HChannelSheet::HBulkChoice& choice : m_choices)
        m_values->addItem(QString::fromStdString(choice.label));
}

int HSetColumnDlg::Column() const {
    return m_columns->currentData().toInt();
}

std::string HSetColumnDlg::Text() const {
    const int i = m_values->currentIndex();
    return i >= 0 && i < static_cast<int>(m_choices.size())
               ? m_choices[static_cast<std::size_t>(i)].text
               : std::string();
}
