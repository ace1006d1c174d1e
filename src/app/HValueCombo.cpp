#include "HValueCombo.h"
#include "HQtText.h"

#include <QSignalBlocker>

HValueCombo::HValueCombo(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // A long list (the 256 COM ports, generated ranges) scrolls instead of
    // covering the screen.
    setMaxVisibleItems(16);
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_selection.SelectIndex(index);
        emit UserPicked(index);
    });
}

void HValueCombo::Fill(const HChoiceList& list) {
    m_selection.Fill(list);
    ShowEntries();
}

void HValueCombo::AddItem(const QString& text, std::int32_t code) {
    m_selection.AddItem(text.toStdString(), code);
    ShowEntries();
}

void HValueCombo::SelectByValue(std::int32_t code) {
    m_selection.SelectByValue(code);
    ShowSelection();
}

void HValueCombo::SelectByValue(std::int32_t code, std::int32_t fallback) {
    m_selection.SelectByValue(code, fallback);
    ShowSelection();
}

void HValueCombo::Mirror(const HValueSelection& state) {
    const bool sameEntries = std::equal(state.Items().begin(), state.Items().end(),
                                        m_selection.Items().begin(), m_selection.Items().end());
    m_selection = state;
    if (!sameEntries || count() != static_cast<int>(state.Count()))
        ShowEntries();
    else
        ShowSelection();
}

void HValueCombo::ShowEntries() {
    const QSignalBlocker blocker(this);
    clear();
    for (const HChoiceItem& item : m_selection.Items())
        addItem(ToQString(item.text), item.code);
    ShowSelection();
}

void HValueCombo::ShowSelection() {
    const QSignalBlocker blocker(this);
    setCurrentIndex(m_selection.SelectedIndex());
}
