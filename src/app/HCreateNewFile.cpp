#include "HCreateNewFile.h"

#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HModelEditor.h"
#include "HQtText.h"
#include "HStringTable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

HCreateNewFile::HCreateNewFile(HModelEditor& editor, QWidget* parent)
    : QDialog(parent), m_editor(editor) {
    HLOG_D1("[FUNC IN]HCreateNewFile");
    setObjectName(QStringLiteral("dialog%1").arg(HModel::kDialogId));
    setWindowTitle(ToQString(m_editor.Caption()));

    auto* form = new QFormLayout;
    m_form = form;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    for (std::size_t i = 0; i < m_editor.ItemCount(); ++i) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(
            QStringLiteral("combo%1").arg(HModel::kFirstControlId + static_cast<std::uint32_t>(i)));
        combo->setMinimumWidth(
            combo->fontMetrics().horizontalAdvance(QStringLiteral("13Seg LCD Type")) + 40);
        auto* label = new QLabel(ToQString(m_editor.Item(i).label), this);
        label->setBuddy(combo);
        form->addRow(label, combo);
        m_labels.push_back(label);
        m_combos.push_back(combo);
        m_revisions.push_back(0);
        connect(combo, &QComboBox::activated, this, [this, i](int index) { OnPicked(i, index); });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &HCreateNewFile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &HCreateNewFile::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_editor.SetPrompt(this);
    m_editor.Open();
    for (std::size_t i = 0; i < m_combos.size(); ++i)
        m_revisions[i] = m_editor.Combo(i).ItemsRevision() + 1; // forces the first fill
    Mirror();
}

HCreateNewFile::~HCreateNewFile() {
    m_editor.SetPrompt(nullptr);
    HLOG_D1("[FUNC OUT]HCreateNewFile");
}

QComboBox* HCreateNewFile::Combo(std::size_t item) const {
    return item < m_combos.size() ? m_combos[item] : nullptr;
}

void HCreateNewFile::Mirror() {
    for (std::size_t i = 0; i < m_combos.size(); ++i) {
        QComboBox* combo = m_combos[i];
        const HValueSelection& state = m_editor.Combo(i);
        const QSignalBlocker block(combo);
        if (m_revisions[i] != state.ItemsRevision()) {
            combo->clear();
            for (const HChoiceItem& item : state.Items())
                combo->addItem(QString::fromStdString(item.text), item.code);
            m_revisions[i] = state.ItemsRevision();
        }
        combo->setCurrentIndex(state.SelectedIndex());
        combo->setEnabled(m_editor.IsEnabled(i));
        m_labels[i]->setEnabled(m_editor.IsEnabled(i));
        // The row goes with its label, so a hidden list leaves no gap.
        m_form->setRowVisible(combo, m_editor.IsVisible(i));
    }
    // The fixed-size dialog shrinks or grows with the rows shown now.
    if (layout())
        layout()->activate();
}

void HCreateNewFile::OnPicked(std::size_t item, int index) {
    m_editor.UserSelect(item, index);
    Mirror();
}

void HCreateNewFile::accept() {
    if (m_editor.Confirm() != 0)
        return;
    QDialog::accept();
}

bool HCreateNewFile::AskYesNo(std::string_view text) {
    return HMessageBox::AskYesNo(this, QMessageBox::Warning, std::string(text));
}

void HCreateNewFile::ShowMessage(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(HMessageBox::kCaption),
                    ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::Ok, this);
    box.exec();
}
