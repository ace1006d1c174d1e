#include "HPropertyPage.h"

#include "HPropertySheet.h"

HPropertyPage::HPropertyPage(HEditor& editor, QWidget* parent) : HEditorForm(editor, parent) {
    setObjectName(QStringLiteral("HPropertyPage%1").arg(editor.DialogId()));
}

HPropertyPage::~HPropertyPage() = default;

void HPropertyPage::SetPrompt(int stringId) {
    if (m_sheet)
        m_sheet->SetStatusMessage(stringId);
}
