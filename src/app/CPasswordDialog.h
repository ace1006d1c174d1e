#pragma once
// The "Password" dialog that confirms an access level asked for on the command line.
#include <QDialog>
#include <QString>

class QLineEdit;

class CPasswordDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEditId = 1073;

    explicit CPasswordDialog(QWidget* parent = nullptr);
    ~CPasswordDialog() override;

    // The text typed into the edit box (starts empty).
    [[nodiscard]] QString Code() const;

    void accept() override;

private:
    QLineEdit* m_edit;
};
