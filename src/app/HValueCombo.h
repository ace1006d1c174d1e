#pragma once
// The choice-list combo box: a drop-down list whose entries carry stored codes.
// The selection logic lives in HValueSelection; the widget only shows it. A
// stored code that no entry offers is shown with no selection and read back
// unchanged.
#include "HValueSelection.h"

#include <QComboBox>

#include <cstdint>

class HValueCombo : public QComboBox {
    Q_OBJECT
public:
    explicit HValueCombo(QWidget* parent = nullptr);

    // Standalone use (dialogs not built from an editor description).
    void Fill(const HChoiceList& list);
    void AddItem(const QString& text, std::int32_t code);
    void SelectByValue(std::int32_t code);
    void SelectByValue(std::int32_t code, std::int32_t fallback);
    [[nodiscard]] std::int32_t GetSelectedValue() const { return m_selection.GetSelectedValue(); }
    [[nodiscard]] const HValueSelection& Selection() const { return m_selection; }

    // Editor use: shows the editor's state of the item (entries rebuilt only
    // when they changed, then the selection, -1 showing none).
    void Mirror(const HValueSelection& state);

signals:
    // The user picked entry `index`.
    void UserPicked(int index);

private:
    void ShowEntries();
    void ShowSelection();

    HValueSelection m_selection;
};
