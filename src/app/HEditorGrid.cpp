#include "HEditorGrid.h"

#include "HGridDelegate.h"
#include "HGridTableModel.h"
#include "HRpFlexgrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A grid this wide or tall at most before it scrolls, in pixels.
constexpr int kMostWidth = 1100;
constexpr int kMostHeight = 420;

} // namespace

HEditorGrid::HEditorGrid(HGridSource& grid, const QString& caption, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_caption(new QLabel(caption, this)),
      m_model(new HGridTableModel(grid, this)), m_delegate(new HGridDelegate(grid, this)),
      m_view(new HRpFlexgrid(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caption);
    layout->addWidget(m_view, 1);
    m_caption->setBuddy(m_view);
    setFocusProxy(m_view);
    m_view->setModel(m_model);
    m_view->setItemDelegate(m_delegate);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(m_view, &HRpFlexgrid::CellActionRequested, this, &HEditorGrid::OnCellAction);
    connect(m_view, &QAbstractItemView::clicked, this, &HEditorGrid::OnClicked);
    connect(m_model, &HGridTableModel::ColumnsRedrawn, this, [this] { emit CellsChanged(); });
    FitColumns();
    if (m_grid.RowCount() > 0 && m_grid.ColumnCount() > 1)
        m_view->setCurrentIndex(m_model->index(0, 1));
}

void HEditorGrid::FitColumns() {
    const QFontMetrics cells(m_view->font());
    const QFontMetrics header(m_view->horizontalHeader()->font());
    constexpr int kPadding = 14;
    int total = 0;
    for (int col = 0; col < m_grid.ColumnCount(); ++col) {
        m_view->setColumnHidden(col, !m_grid.IsColumnShown(col));
        int width = 0;
        // Headers wrap at their blanks: their longest word is the least width.
        const QStringList words =
            QString::fromStdString(std::string(m_grid.HeaderText(col))).split(QLatin1Char(' '));
        for (const QString& word : words)
            width = std::max(width, header.horizontalAdvance(word));
        for (std::string_view text : m_grid.ColumnTexts(col))
            width = std::max(width, cells.horizontalAdvance(QString::fromUtf8(
                                        text.data(), static_cast<qsizetype>(text.size()))));
        for (int row = 0; row < m_grid.RowCount(); ++row)
            width = std::max(
                width, cells.horizontalAdvance(QString::fromStdString(m_grid.CellText(row, col))));
        if (m_grid.IsTickColumn(col))
            width =
                std::max(width, 2 * HGridDelegate::TickPicture(HTickState::TickedInUse).width());
        m_view->setColumnWidth(col, width + kPadding);
        total += width + kPadding;
    }
    int lines = 1;
    for (int col = 0; col < m_grid.ColumnCount(); ++col)
        lines = std::max(
            lines, static_cast<int>(QString::fromStdString(std::string(m_grid.HeaderText(col)))
                                        .count(QLatin1Char(' ')) +
                                    1));
    m_view->horizontalHeader()->setMinimumHeight(header.lineSpacing() * std::min(lines, 3) + 8);
    const int rows = m_view->verticalHeader()->defaultSectionSize() * m_grid.RowCount();
    m_view->setMinimumSize(
        std::min(total + 4 + m_view->frameWidth() * 2, kMostWidth),
        std::min(rows + m_view->horizontalHeader()->minimumHeight() + 4, kMostHeight));
}

void HEditorGrid::Mirror() {
    if (m_grid.RowCount() > 0 && m_grid.ColumnCount() > 0)
        emit m_model->dataChanged(m_model->index(0, 0),
                                  m_model->index(m_grid.RowCount() - 1, m_grid.ColumnCount() - 1));
}

void HEditorGrid::CommitTyping() {
    m_view->CommitOpenEditor();
}

void HEditorGrid::OnCellAction(int row, int column, HCellActionMode mode) {
    const HCellActionResult r = m_grid.CellAction(row, column, mode);
    if (r.openEditor) {
        m_view->edit(m_model->index(row, column));
        return;
    }
    m_model->Redraw(r.change);
}

void HEditorGrid::OnClicked(const QModelIndex& index) {
    // A list cell opens its pop-up list on a click, as on Space.
    if (index.isValid() && m_grid.BeginEdit(index.row(), index.column()).kind == HCellEdit::List)
        m_view->edit(index);
}
