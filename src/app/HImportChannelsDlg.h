#pragma once
// File > Import Channels: the preview of a channel list read into the
// document. It lists what would change, by channel and column, the rows that
// were skipped (by line) and the columns not imported; OK applies the whole
// import as one step, Cancel leaves the document as it was.
#include "HChannelImport.h"

#include <QDialog>

class CMainFrame;
class CRP57App;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;
class QTableWidget;

class HImportChannelsDlg : public QDialog {
    Q_OBJECT
public:
    HImportChannelsDlg(const HChannelImport::HImportResult& result, const QString& fileName,
                       QWidget* parent = nullptr);

    [[nodiscard]] QTableWidget* Changes() const { return m_changes; }
    [[nodiscard]] QPlainTextEdit* Problems() const { return m_problems; }
    [[nodiscard]] QLabel* SummaryLabel() const { return m_summary; }
    [[nodiscard]] QDialogButtonBox* Buttons() const { return m_buttons; }

    // The command's handler (command 32953): the file dialog, the import, the
    // error box or the preview, and on OK the document's image replaced.
    static void Install(CMainFrame& frame, CRP57App& app);
    static void OnImportChannels(CMainFrame& frame, CRP57App& app);

private:
    QLabel* m_summary;
    QTableWidget* m_changes;
    QPlainTextEdit* m_problems;
    QDialogButtonBox* m_buttons;
};
