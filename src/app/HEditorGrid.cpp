#include "HEditorGrid.h"

#include "HGridDelegate.h"
#include "HGridTableModel.h"
#include "HQtText.h"
#include "HRpFlexgrid.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

// A grid this tall at most before it scrolls, in pixels; as wide as the
// screen less the dialog's frame and margins, but never below the least room.
constexpr int kMostHeight = 420;
constexpr int kDialogChrome = 64;
constexpr int kLeastRoom = 600;

} // namespace

HEditorGrid::HEditorGrid(HGridSource& grid, const QString& caption, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_caption(new QLabel(caption, this)),
      m_model(new HGridTableModel(grid, this)), m_delegate(new HGridDelegate(grid, this)),
      m_view(new HRpFlexgrid(this)), m_note(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caption);
    layout->addWidget(m_view, 1);
    // A refused cell keeps its value; this line says what was refused and
    // what the cell takes, until the next typed cell is committed.
    m_note->setObjectName(QStringLiteral("gridNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);
    connect(m_model, &HGridTableModel::CellNote, this, [this](const QString& note) {
        m_refused = m_model->TextRefused();
        m_note->setText(note);
        m_note->setVisible(!note.isEmpty());
    });
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
    GoToFirstInputCell();
}

void HEditorGrid::GoToFirstInputCell() {
    const auto [row, col] = FirstInputCell();
    if (row >= 0)
        m_view->setCurrentIndex(m_model->index(row, col));
}

std::pair<int, int> HEditorGrid::FirstInputCell() const {
    for (int row = 0; row < m_grid.RowCount(); ++row)
        for (int col = 0; col < m_grid.ColumnCount(); ++col)
            if (m_grid.IsColumnShown(col) &&
                (m_grid.BeginEdit(row, col).allowed || m_grid.IsTickColumn(col)))
                return {row, col};
    return {-1, -1};
}

int HEditorGrid::RoomOnScreen() const {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return kLeastRoom;
    return std::max(kLeastRoom, screen->availableGeometry().width() - kDialogChrome);
}

void HEditorGrid::FitColumns() {
    const QFontMetrics cells(m_view->font());
    const QFontMetrics header(m_view->horizontalHeader()->font());
    constexpr int kPadding = 14;
    const int columns = m_grid.ColumnCount();
    std::vector<int> content(static_cast<std::size_t>(columns));
    int mostLines = 1;
    for (int col = 0; col < columns; ++col) {
        m_view->setColumnHidden(col, !m_grid.IsColumnShown(col));
        int width = 0;
        for (std::string_view text : m_grid.ColumnTexts(col))
            width = std::max(width, cells.horizontalAdvance(ToQString(text)));
        for (int row = 0; row < m_grid.RowCount(); ++row)
            width = std::max(width, cells.horizontalAdvance(ToQString(m_grid.CellText(row, col))));
        // A typed cell has room for its whole length while it is typed.
        if (const HEditStart start = m_grid.BeginEdit(0, col); start.kind == HCellEdit::Text)
            width =
                std::max(width, cells.horizontalAdvance(QString(
                                    static_cast<qsizetype>(start.maxLength), QLatin1Char('0'))));
        if (m_grid.IsTickColumn(col))
            width =
                std::max(width, 2 * HGridDelegate::TickPicture(HTickState::TickedInUse).width());
        content[static_cast<std::size_t>(col)] = width;
        mostLines =
            std::max(mostLines, static_cast<int>(ToQString(m_grid.HeaderText(col))
                                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                                     .size()));
    }
    // Rows beyond the most height scroll, and their scroll bar takes width.
    const int rowsHeight = m_view->verticalHeader()->defaultSectionSize() * m_grid.RowCount();
    const int scrollBar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int frame = 4 + m_view->frameWidth() * 2;
    const int room = RoomOnScreen();
    // As the channel grid: the fewest header lines at which the grid fits the
    // screen; a grid too wide even then scrolls with its headers fully wrapped.
    std::vector<int> widths(content.size());
    int total = 0;
    int headerHeight = 0;
    for (int lines = 1; lines <= mostLines; ++lines) {
        total = 0;
        int wrapped = 1;
        for (int col = 0; col < columns; ++col) {
            const auto c = static_cast<std::size_t>(col);
            const QString text = ToQString(m_grid.HeaderText(col));
            // The header keeps a section no narrower than its least size.
            widths[c] = std::max(HGridTableModel::HeaderWidthFor(text, lines, header, content[c]) +
                                     kPadding,
                                 m_view->horizontalHeader()->minimumSectionSize());
            if (m_grid.IsColumnShown(col))
                total += widths[c];
            wrapped = std::max(wrapped, static_cast<int>(HGridTableModel::WrapHeader(
                                                             text, header, widths[c] - kPadding)
                                                             .count(QLatin1Char('\n')) +
                                                         1));
        }
        headerHeight = header.lineSpacing() * wrapped + 8;
        const int height = std::min(rowsHeight + headerHeight + frame, kMostHeight);
        if (total + frame + (height < rowsHeight + headerHeight + frame ? scrollBar : 0) <= room)
            break;
    }
    QStringList labels;
    for (int col = 0; col < columns; ++col) {
        const auto c = static_cast<std::size_t>(col);
        m_view->setColumnWidth(col, widths[c]);
        labels << HGridTableModel::WrapHeader(ToQString(m_grid.HeaderText(col)), header,
                                              widths[c] - kPadding);
    }
    m_model->SetHeaderLabels(labels);
    m_view->horizontalHeader()->setMinimumHeight(headerHeight);
    const int height = std::min(rowsHeight + headerHeight + frame, kMostHeight);
    const bool scrollsDown = height < rowsHeight + headerHeight + frame;
    const int width = total + frame + (scrollsDown ? scrollBar : 0);
    // Too wide for the screen: a horizontal scroll bar, with room for it.
    const bool scrollsAcross = width > room;
    m_view->setMinimumSize(std::min(width, room), height + (scrollsAcross ? scrollBar : 0));
}

void HEditorGrid::Mirror() {
    // The records the editor has now may be wider than those the grid was
    // measured on (the defaults, before the image was read).
    FitColumns();
    if (m_grid.RowCount() > 0 && m_grid.ColumnCount() > 0)
        emit m_model->dataChanged(m_model->index(0, 0),
                                  m_model->index(m_grid.RowCount() - 1, m_grid.ColumnCount() - 1));
}

bool HEditorGrid::CommitTyping() {
    return !m_view->CommitOpenEditor() || !m_model->TextRefused();
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
