#pragma once
// The controls of one editor description, laid out and kept in step with it:
// one labelled control per item in item order (combo, validated edit, check
// box or static text), every user change reported to the editor and every item
// shown again afterwards. HDialog shows one form; a property page is one.
#include "HEditor.h"
#include "HEditorPrompt.h"

#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class HEdit;
class HValueCombo;
class QCheckBox;
class QLabel;

class HEditorForm : public QWidget, public HEditorPrompt {
    Q_OBJECT
public:
    // More items than this go into two columns.
    static constexpr std::size_t kRowsPerColumn = 14;

    HEditorForm(HEditor& editor, QWidget* parent = nullptr);
    ~HEditorForm() override;

    [[nodiscard]] HEditor& Editor() { return m_editor; }
    [[nodiscard]] const HEditor& Editor() const { return m_editor; }

    // Runs the editor's opening hooks and shows the result.
    void Open();
    // Shows every item's state as the editor holds it now.
    void Mirror();
    // Hands a text still being typed to the editor (before OK); false when
    // the editor refused one.
    bool CommitTyping();
    // The OK sequence: typing committed, then the editor's Confirm(); a
    // refused text or a non-zero result (the editor's own check failed)
    // leaves the form open.
    [[nodiscard]] int Confirm();

    // The item a widget belongs to (the control, its label or a child).
    [[nodiscard]] std::optional<std::size_t> ItemOf(const QWidget* widget) const;
    // The help context for F1 with this widget focused.
    [[nodiscard]] std::uint32_t HelpContextFor(const QWidget* focus) const;

    [[nodiscard]] QWidget* Control(std::size_t item) const;
    // The control that takes the focus when the form opens: the first shown,
    // enabled item that takes input; null when there is none.
    [[nodiscard]] QWidget* FirstInputControl() const;
    [[nodiscard]] QLabel* Label(std::size_t item) const;
    [[nodiscard]] HValueCombo* Combo(std::size_t item) const;
    [[nodiscard]] HEdit* EditControl(std::size_t item) const;
    [[nodiscard]] QCheckBox* Check(std::size_t item) const;

    // The editor's questions and messages, as message boxes.
    [[nodiscard]] bool AskYesNo(std::string_view text) override;
    void ShowMessage(std::string_view text) override;

private:
    struct Row {
        QLabel* label = nullptr; // null for check boxes
        QWidget* control = nullptr;
    };

    void Build();
    // Places the items `shown` marks, in item order, in one or two columns.
    void LayOut(const std::vector<bool>& shown);

    HEditor& m_editor;
    bool m_refused = false; // the last text committed in an edit was refused
    std::vector<Row> m_rows;
    std::vector<bool> m_laidOut; // which items the layout holds
};
