#pragma once
// The "Password" dialog: the access code that confirms an access level asked
// for on the command line, and the radio's programming password.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

class CPasswordDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEditId = 1073;

    explicit CPasswordDialog(QWidget* parent = nullptr);
    ~CPasswordDialog() override;

    // The text typed into the edit box (starts empty).
    [[nodiscard]] QString Code() const;
    // A line above the edit box that says what is asked; none until set.
    void SetPrompt(const QString& text);
    [[nodiscard]] QLabel* Prompt() const { return m_prompt; }

    void accept() override;

private:
    QLineEdit* m_edit;
    QLabel* m_prompt;
};
