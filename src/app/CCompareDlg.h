#pragma once
// File > Compare With...: every setting and channel cell in which the open
// document and another data file differ, one row each, with a filter by section.
#include "HSettingRows.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QTableWidget;

class CCompareDlg : public QDialog {
    Q_OBJECT
public:
    // `a` is the document (named `aName`), `b` the other file; `aLabel` says
    // what A is when it is not the document.
    CCompareDlg(std::vector<HDiffLine> lines, const QString& aName, const QString& bName,
                QWidget* parent = nullptr,
                const QString& aLabel = QStringLiteral("A (this document):"));

    // The rows the table shows now (tests).
    [[nodiscard]] int ShownRows() const;
    // Shows only one section's rows; an empty section shows all.
    void ShowSection(const QString& section);

private:
    void Fill();

    std::vector<HDiffLine> m_lines;
    QComboBox* m_section = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
};
