#pragma once
// The modal settings dialog that renders any editor description: its items as
// labelled controls, OK and Cancel. Opening runs the editor's opening hooks;
// OK (from the OK button only, never Enter in a control) runs the saving hooks
// and StoreData, and stays open when the editor's own check refuses; Cancel
// writes nothing. F1 opens the help at the focused control's context id, or at
// 0x20000 plus the dialog's resource id.
#include "HEditor.h"

#include <QDialog>

#include <cstdint>

class HEditorForm;
class QKeyEvent;
class QPushButton;

// Enter presses a push button that has the focus and nothing else, so Enter in
// a control never closes a dialog. True when the key was Enter.
bool PressFocusedButtonOnEnter(QWidget& dialog, QKeyEvent* event);
// The width a window needs for its whole title beside a title bar's icon and
// buttons.
[[nodiscard]] int MinimumWidthForTitle(const QWidget& window);

class HDialog : public QDialog {
    Q_OBJECT
public:
    // The editor outlives the dialog. Its Open() runs here.
    explicit HDialog(HEditor& editor, QWidget* parent = nullptr);
    ~HDialog() override;

    [[nodiscard]] HEditor& Editor();
    [[nodiscard]] HEditorForm* Form() const { return m_form; }
    [[nodiscard]] QPushButton* OkButton() const { return m_ok; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancel; }

    // The help context for the control that has the focus now.
    [[nodiscard]] std::uint32_t CurrentHelpContext() const;
    // Opens the help window at this context id.
    void ShowHelp(std::uint32_t contextId);

    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    HEditorForm* m_form;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
