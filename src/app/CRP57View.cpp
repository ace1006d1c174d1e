#include "CRP57View.h"

#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "CToneDlg.h"
#include "HChannelFind.h"
#include "HChannelSheet.h"
#include "HComInstructionDialog.h"
#include "HDocumentHistory.h"
#include "HEditorPrompt.h"
#include "HGridDelegate.h"
#include "HGridTableModel.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HRpFlexgrid.h"
#include "HSetColumnDlg.h"
#include "HStringTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

// Message 53 and any other question of the grid, as a message box.
class MessageBoxPrompt : public HEditorPrompt {
public:
    MessageBoxPrompt(QWidget* parent, int messageId) : m_parent(parent), m_id(messageId) {}
    bool AskYesNo(std::string_view text) override {
        return HMessageBox::AskYesNo(m_parent, QMessageBox::Question, std::string(text),
                                     QStringLiteral("message%1").arg(m_id));
    }
    void ShowMessage(std::string_view text) override {
        QMessageBox box(QMessageBox::Warning, QString::fromLatin1(HMessageBox::kCaption),
                        ToQString(text), QMessageBox::Ok, m_parent);
        box.exec();
    }

private:
    QWidget* m_parent;
    int m_id;
};

// The info panel's indexes in kInfoPanelLabels.
enum InfoIndex : int {
    kSerial = 0,
    kBand,
    kFirmware,
    kComPort,
    kPrinter,
    kChannels,
    kChannelsLeft,
    kProductType
};

// A value that may be longer than its box (a device path, a printer name):
// shown cut in the middle so that both ends stay, the whole of it as the tip.
class HElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    void SetFullText(const QString& text) {
        m_full = text;
        setToolTip(text);
        Elide();
    }
    [[nodiscard]] QSize minimumSizeHint() const override {
        return {minimumWidth(), QLabel::minimumSizeHint().height()};
    }
    [[nodiscard]] QSize sizeHint() const override {
        return {minimumWidth(), QLabel::sizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        Elide();
    }

private:
    void Elide() {
        // A framed label indents its text by half an 'x' (on one side; both
        // counted, to be safe).
        const int room = contentsRect().width() - fontMetrics().horizontalAdvance(QLatin1Char('x'));
        setText(fontMetrics().elidedText(m_full, Qt::ElideMiddle, room));
    }
    QString m_full;
};

} // namespace

CRP57View::CRP57View(CRP57App& app, CMainFrame& frame, HMemoryImage& image, QWidget* parent)
    : QWidget(parent), m_app(app), m_frame(frame), m_image(image),
      m_model(new HGridTableModel(m_grid, this)), m_delegate(new HGridDelegate(m_grid, this)),
      m_view(new HRpFlexgrid(this)), m_groupList(new QComboBox(this)) {
    HLOG_D1("[FUNC IN]CRP57View::OnInitialUpdate");
    setObjectName(QStringLiteral("CRP57View"));

    // ---- information panel and group list ----
    auto* panel = new QGridLayout;
    panel->setHorizontalSpacing(6);
    panel->setVerticalSpacing(4);
    const auto makeValue = [this](int index) {
        QLabel* value =
            index == kComPort || index == kPrinter ? new HElidedLabel(this) : new QLabel(this);
        value->setObjectName(QStringLiteral("info%1").arg(index));
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMMMM")));
        m_info[static_cast<std::size_t>(index)] = value;
        return value;
    };
    const auto caption = [this](int index) {
        return new QLabel(ToQString(kInfoPanelLabels[static_cast<std::size_t>(index)]).trimmed(),
                          this);
    };
    // Row 0: identity of the set; row 1: where it goes and the channel budget.
    const std::array<int, 4> top = {kSerial, kBand, kFirmware, kProductType};
    const std::array<int, 2> bottom = {kComPort, kPrinter};
    for (std::size_t i = 0; i < top.size(); ++i) {
        panel->addWidget(caption(top[i]), 0, static_cast<int>(2 * i));
        panel->addWidget(makeValue(top[i]), 0, static_cast<int>(2 * i + 1));
    }
    for (std::size_t i = 0; i < bottom.size(); ++i) {
        panel->addWidget(caption(bottom[i]), 1, static_cast<int>(2 * i));
        panel->addWidget(makeValue(bottom[i]), 1, static_cast<int>(2 * i + 1));
    }
    // "128 Channels": the count, then its label; the free count's text
    // carries its own words ("%d Channels Left").
    panel->addWidget(makeValue(kChannels), 1, 4, Qt::AlignRight);
    panel->addWidget(caption(kChannels), 1, 5);
    panel->addWidget(makeValue(kChannelsLeft), 1, 6, 1, 2);
    m_info[kChannels]->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    m_info[kChannels]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int c = 1; c < 8; c += 2)
        panel->setColumnStretch(c, 1);

    m_groupList->setObjectName(QStringLiteral("groupList%1").arg(kGroupListId));
    m_groupList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_groupList->setFocusPolicy(Qt::StrongFocus);
    connect(m_groupList, &QComboBox::activated, this, &CRP57View::OnGroupListActivated);

    auto* head = new QHBoxLayout;
    head->addLayout(panel, 1);
    head->addSpacing(16);
    auto* groupBox = new QVBoxLayout;
    groupBox->addWidget(m_groupList);
    groupBox->addStretch(1);
    head->addLayout(groupBox);

    // ---- the grid ----
    m_view->setModel(m_model);
    m_view->setItemDelegate(m_delegate);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->horizontalHeader()->setFont(font());
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setWordWrap(false);
    connect(m_view, &QWidget::customContextMenuRequested, this, &CRP57View::ShowContextMenu);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_grid.SetCurrentCell(current.row(), current.column());
            });
    connect(m_view, &HRpFlexgrid::CellActionRequested, this, &CRP57View::OnCellAction);
    connect(m_view, &HRpFlexgrid::ToneShortcutRequested, this, &CRP57View::OnToneShortcut);
    connect(m_view, &HRpFlexgrid::NextGroupRequested, this, &CRP57View::NextGroup);
    connect(m_model, &HGridTableModel::CellNote, this, &CRP57View::ShowNote);
    // Every change of cells (edits, ticks, tone picks, paste) fits the widths
    // of its columns again, so a new value never shows cut off; once per
    // change, not once per row (a 128-row paste would measure every cell 128 times).
    connect(m_model, &HGridTableModel::ColumnsRedrawn, this, [this](std::uint32_t columns) {
        MeasureColumns(columns);
        LayColumns();
        RecordGridEdits();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(head);
    layout->addWidget(m_view, 1);
    setFocusProxy(m_view);

    // ---- the window's messages and commands ----
    connect(&m_frame, &CMainFrame::ViewRefreshRequested, this, &CRP57View::OnRefresh);
    connect(&m_frame, &CMainFrame::ViewSaveDataRequested, this, [this] { OnSaveData(); });
    connect(&m_frame, &CMainFrame::ItemVisibilityToggled, this, &CRP57View::OnItemsChanged);
    // The frame may outlive the view: a command after it is gone does nothing.
    const auto handle = [this](int command, void (CRP57View::*slot)()) {
        m_frame.SetCommandHandler(command, [self = QPointer<CRP57View>(this), slot] {
            if (self)
                (self->*slot)();
        });
    };
    handle(HCmd::kEditCopy, &CRP57View::OnEditCopy);
    handle(HCmd::kEditPaste, &CRP57View::OnEditPaste);
    handle(HCmd::kEditSetColumn, &CRP57View::OnEditSetColumn);
    handle(HCmd::kEditFind, &CRP57View::OnEditFind);
    handle(HCmd::kEditFindNext, &CRP57View::OnEditFindNext);
    // F3 on a tone cell is its tone shortcut, but on the cell Find chose it
    // goes on finding: a tone found is never changed by the next F3.
    m_view->SetKeepsF3([this](const QModelIndex& at) {
        const std::vector<int> tones = HChannelColumns::ColumnsOfItem(HChannelItem::SubAudio);
        if (!at.isValid() || std::find(tones.begin(), tones.end(), at.column()) == tones.end())
            return false;
        return m_findText.isEmpty() || m_grid.ChannelOfRow(at.row()) != m_foundChannel ||
               at.column() != m_foundColumn;
    });
    HLOG_D1("[FUNC OUT]CRP57View::OnInitialUpdate");
}

// The window outlives its central widget but goes first at exit, when its
// handlers are already gone: the handlers check that the view is still there.
CRP57View::~CRP57View() = default;

CRP57View* CRP57View::Install(CRP57App& app, CMainFrame& frame, CRP57Doc& document) {
    auto* view = new CRP57View(app, frame, document.Image());
    frame.setCentralWidget(view);
    connect(&document, &CRP57Doc::ImageLoaded, view, &CRP57View::SetLoadFlag);
    const QPointer<CRP57View> self(view);
    document.History().SetUnsavedEdits(
        [self](HMemoryImage& image) { return self && self->ApplyUnsavedEdits(image); });
    view->OnRefresh();
    view->m_view->setFocus();
    return view;
}

QLabel* CRP57View::InfoValue(int index) const {
    return index >= 0 && index < static_cast<int>(m_info.size())
               ? m_info[static_cast<std::size_t>(index)]
               : nullptr;
}

// ------------------------------------------------------------ settings

void CRP57View::ReadSettings() {
    HChannelViewSettings& s = m_grid.Settings();
    s.accessLevel = m_app.AccessLevel();
    s.comPort = HComInstructionDialog::SettingsOf(m_app).DeviceName();
    s.printer = m_app.PrinterName();
    for (int i = 0; i < CRP57App::kItemCount; ++i)
        s.itemFlags[static_cast<std::size_t>(i)] = m_app.Item(i);
}

void CRP57View::WriteBackItemFlags() {
    const HItemFlags& flags = m_grid.Settings().itemFlags;
    for (int i = 0; i < CRP57App::kItemCount; ++i)
        m_app.SetItem(i, flags[static_cast<std::size_t>(i)]);
    m_frame.UpdateCommandUI();
}

void CRP57View::SetLoadFlag() {
    m_grid.Settings().loadFlag = true;
}

// ------------------------------------------------------------ messages 2024 and 2025

void CRP57View::OnRefresh() {
    HLOG_D1("[FUNC IN]CRP57View::OnRefresh");
    const int row = m_grid.CurrentRow();
    const int column = m_grid.CurrentColumn();
    // What an open editor holds belongs to the image being replaced.
    m_view->DiscardOpenEditor();
    ReadSettings();
    m_model->Relayout([this] { m_grid.Refresh(m_image); });
    WriteBackItemFlags();
    AfterRelayout(row, column);
    HLOG_D1("[FUNC OUT]CRP57View::OnRefresh");
}

bool CRP57View::OnSaveData() {
    m_view->CommitOpenEditor();
    const bool changed = m_grid.SaveEdits(m_image);
    if (changed)
        m_app.SetModifiedFlag(1);
    return changed;
}

void CRP57View::RecordGridEdits() {
    if (CRP57Doc* doc = m_app.Document(); doc != nullptr && m_grid.HasUnsavedEdits())
        doc->History().Checkpoint();
}

bool CRP57View::ApplyUnsavedEdits(HMemoryImage& image) const {
    if (!m_grid.HasUnsavedEdits())
        return false;
    HChannelGrid probe = m_grid;
    return probe.SaveEdits(image);
}

// ------------------------------------------------------------ layout

void CRP57View::AfterRelayout(int row, int column) {
    UpdatePanel();
    UpdateColumns();
    RestoreCurrentCell(row, column);
}

void CRP57View::UpdatePanel() {
    const HChannelInfoPanel& p = m_grid.InfoPanel();
    const std::array<const std::string*, kInfoPanelLabels.size()> values = {
        &p.serialNumber, &p.frequencyBand, &p.firmwareVersion, &p.comPort,
        &p.printer,      &p.channels,      &p.channelsLeft,    &p.productType};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QString text = QString::fromStdString(*values[i]);
        if (auto* elided = dynamic_cast<HElidedLabel*>(m_info[i]))
            elided->SetFullText(text);
        else
            m_info[i]->setText(text);
    }

    const QSignalBlocker block(m_groupList);
    m_groupList->clear();
    for (const HGroupEntry& entry : m_grid.GroupList())
        m_groupList->addItem(QString::fromStdString(entry.text), entry.group);
    m_groupList->setCurrentIndex(m_grid.SelectedGroupEntry());
}

void CRP57View::UpdateColumns() {
    for (int col = 0; col < kChannelColumnCount; ++col)
        m_view->setColumnHidden(col, !m_grid.IsColumnShown(col));
    MeasureColumns(kAllColumns);
    LayColumns();
}

void CRP57View::MeasureColumns(std::uint32_t columns) {
    const QFontMetrics cells(m_view->font());
    const QFontMetrics header(m_view->horizontalHeader()->font());
    for (int col = 0; col < kChannelColumnCount; ++col) {
        if ((columns & HChannelColumns::Bit(col)) == 0)
            continue;
        int width = 0;
        for (const QString& word :
             ToQString(m_grid.HeaderText(col)).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            width = std::max(width, header.horizontalAdvance(word));
        for (std::string_view text : m_grid.ColumnTexts(col))
            width = std::max(width, cells.horizontalAdvance(ToQString(text)));
        for (int row = 0; row < m_grid.RowCount(); ++row)
            width = std::max(
                width, cells.horizontalAdvance(QString::fromStdString(m_grid.CellText(row, col))));
        if (m_grid.IsTickColumn(col))
            width =
                std::max(width, 2 * HGridDelegate::TickPicture(HTickState::TickedInUse).width());
        m_contentWidth[static_cast<std::size_t>(col)] = width;
    }
}

void CRP57View::LayColumns() {
    // Room for the cell's or header's margins beside the text.
    constexpr int kPadding = 12;
    const QFontMetrics header(m_view->horizontalHeader()->font());
    const int room = m_view->viewport()->width();
    // The fewest header lines whose widths the grid has room for; with none,
    // every column only as wide as its longest text or header word.
    int mostLines = 1;
    for (int col = 0; col < kChannelColumnCount; ++col)
        mostLines =
            std::max(mostLines, static_cast<int>(ToQString(m_grid.HeaderText(col))
                                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                                                     .size()));
    std::array<int, kChannelColumnCount> widths{};
    for (int lines = 1; lines <= mostLines; ++lines) {
        int total = 0;
        for (int col = 0; col < kChannelColumnCount; ++col) {
            int& width = widths[static_cast<std::size_t>(col)];
            width =
                HGridTableModel::HeaderWidthFor(ToQString(m_grid.HeaderText(col)), lines, header,
                                                m_contentWidth[static_cast<std::size_t>(col)]) +
                kPadding;
            if (m_grid.IsColumnShown(col))
                total += width;
        }
        if (total <= room)
            break;
    }
    QStringList labels;
    for (int col = 0; col < kChannelColumnCount; ++col) {
        const int width = widths[static_cast<std::size_t>(col)];
        if (m_view->columnWidth(col) != width)
            m_view->setColumnWidth(col, width);
        labels << HGridTableModel::WrapHeader(ToQString(m_grid.HeaderText(col)), header,
                                              width - kPadding);
    }
    m_model->SetHeaderLabels(labels);
}

void CRP57View::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayColumns();
}

void CRP57View::ShowNote(const QString& note) {
    m_frame.ShowStatusNote(note);
}

void CRP57View::RestoreCurrentCell(int row, int column) {
    if (m_grid.RowCount() == 0)
        return;
    row = std::clamp(row, 0, m_grid.RowCount() - 1);
    column = std::clamp(column, 0, kChannelColumnCount - 1);
    m_view->setCurrentIndex(m_model->index(row, column));
    m_grid.SetCurrentCell(row, column);
}

// ------------------------------------------------------------ items and groups

void CRP57View::OnItemsChanged() {
    // The window has inverted the flag (View > Item) or the Visible dialog
    // has set them all; the grid applies them with the model rules.
    m_view->CommitOpenEditor();
    const int row = m_grid.CurrentRow();
    const int column = m_grid.CurrentColumn();
    ReadSettings();
    m_model->Relayout([this] { m_grid.SetItemFlags(m_grid.Settings().itemFlags); });
    WriteBackItemFlags();
    AfterRelayout(row, column);
}

void CRP57View::OnGroupListActivated(int entry) {
    if (entry >= 0 && entry < m_groupList->count())
        SelectGroup(m_groupList->itemData(entry).toInt());
}

void CRP57View::SelectGroup(int group) {
    m_view->CommitOpenEditor();
    const int column = m_grid.CurrentColumn();
    m_model->Relayout([this, group] { m_grid.SelectGroup(group); });
    AfterRelayout(0, column);
    m_view->setFocus();
}

void CRP57View::NextGroup() {
    m_view->CommitOpenEditor();
    const int column = m_grid.CurrentColumn();
    m_model->Relayout([this] { m_grid.NextGroup(); });
    AfterRelayout(0, column);
}

// ------------------------------------------------------------ cell actions

void CRP57View::OnCellAction(int row, int column, HCellActionMode mode) {
    const HCellActionResult result = m_grid.CellAction(row, column, mode);
    m_model->Redraw(result.change);
    if (!result.openToneDialog)
        return;
    QStringList choices;
    for (const std::string& choice : HChannelColumns::ToneChoices(result.transmitSide))
        choices << QString::fromStdString(choice);
    CToneDlg dialog(ToQString(m_grid.HeaderText(column)), choices,
                    m_grid.ToneChoiceIndex(row, column), this);
    if (dialog.exec() == QDialog::Accepted && dialog.Selected() >= 0)
        m_model->Redraw(m_grid.ApplyToneChoice(row, column, dialog.Selected()));
}

void CRP57View::OnToneShortcut(int row, int column) {
    m_model->Redraw(m_grid.ToneShortcut(row, column));
}

// ------------------------------------------------------------ copy and paste

void CRP57View::OnEditCopy() {
    m_view->CommitOpenEditor();
    int first = m_grid.CurrentRow();
    int last = first;
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    if (!selected.isEmpty()) {
        const auto [lo, hi] = std::minmax_element(
            selected.begin(), selected.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        first = lo->row();
        last = hi->row();
    }
    if (m_grid.RowCount() == 0)
        return;
    QApplication::clipboard()->setText(QString::fromStdString(m_grid.CopyText(first, last)));
    HLOG_D1("copied channel rows %d to %d", first, last);
}

void CRP57View::OnEditPaste() {
    m_view->CommitOpenEditor();
    const int row = m_grid.CurrentRow();
    const int column = m_grid.CurrentColumn();
    MessageBoxPrompt prompt(this, HStringTable::kCopyChannel);
    const std::string text = QApplication::clipboard()->text().toStdString();
    const HPasteResult result = m_grid.Paste(text, row, &prompt);
    if (result.status == HPasteStatus::NotChannelData && PasteSheet(text))
        return;
    m_model->Redraw(result.change);
    HLOG_D1("paste into row %d: status %d, %d cells refused", row, static_cast<int>(result.status),
            result.cellsRefused);
    RestoreCurrentCell(row, column);
    TellRefusals(result);
}

void CRP57View::TellRefusals(const HPasteResult& result) {
    if (result.cellsRefused == 0)
        return;
    const std::string summary = HChannelSheet::RefusalSummary(result);
    HLOG_D1("paste: %s", summary.c_str());
    ShowNote(ToQString(summary));
    QString lines;
    for (const std::string& line : HChannelSheet::RefusalLines(result))
        lines += ToQString(line) + QLatin1Char('\n');
    QMessageBox box(
        QMessageBox::Warning, QString::fromLatin1(HMessageBox::kCaption),
        HMessageBox::Text(HStringTable::kPasteRefused,
                          {std::to_string(result.cellsRefused),
                           std::to_string(result.cellsRefused + result.cellsStored), ""})
            .trimmed(),
        QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("pasteRefused"));
    box.setInformativeText(lines.trimmed());
    // Wide enough that each reason reads as one line.
    if (auto* detail = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        detail->setMinimumWidth(detail->fontMetrics().averageCharWidth() * 80);
    box.exec();
}

void CRP57View::ShowContextMenu(const QPoint& at) {
    // Menu 129: the window's own Copy and Paste.
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menu129"));
    m_frame.UpdateCommandUI();
    for (int id : {HCmd::kEditCopy, HCmd::kEditPaste})
        if (QAction* action = m_frame.CommandAction(id))
            menu.addAction(action);
    menu.exec(m_view->viewport()->mapToGlobal(at));
}

// ------------------------------------------------------------ spreadsheet rows and set column

bool CRP57View::PasteSheet(const std::string& text) {
    const int row = m_grid.CurrentRow();
    const int column = m_grid.CurrentColumn();
    const HChannelSheet::HSheet sheet = HChannelSheet::ParseTabbed(text, column);
    const std::vector<HCellWrite> writes = HChannelSheet::Writes(sheet, row);
    if (writes.empty() || m_grid.ChannelOfRow(row) < 0)
        return false;
    // Text of which no cell would be stored is told at once, without a question.
    HChannelGrid trial = m_grid;
    if (const HPasteResult tried = trial.StoreCells(writes); tried.cellsStored == 0) {
        TellRefusals(tried);
        return true;
    }
    const std::string question = HChannelSheet::PasteQuestion(sheet, m_grid, row);
    if (!HMessageBox::AskYesNo(this, QMessageBox::Question, question,
                               QStringLiteral("message%1").arg(HStringTable::kCopyChannel)))
        return true;
    const HPasteResult result = m_grid.StoreCells(writes);
    HLOG_D1("spreadsheet rows into row %d: %zu cells, %d refused", row, writes.size(),
            result.cellsRefused);
    if (CRP57Doc* doc = m_app.Document())
        doc->History().NameRunningCommand("Paste " + std::to_string(sheet.rows.size()) +
                                          (sheet.rows.size() == 1 ? " row" : " rows") +
                                          ", channel " +
                                          std::to_string(m_grid.ChannelOfRow(row) + 1));
    m_model->Redraw(result.change);
    RestoreCurrentCell(row, column);
    TellRefusals(result);
    return true;
}

std::vector<int> CRP57View::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes())
        if (std::find(rows.begin(), rows.end(), index.row()) == rows.end())
            rows.push_back(index.row());
    if (rows.empty() && m_grid.RowCount() > 0)
        rows.push_back(m_grid.CurrentRow());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CRP57View::OnEditSetColumn() {
    m_view->CommitOpenEditor();
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    const int row = m_grid.CurrentRow();
    const int current = m_grid.CurrentColumn();
    HSetColumnDlg dialog(m_grid.Model(), static_cast<int>(rows.size()), current, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int column = dialog.Column();
    const std::vector<HCellWrite> writes = HChannelSheet::SetColumn(rows, column, dialog.Text());
    const HPasteResult result = m_grid.StoreCells(writes);
    HLOG_D1("set column %d of %zu channels: %d refused", column, rows.size(), result.cellsRefused);
    if (CRP57Doc* doc = m_app.Document())
        doc->History().NameRunningCommand("Set " + std::string(m_grid.HeaderText(column)) + ", " +
                                          std::to_string(rows.size()) +
                                          (rows.size() == 1 ? " channel" : " channels"));
    m_model->Redraw(result.change);
    RestoreCurrentCell(row, current);
    if (result.cellsRefused > 0)
        ShowNote(QStringLiteral("%1 channels did not take the value (not in use)")
                     .arg(result.cellsRefused));
}

// ------------------------------------------------------------ find

void CRP57View::OnEditFind() {
    m_view->CommitOpenEditor();
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("findDialog"));
    dialog.setWindowTitle(QStringLiteral("Find"));
    dialog.setLabelText(QStringLiteral("Find a &tag, frequency or tone (in every group):"));
    dialog.setTextValue(m_findText);
    dialog.setOkButtonText(QStringLiteral("&Find"));
    if (dialog.exec() != QDialog::Accepted || dialog.textValue().trimmed().isEmpty())
        return;
    FindText(dialog.textValue().trimmed());
}

void CRP57View::OnEditFindNext() {
    if (m_findText.isEmpty()) {
        OnEditFind();
        return;
    }
    m_view->CommitOpenEditor();
    FindText(m_findText);
}

void CRP57View::FindText(const QString& text) {
    m_findText = text;
    const std::optional<HFindHit> hit = HChannelFind::Next(
        m_grid, text.toStdString(), m_grid.CurrentChannel(), m_grid.CurrentColumn());
    if (!hit) {
        ShowNote(QStringLiteral("\"%1\" is in no tag, frequency or tone shown").arg(text));
        return;
    }
    if (hit->group != m_grid.CurrentGroup())
        SelectGroup(hit->group);
    RestoreCurrentCell(m_grid.RowOfChannel(hit->channel), hit->column);
    m_view->scrollTo(m_view->currentIndex());
    m_view->setFocus();
    m_foundChannel = hit->channel;
    m_foundColumn = hit->column;
    const QString where =
        QStringLiteral("\"%1\": Group %2, channel %3, %4")
            .arg(text)
            .arg(hit->group + 1)
            .arg(ToQString(m_grid.CellText(m_grid.RowOfChannel(hit->channel), 0)).trimmed())
            .arg(ToQString(m_grid.HeaderText(hit->column)));
    ShowNote(hit->wrapped
                 ? QStringLiteral("Passed the last channel, went on from the first. ") + where
                 : where);
    HLOG_D1("find [%s]: channel %d column %d%s", text.toUtf8().constData(), hit->channel,
            hit->column, hit->wrapped ? " (wrapped)" : "");
}
