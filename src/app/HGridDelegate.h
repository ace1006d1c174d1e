#pragma once
// Cell editors and cell pictures of any grid (HGridSource): a line edit whose
// typed keys go through the column's key filter, a drop-down of a list
// column's texts, and the tick picture of the tick cells (the original's
// bitmap 130 for a row in use, 193 for one not in use).
#include "HGridSource.h"

#include <QStyledItemDelegate>

class QComboBox;
class QLineEdit;
class QKeyEvent;

class HGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Object names of the editors, for whoever must find them.
    static constexpr const char* kTextEditorName = "cellTextEditor";
    static constexpr const char* kListEditorName = "cellListEditor";

    explicit HGridDelegate(HGridSource& grid, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A list editor is at least as wide as its longest text needs.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The tick picture for a cell state; null for no picture.
    [[nodiscard]] static QPixmap TickPicture(HTickState state);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // True when the key was taken (inserted, replaced or dropped) here.
    bool FilterTypedKey(QLineEdit* edit, int column, const QKeyEvent* event) const;
    // The arrow keys on a closed list step its entry and keep it open; Return
    // or Enter commits the entry reached. True when the key was taken here.
    bool StepList(QComboBox* combo, const QKeyEvent* event) const;
    // Pasted text goes in as if typed: key by key through the column's filter.
    void PasteFiltered(QLineEdit* edit, int column, const QString& text) const;

    HGridSource& m_grid;
};
