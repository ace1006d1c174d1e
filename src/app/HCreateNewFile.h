#pragma once
// The "Model" dialog of File > New: renders the model editor's four lists
// (band, product type and the display type of each product type) and asks its
// questions with message boxes.
#include "HEditorPrompt.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class HModelEditor;
class QComboBox;
class QFormLayout;
class QLabel;

class HCreateNewFile : public QDialog, private HEditorPrompt {
    Q_OBJECT
public:
    HCreateNewFile(HModelEditor& editor, QWidget* parent = nullptr);
    ~HCreateNewFile() override;

    // The list of an item (HModel::kItem...); its object name is "combo" and
    // the control id (5911 to 5914).
    [[nodiscard]] QComboBox* Combo(std::size_t item) const;

    void accept() override;

private:
    bool AskYesNo(std::string_view text) override;
    void ShowMessage(std::string_view text) override;
    void Mirror();
    void OnPicked(std::size_t item, int index);

    HModelEditor& m_editor;
    QFormLayout* m_form = nullptr;
    std::vector<QLabel*> m_labels;
    std::vector<QComboBox*> m_combos;
    std::vector<std::uint32_t> m_revisions;
};
