#pragma once
// Any grid core (HGridSource: the channel grid, a record grid) as a Qt table
// model. Every text, tick, edit rule and visibility decision comes from the
// core; this class only translates rows and columns into model indexes and
// says what changed.
#include "HGridSource.h"

#include <QAbstractTableModel>
#include <QFontMetrics>

#include <cstdint>

class HGridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Extra roles read by the delegate.
    enum Role : int {
        TickRole = Qt::UserRole + 1, // HTickState of the cell as an int
        InUseRole,                   // whether the row is in use
    };

    explicit HGridTableModel(HGridSource& grid, QObject* parent = nullptr);

    [[nodiscard]] HGridSource& Grid() { return m_grid; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Text edits take a string, list edits the picked entry's index.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The grid's shape changed (refresh, group, visibility): rebuild everything.
    template <class Fn> void Relayout(Fn&& change) {
        beginResetModel();
        change();
        endResetModel();
    }
    // Re-draws the cells a change names.
    void Redraw(const HGridChange& change);
    // Whether the last typed cell committed was refused.
    [[nodiscard]] bool TextRefused() const { return m_textRefused; }

    // The header texts the grid shows (wrapped to the column widths by the
    // view); an empty list shows the headers on one line.
    void SetHeaderLabels(const QStringList& labels);
    // A header's words put on as few lines as fit `width` pixels; a word
    // wider than that keeps a line of its own.
    [[nodiscard]] static QString WrapHeader(const QString& header, const QFontMetrics& metrics,
                                            int width);
    // The least width, not below `content`, at which a header wraps onto at
    // most `lines` lines (its longest word when none is enough).
    [[nodiscard]] static int HeaderWidthFor(const QString& header, int lines,
                                            const QFontMetrics& metrics, int content);

signals:
    // After a typed cell was committed: what the rules made of it, empty when
    // it was stored as typed.
    void CellNote(const QString& note);
    // After Redraw: the columns (bits by column) whose cells it re-drew, once
    // per change however many rows it had, so a paste is measured once.
    void ColumnsRedrawn(std::uint32_t columns);

private:
    HGridSource& m_grid;
    QStringList m_headers;
    bool m_textRefused = false;
};
