#pragma once
// A property sheet: pages in tabs, OK and Cancel (no Apply, no Help button) and
// a status bar of two panes under them (the first stretches). OK confirms every
// page in order; when a page's own check refuses, the sheet shows that page,
// puts back the image as it was before OK and stays open, so the image gets
// all pages or none. Cancel writes nothing.
#include "HSheetStatus.h"

#include <QDialog>

#include <cstdint>
#include <string_view>
#include <vector>

class HPropertyPage;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

class HPropertySheet : public QDialog {
    Q_OBJECT
public:
    HPropertySheet(const QString& caption, std::uint32_t sheetId, QWidget* parent = nullptr);
    ~HPropertySheet() override;

    // Adds a page (the sheet takes it) and opens its editor. The tab text is
    // the editor's caption.
    void AddPage(HPropertyPage* page);
    [[nodiscard]] int PageCount() const { return static_cast<int>(m_pages.size()); }
    [[nodiscard]] HPropertyPage* Page(int index) const;
    [[nodiscard]] HPropertyPage* ActivePage() const;
    void SetActivePage(int index);
    [[nodiscard]] QTabWidget* Tabs() const { return m_tabs; }

    // Shows a numbered prompt: the text before a line feed in the first pane,
    // after it in the second; id 0 blanks both. Returns the id shown before.
    int SetStatusMessage(int stringId);
    [[nodiscard]] QString StatusPaneText(int pane) const;
    // A prompt a page formats itself ("first pane\nsecond pane").
    void SetStatusText(std::string_view text);

    [[nodiscard]] QPushButton* OkButton() const { return m_ok; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancel; }
    // F1: the focused control's context id, else 0x20000 plus the active page's id.
    [[nodiscard]] std::uint32_t CurrentHelpContext() const;

    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowPanes();

    std::uint32_t m_sheetId;
    std::vector<HPropertyPage*> m_pages;
    QTabWidget* m_tabs;
    QStatusBar* m_status;
    QLabel* m_panes[2];
    HSheetStatus m_statusText;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_shownOnce = false;
};
