#include "CHistoryDlg.h"

#include "CCompareDlg.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HSettingRows.h"
#include "HTransferSteps.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Serial(const std::string& serial) {
    return serial.empty() ? QStringLiteral("(none)") : ToQString(serial);
}

QString When(std::int64_t time) {
    return ToQString(HHistoryText::LocalTime(time));
}

QString FirstLine(const std::string& text) {
    return ToQString(text.substr(0, text.find('\n')));
}

QTableWidget* Table(QWidget* parent, const char* name, const QStringList& headers) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void SetRow(QTableWidget* table, int row, const QStringList& texts) {
    for (int c = 0; c < int(texts.size()); ++c)
        table->setItem(row, c, new QTableWidgetItem(texts[c]));
}

} // namespace

CHistoryDlg::CHistoryDlg(HHistory& history, int accessLevel, QWidget* parent)
    : QDialog(parent), m_history(history), m_level(accessLevel) {
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(QStringLiteral("History"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("historySearch"));
    m_search->setPlaceholderText(QStringLiteral("serial, model, bench or user"));
    m_search->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("&Search:"), this);
    searchLabel->setBuddy(m_search);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("historyProblem"));
    m_problem->setWordWrap(true);
    m_problem->hide();

    m_radios = Table(this, "historyRadios",
                     {QStringLiteral("Serial"), QStringLiteral("Model"), QStringLiteral("Records"),
                      QStringLiteral("Last"), QStringLiteral("Result"), QStringLiteral("When"),
                      QStringLiteral("Where"), QStringLiteral("Who")});
    m_radios->setSelectionMode(QAbstractItemView::SingleSelection);
    m_timeline = Table(this, "historyTimeline",
                       {QStringLiteral("Step"), QStringLiteral("When"), QStringLiteral("Operation"),
                        QStringLiteral("Result"), QStringLiteral("Level"), QStringLiteral("Where"),
                        QStringLiteral("Who"), QStringLiteral("Message")});
    m_timeline->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_radioLabel = new QLabel(QStringLiteral("Choose a radio to see its timeline."), this);
    m_radioLabel->setObjectName(QStringLiteral("historyRadioLabel"));

    auto* lower = new QWidget(this);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_radioLabel);
    lowerLayout->addWidget(m_timeline, 1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_radios);
    split->addWidget(lower);
    split->setChildrenCollapsible(false);

    m_compare = new QPushButton(QStringLiteral("&Compare..."), this);
    m_compare->setObjectName(QStringLiteral("historyCompare"));
    m_compare->setToolTip(QStringLiteral("Compare the two versions chosen in the timeline"));
    m_open = new QPushButton(QStringLiteral("&Open"), this);
    m_open->setObjectName(QStringLiteral("historyOpen"));
    m_open->setToolTip(QStringLiteral("Open the version chosen as the document"));
    m_download = new QPushButton(QStringLiteral("&Download..."), this);
    m_download->setObjectName(QStringLiteral("historyDownload"));
    m_download->setToolTip(
        QStringLiteral("Download the version chosen back into the radio (the usual download, "
                       "with its check and backup)"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_compare, QDialogButtonBox::ActionRole);
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    buttons->addButton(m_download, QDialogButtonBox::ActionRole);
    for (QPushButton* b : {m_compare, m_open, m_download})
        b->setAutoDefault(false);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_search, &QLineEdit::textChanged, this, &CHistoryDlg::FillRadios);
    connect(m_radios, &QTableWidget::itemSelectionChanged, this, &CHistoryDlg::LoadTimeline);
    connect(m_timeline, &QTableWidget::itemSelectionChanged, this, &CHistoryDlg::UpdateButtons);
    connect(m_compare, &QPushButton::clicked, this, &CHistoryDlg::OnCompare);
    connect(m_open, &QPushButton::clicked, this, [this] { Choose(Action::Open); });
    connect(m_download, &QPushButton::clicked, this, [this] { Choose(Action::Download); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(m_problem);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    resize(980, 640);
    LoadRadios();
    UpdateButtons();
}

void CHistoryDlg::ShowProblem(const std::string& error) {
    m_problem->setText(QStringLiteral("The history cannot be read: %1\nIt is %2.")
                           .arg(ToQString(error), ToQString(m_history.Settings().Shown())));
    m_problem->show();
}

void CHistoryDlg::LoadRadios() {
    std::string error;
    if (!m_history.Radios(m_all, error)) {
        m_all.clear();
        ShowProblem(error);
    }
    FillRadios();
}

void CHistoryDlg::FillRadios() {
    const QString text = m_search->text().trimmed();
    m_radios->setRowCount(0);
    for (const HRadioSummary& r : m_all) {
        const HHistoryRecord& last = r.last;
        const QStringList texts = {Serial(last.radio.serial),
                                   ToQString(last.radio.Model()),
                                   QString::number(r.records),
                                   QString::fromLatin1(HHistoryNames::Of(last.operation)),
                                   QString::fromLatin1(HHistoryNames::Of(last.result)),
                                   When(last.time),
                                   ToQString(last.bench),
                                   ToQString(last.user)};
        if (!text.isEmpty() && !texts[0].contains(text, Qt::CaseInsensitive) &&
            !texts[1].contains(text, Qt::CaseInsensitive) &&
            !texts[6].contains(text, Qt::CaseInsensitive) &&
            !texts[7].contains(text, Qt::CaseInsensitive))
            continue;
        const int row = m_radios->rowCount();
        m_radios->insertRow(row);
        SetRow(m_radios, row, texts);
        m_radios->item(row, 0)->setData(Qt::UserRole, ToQString(last.radio.serial));
    }
    m_radios->resizeColumnsToContents();
    LoadTimeline();
}

void CHistoryDlg::Search(const QString& text) {
    m_search->setText(text);
}

bool CHistoryDlg::ChooseRadio(const QString& serial) {
    for (int row = 0; row < m_radios->rowCount(); ++row)
        if (m_radios->item(row, 0)->data(Qt::UserRole).toString() == serial) {
            m_radios->selectRow(row);
            return true;
        }
    return false;
}

void CHistoryDlg::ChooseSteps(const std::vector<int>& steps) {
    m_timeline->clearSelection();
    for (int step : steps)
        if (step >= 1 && step <= m_timeline->rowCount())
            m_timeline->selectionModel()->select(m_timeline->model()->index(step - 1, 0),
                                                 QItemSelectionModel::Select |
                                                     QItemSelectionModel::Rows);
}

void CHistoryDlg::LoadTimeline() {
    m_steps.clear();
    m_timeline->setRowCount(0);
    const QList<QTableWidgetItem*> chosen = m_radios->selectedItems();
    if (chosen.isEmpty()) {
        m_radioLabel->setText(QStringLiteral("Choose a radio to see its timeline."));
        UpdateButtons();
        return;
    }
    const QString serial = m_radios->item(chosen.first()->row(), 0)->data(Qt::UserRole).toString();
    std::string error;
    if (!m_history.Timeline(serial.toStdString(), m_steps, error)) {
        ShowProblem(error);
        UpdateButtons();
        return;
    }
    m_radioLabel->setText(QStringLiteral("Radio %1: %2 steps. Choose one to open or download "
                                         "it, two to compare them.")
                              .arg(Serial(serial.toStdString()))
                              .arg(m_steps.size()));
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        const HHistoryRecord& r = m_steps[i];
        const int row = int(i);
        m_timeline->insertRow(row);
        SetRow(m_timeline, row,
               {QString::number(row + 1), When(r.time),
                QString::fromLatin1(HHistoryNames::Of(r.operation)),
                QString::fromLatin1(HHistoryNames::Of(r.result)), QString::number(r.accessLevel),
                ToQString(r.bench), ToQString(r.user), FirstLine(r.message)});
        const QString tip = r.HashAfter().empty()
                                ? QStringLiteral("No image at this step")
                                : ToQString(r.message + (r.values.empty() ? "" : "\n" + r.values));
        for (int c = 0; c < m_timeline->columnCount(); ++c)
            m_timeline->item(row, c)->setToolTip(tip);
    }
    m_timeline->resizeColumnsToContents();
    UpdateButtons();
}

std::vector<int> CHistoryDlg::ChosenSteps() const {
    std::vector<int> steps;
    for (const QModelIndex& index : m_timeline->selectionModel()->selectedRows())
        steps.push_back(index.row() + 1);
    std::ranges::sort(steps);
    return steps;
}

void CHistoryDlg::UpdateButtons() {
    const std::vector<int> steps = ChosenSteps();
    const auto hasImage = [this](int step) {
        return !m_steps[std::size_t(step) - 1].HashAfter().empty();
    };
    const bool allImages = std::ranges::all_of(steps, hasImage);
    m_compare->setEnabled(steps.size() == 2 && allImages);
    m_open->setEnabled(steps.size() == 1 && allImages);
    m_download->setEnabled(steps.size() == 1 && allImages);
}

bool CHistoryDlg::StepImage(int step, HMemoryImage& image, QString& name) {
    const HHistoryRecord& r = m_steps[std::size_t(step) - 1];
    std::string error;
    if (!m_history.Image(r.HashAfter(), image, error)) {
        QMessageBox::critical(this, QString::fromLatin1(HMessageBox::kCaption),
                              QStringLiteral("The image of step %1 cannot be read: %2")
                                  .arg(step)
                                  .arg(ToQString(error)));
        return false;
    }
    // As an upload's document holds it (band limits, the fields an upload clears).
    HTransferSteps::CorrectAfterUpload(image);
    name = QStringLiteral("%1 step %2 (%3 %4)")
               .arg(Serial(r.radio.serial))
               .arg(step)
               .arg(QString::fromLatin1(HHistoryNames::Of(r.operation)), When(r.time));
    return true;
}

void CHistoryDlg::OnCompare() {
    const std::vector<int> steps = ChosenSteps();
    if (steps.size() != 2)
        return;
    HMemoryImage a{}, b{};
    QString aName, bName;
    if (!StepImage(steps[0], a, aName) || !StepImage(steps[1], b, bName))
        return;
    CCompareDlg dialog(HImageDiff::Compare(a, b, m_level), aName, bName, this,
                       QStringLiteral("A:"));
    dialog.exec();
}

void CHistoryDlg::Choose(Action action) {
    const std::vector<int> steps = ChosenSteps();
    if (steps.size() != 1 || !StepImage(steps[0], m_image, m_chosenName))
        return;
    m_action = action;
    accept();
}
