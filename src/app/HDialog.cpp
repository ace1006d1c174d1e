#include "HDialog.h"

#include "HEditorForm.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

HDialog::HDialog(HEditor& editor, QWidget* parent)
    : QDialog(parent), m_form(new HEditorForm(editor, this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("HDialog%1").arg(editor.DialogId()));
    setWindowTitle(QString::fromStdString(editor.Caption()));
    m_ok->setObjectName(QStringLiteral("button1"));
    m_cancel->setObjectName(QStringLiteral("button2"));
    // No default button: Enter in a control must not confirm the dialog.
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_ok, &QPushButton::clicked, this, &HDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &HDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { ShowHelp(CurrentHelpContext()); });

    m_form->Open();
    if (QWidget* first = m_form->FirstInputControl())
        first->setFocus();
}

HDialog::~HDialog() = default;

HEditor& HDialog::Editor() {
    return m_form->Editor();
}

std::uint32_t HDialog::CurrentHelpContext() const {
    return m_form->HelpContextFor(focusWidget());
}

void HDialog::ShowHelp(std::uint32_t contextId) {
    HLOG_D2("HDialog::ShowHelp(0x%X)", contextId);
    HHelpWindow::Show(contextId, this);
}

void HDialog::accept() {
    HLOG_D1("[FUNC IN]HDialog::OnOK");
    if (m_form->Confirm() == 0)
        QDialog::accept();
    HLOG_D1("[FUNC OUT]HDialog::OnOK");
}

void HDialog::reject() {
    HLOG_D1("[FUNC IN]HDialog::OnCancel");
    QDialog::reject();
    HLOG_D1("[FUNC OUT]HDialog::OnCancel");
}

int MinimumWidthForTitle(const QWidget& window) {
    // The icon, three buttons and the frame: about eight lines of text high
    // in any common theme.
    const QFontMetrics metrics(window.font());
    return metrics.horizontalAdvance(window.windowTitle()) + metrics.height() * 8;
}

bool PressFocusedButtonOnEnter(QWidget& dialog, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (auto* button = qobject_cast<QPushButton*>(dialog.focusWidget()))
        button->click();
    event->accept();
    return true;
}

void HDialog::keyPressEvent(QKeyEvent* event) {
    if (!PressFocusedButtonOnEnter(*this, event))
        QDialog::keyPressEvent(event);
}
