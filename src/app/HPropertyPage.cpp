#include "HPropertyPage.h"

#include "HPropertySheet.h"

#include <QApplication>

HPropertyPage::HPropertyPage(HEditor& editor, QWidget* parent) : HEditorForm(editor, parent) {
    setObjectName(QStringLiteral("HPropertyPage%1").arg(editor.DialogId()));
    // The editor's prompt for the control that takes the focus goes to the
    // sheet's status bar.
    connect(qApp, &QApplication::focusChanged, this, &HPropertyPage::OnFocusChanged);
}

void HPropertyPage::OnFocusChanged(QWidget* /*old*/, QWidget* now) {
    if (!m_sheet || !now || !isAncestorOf(now))
        return;
    const std::optional<std::size_t> item = ItemOf(now);
    if (!item)
        return;
    const std::string prompt = Editor().FocusPrompt(*item);
    if (!prompt.empty())
        m_sheet->SetStatusText(prompt);
}

HPropertyPage::~HPropertyPage() {
    // The focused control, deleted with the form below, hands the focus on:
    // that must not reach this page once it is no longer one.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void HPropertyPage::SetPrompt(int stringId) {
    if (m_sheet)
        m_sheet->SetStatusMessage(stringId);
}
