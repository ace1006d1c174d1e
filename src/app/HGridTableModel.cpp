#include "HGridTableModel.h"
#include "HQtText.h"

#include <QApplication>
#include <QColor>
#include <QFontMetrics>
#include <QPalette>

#include <algorithm>
#include <bit>
#include <vector>

namespace {

// Back colour of the cells of a row not in use: the original took the
// inactive caption text colour, a light grey on the classic desktop.
QColor NotInUseBackground() {
    return QColor(0xD4, 0xD0, 0xC8);
}

} // namespace

HGridTableModel::HGridTableModel(HGridSource& grid, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid) {}

int HGridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.RowCount();
}

int HGridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.ColumnCount();
}

QVariant HGridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return ToQString(m_grid.CellText(row, col));
    case Qt::EditRole: {
        const HEditStart start = m_grid.BeginEdit(row, col);
        if (start.kind == HCellEdit::List)
            return start.listIndex;
        return ToQString(start.text);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return m_grid.RowInUse(row) ? QVariant() : QVariant(NotInUseBackground());
    case TickRole:
        return static_cast<int>(m_grid.CellTick(row, col));
    case InUseRole:
        return m_grid.RowInUse(row);
    default:
        return {};
    }
}

void HGridTableModel::SetHeaderLabels(const QStringList& labels) {
    if (labels == m_headers)
        return;
    m_headers = labels;
    emit headerDataChanged(Qt::Horizontal, 0, m_grid.ColumnCount() - 1);
}

QString HGridTableModel::WrapHeader(const QString& header, const QFontMetrics& metrics, int width) {
    const QStringList words = header.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    for (const QString& word : words) {
        if (!lines.isEmpty() &&
            metrics.horizontalAdvance(lines.back() + QLatin1Char(' ') + word) <= width)
            lines.back() += QLatin1Char(' ') + word;
        else
            lines << word;
    }
    return lines.join(QLatin1Char('\n'));
}

int HGridTableModel::HeaderWidthFor(const QString& header, int lines, const QFontMetrics& metrics,
                                    int content) {
    const QStringList words = header.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // No width below the longest word: a word does not wrap, it would be cut.
    int least = content;
    for (const QString& word : words)
        least = std::max(least, metrics.horizontalAdvance(word));
    std::vector<int> candidates{least};
    for (qsizetype i = 0; i < words.size(); ++i)
        for (qsizetype n = 1; i + n <= words.size(); ++n)
            candidates.push_back(
                std::max(least, metrics.horizontalAdvance(words.mid(i, n).join(' '))));
    std::sort(candidates.begin(), candidates.end());
    for (int width : candidates)
        if (WrapHeader(header, metrics, width).count(QLatin1Char('\n')) < lines)
            return width;
    return candidates.back();
}

QVariant HGridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid.ColumnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return section < m_headers.size() ? m_headers[section]
                                          : ToQString(m_grid.HeaderText(section));
    if (role == Qt::ToolTipRole)
        return ToQString(m_grid.HeaderText(section));
    return {};
}

Qt::ItemFlags HGridTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_grid.BeginEdit(index.row(), index.column()).allowed)
        f |= Qt::ItemIsEditable;
    return f;
}

bool HGridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int row = index.row();
    const int col = index.column();
    const HEditStart start = m_grid.BeginEdit(row, col);
    bool accepted = false;
    HGridChange change;
    if (start.kind == HCellEdit::Text)
        change = m_grid.CommitText(row, col, value.toString().toStdString(), &accepted);
    else if (start.kind == HCellEdit::List)
        change = m_grid.CommitListPick(row, col, value.toInt(), &accepted);
    // A refused text is re-drawn from the model, so the cell shows the value kept.
    Redraw(change);
    if (start.kind == HCellEdit::Text) {
        m_textRefused = !accepted;
        emit CellNote(ToQString(change.note));
    }
    return accepted;
}

void HGridTableModel::Redraw(const HGridChange& change) {
    if (change.Empty())
        return;
    const int first = std::countr_zero(change.columns);
    const int last = 31 - std::countl_zero(change.columns);
    for (int row : change.rows)
        if (row >= 0 && row < m_grid.RowCount())
            emit dataChanged(index(row, first),
                             index(row, std::min(last, m_grid.ColumnCount() - 1)));
    emit ColumnsRedrawn(change.columns);
}
