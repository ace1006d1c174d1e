#pragma once
// One editor description shown as a page of a property sheet. The page opens
// its editor when it is added to the sheet and keeps its own group, so values
// survive switching between pages; the sheet's OK confirms every page.
#include "HEditorForm.h"

class HPropertySheet;

class HPropertyPage : public HEditorForm {
    Q_OBJECT
public:
    explicit HPropertyPage(HEditor& editor, QWidget* parent = nullptr);
    ~HPropertyPage() override;

    [[nodiscard]] HPropertySheet* Sheet() const { return m_sheet; }
    void SetSheet(HPropertySheet* sheet) { m_sheet = sheet; }

    // A prompt (string id) for the sheet's status bar; ignored without a sheet.
    void SetPrompt(int stringId);

private:
    void OnFocusChanged(QWidget* old, QWidget* now);

    HPropertySheet* m_sheet = nullptr;
};
