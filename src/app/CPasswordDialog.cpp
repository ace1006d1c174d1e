#include "CPasswordDialog.h"

#include "HLogPrint.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPasswordDialog::CPasswordDialog(QWidget* parent)
    : QDialog(parent), m_edit(new QLineEdit(this)), m_prompt(new QLabel(this)) {
    HLOG_D1("[FUNC IN]CPasswordDialog::OnInitDialog");
    setWindowTitle(QStringLiteral("Password"));
    setObjectName(QStringLiteral("CPasswordDialog"));
    m_edit->setObjectName(QStringLiteral("edit%1").arg(kEditId));
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setMinimumWidth(220);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPasswordDialog::reject);

    m_prompt->setObjectName(QStringLiteral("passwordPrompt"));
    m_prompt->setBuddy(m_edit);
    m_prompt->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_edit->setFocus();
    HLOG_D1("[FUNC OUT]CPasswordDialog::OnInitDialog");
}

CPasswordDialog::~CPasswordDialog() = default;

QString CPasswordDialog::Code() const {
    return m_edit->text();
}

void CPasswordDialog::SetPrompt(const QString& text) {
    m_prompt->setText(text);
    m_prompt->setVisible(!text.isEmpty());
}

void CPasswordDialog::accept() {
    HLOG_D1("[FUNC IN]CPasswordDialog::OnOK");
    QDialog::accept();
    HLOG_D1("[FUNC OUT]CPasswordDialog::OnOK");
}
