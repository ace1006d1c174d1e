#pragma once
// The File Data dialog (resource 171): the raw image editor. It edits the
// image it is given (the caller's copy); the caller keeps the copy on OK.
#include "HMemoryImage.h"

#include <QDialog>
#include <QLineEdit>
#include <QStyledItemDelegate>

class HFileDataModel;
class QTableView;

// The cell editor: at most two characters, typed letters upper-cased, only
// hexadecimal digits taken; editing keys pass.
class HHexByteEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HHexByteEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class HHexByteDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

class CFileDataDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 171;

    CFileDataDlg(HMemoryImage& image, int accessLevel, QWidget* parent = nullptr);

    [[nodiscard]] QTableView* Table() const { return m_table; }
    [[nodiscard]] HFileDataModel* Model() const { return m_model; }

private:
    QTableView* m_table = nullptr;
    HFileDataModel* m_model = nullptr;
};
