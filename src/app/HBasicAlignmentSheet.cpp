#include "HBasicAlignmentSheet.h"

#include "HAlignSliders.h"
#include "HAlignmentDialogs.h"
#include "HBasicAlignment.h"
#include "HChannelRules.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HStringTable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace {

using Basic = HAlignSliders::Basic;

constexpr const char* kUnitNames[HAlignmentData::kLevelUnits] = {"dBuV (EMF)", "dBuV (PD)",
                                                                 "uV (EMF)", "uV (PD)", "dBm"};

// Alignment page: the value each box shows (alignment value index; -1..-3
// are the RX tune values of alignment channels 0..2).
constexpr std::array<int, HBasicAlignmentSheet::kAlignmentBoxes> kAlignmentValues = {
    16, 17, 24, -1, -2, -3, 3, 2, 0, 1, 7, 6, 4, 5};
// Squelch buttons 4..11: the dialog kind of each, wide then narrow.
constexpr std::array<HSqlAlignDlg::Kind, 4> kSquelchKinds = {
    HSqlAlignDlg::kTightNsq, HSqlAlignDlg::kThresholdNsq, HSqlAlignDlg::kRssiNsq,
    HSqlAlignDlg::kSFullRssi};
constexpr std::array<const char*, 4> kSquelchLabels = {"TI NSQ", "TH NSQ", "RSSI SQL",
                                                       "S Full Scale"};

// Basic2 rows: label and the value its box shows.
struct Basic2Row {
    const char* label;
    int value;
};
constexpr std::array<Basic2Row, HBasicAlignmentSheet::kBasic2Rows> kBasic2 = {{
    {"TX Power High", 8},
    {"TX Power Low-High", 9},
    {"TX Power Low-Mid", 10},
    {"TX Power E-Low", 11},
    {"Max Deviation Wide", 12},
    {"Max Deviation Narrow", 13},
    {"Sub Audio Deviation CTCSS Wide", 14},
    {"Sub Audio Deviation DCS Wide", 15},
    {"Seq Tone Dev", 25},
    {"TX PD VD Level", 18},
    {"TX Power Limit", 19},
}};
constexpr int kDisplayOnlyFirst = 9; // TX PD VD Level and TX Power Limit open nothing

QLineEdit* ValueEdit(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    return box;
}

QPushButton* StartEdit(QWidget* parent, const QString& name) {
    auto* b = new QPushButton(QStringLiteral("START"), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

HBasicAlignmentSheet::HBasicAlignmentSheet(HComAlignment& comm, HMemoryImage& image,
                                           QWidget* parent)
    : QDialog(parent), m_comm(comm), m_image(image) {
    setObjectName(QStringLiteral("HBasicAlignmentSheet"));
    setWindowTitle(QStringLiteral("Basic Alignment"));
    setModal(true);
    m_channels.Load(m_image);
    m_mobile = m_channels.GetHardwareValue(HHardwareGroup::kRowProductType) == 0;

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(BuildAlignmentPage(), QStringLiteral("Alignment"));
    m_tabs->addTab(BuildBasic2Page(), QStringLiteral("Basic2"));
    // No OK: the values are in the radio the moment each one is accepted.
    m_exit = new QPushButton(QStringLiteral("Exit"), this);
    m_exit->setObjectName(QStringLiteral("sheetExit"));
    m_exit->setAutoDefault(false);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    Refresh();
}

QWidget* HBasicAlignmentSheet::BuildHeader(int page) {
    auto* box = new QGroupBox(QStringLiteral("Band"), this);
    auto* grid = new QGridLayout(box);
    static constexpr const char* kNames[4] = {"Band", "Low Edge", "High Edge", "Center"};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QLatin1String(kNames[i]), box), i / 2, (i % 2) * 2);
        auto* value = new QLabel(box);
        value->setObjectName(QStringLiteral("header%1").arg(i));
        value->setMinimumWidth(
            value->fontMetrics().horizontalAdvance(QStringLiteral("000.00000 MHz")));
        m_header[std::size_t(page)][std::size_t(i)] = value;
        grid->addWidget(value, i / 2, (i % 2) * 2 + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* HBasicAlignmentSheet::BuildAlignmentPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("alignmentPage"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(BuildHeader(kAlignmentPage));

    auto* units = new QGroupBox(QStringLiteral("Level Unit"), page);
    auto* unitRow = new QHBoxLayout(units);
    for (int u = 0; u < HAlignmentData::kLevelUnits; ++u) {
        auto* b = new QRadioButton(QLatin1String(kUnitNames[u]), units);
        b->setObjectName(QStringLiteral("levelUnit%1").arg(u));
        m_units[std::size_t(u)] = b;
        unitRow->addWidget(b);
        connect(b, &QRadioButton::toggled, this, [this, u](bool on) {
            if (on)
                m_data.SetLevelUnit(u);
        });
    }
    m_units[0]->setChecked(true);
    layout->addWidget(units);

    for (int i = 0; i < kAlignmentBoxes; ++i)
        m_alignBoxes[std::size_t(i)] = ValueEdit(page, QStringLiteral("alignValue%1").arg(i));
    for (int i = 0; i < kAlignmentButtons; ++i) {
        m_alignButtons[std::size_t(i)] = StartEdit(page, QStringLiteral("alignStart%1").arg(i));
        connect(m_alignButtons[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { OnStart(kAlignmentPage, i); });
    }

    auto* top = new QGroupBox(QStringLiteral("VCO / Reference / RX Tune"), page);
    auto* grid = new QGridLayout(top);
    static constexpr const char* kTop[3] = {"VCO RX", "VCO TX", "Frequency D/A"};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(new QLabel(QLatin1String(kTop[r]), top), r, 0);
        grid->addWidget(m_alignBoxes[std::size_t(r)], r, 1);
        grid->addWidget(m_alignButtons[std::size_t(r)], r, 4);
    }
    grid->addWidget(new QLabel(QStringLiteral("RX Tune Low / Center / High"), top), 3, 0);
    for (int c = 0; c < 3; ++c)
        grid->addWidget(m_alignBoxes[std::size_t(3 + c)], 3, 1 + c);
    grid->addWidget(m_alignButtons[3], 3, 4);
    grid->setColumnStretch(0, 1);
    layout->addWidget(top);

    auto* squelch = new QHBoxLayout;
    for (int narrow = 0; narrow < 2; ++narrow) {
        auto* box = new QGroupBox(narrow ? QStringLiteral("Narrow") : QStringLiteral("Wide"), page);
        auto* g = new QGridLayout(box);
        for (int r = 0; r < 4; ++r) {
            const int i = 4 + narrow * 4 + r;
            g->addWidget(new QLabel(QStringLiteral("%1 %2").arg(
                                        QLatin1String(kSquelchLabels[std::size_t(r)]),
                                        narrow ? QStringLiteral("N") : QStringLiteral("W")),
                                    box),
                         r, 0);
            g->addWidget(m_alignBoxes[std::size_t(6 + narrow * 4 + r)], r, 1);
            g->addWidget(m_alignButtons[std::size_t(i)], r, 2);
        }
        g->setColumnStretch(0, 1);
        squelch->addWidget(box);
    }
    layout->addLayout(squelch);
    layout->addStretch(1);
    return page;
}

QWidget* HBasicAlignmentSheet::BuildBasic2Page() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("basic2Page"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(BuildHeader(kBasic2Page));
    auto* rows = new QGroupBox(QStringLiteral("Transmitter"), page);
    auto* grid = new QGridLayout(rows);
    for (int i = 0; i < kBasic2Rows; ++i) {
        QString label = QLatin1String(kBasic2[std::size_t(i)].label);
        // A mobile set names its low power levels differently and has no E-Low.
        if (m_mobile && i == 1)
            label = QStringLiteral("TX Power Low-Hi");
        if (m_mobile && i == 2)
            label = QStringLiteral("TX Power Low-Middle");
        auto* name = new QLabel(label, rows);
        m_basic2Labels[std::size_t(i)] = name;
        m_basic2Boxes[std::size_t(i)] = ValueEdit(rows, QStringLiteral("basic2Value%1").arg(i));
        m_basic2Buttons[std::size_t(i)] = StartEdit(rows, QStringLiteral("basic2Start%1").arg(i));
        grid->addWidget(name, i, 0);
        grid->addWidget(m_basic2Boxes[std::size_t(i)], i, 1);
        grid->addWidget(m_basic2Buttons[std::size_t(i)], i, 2);
        if (i >= kDisplayOnlyFirst) {
            // Shown for reference; no adjustment belongs to these values.
            m_basic2Buttons[std::size_t(i)]->setEnabled(false);
        } else {
            connect(m_basic2Buttons[std::size_t(i)], &QPushButton::clicked, this,
                    [this, i] { OnStart(kBasic2Page, i); });
        }
        if (m_mobile && i == 3) {
            name->hide();
            m_basic2Boxes[std::size_t(i)]->hide();
            m_basic2Buttons[std::size_t(i)]->hide();
        }
    }
    grid->setColumnStretch(0, 1);
    layout->addWidget(rows);
    layout->addStretch(1);
    return page;
}

QPushButton* HBasicAlignmentSheet::StartButton(int page, int index) const {
    if (page == kAlignmentPage && index >= 0 && index < kAlignmentButtons)
        return m_alignButtons[std::size_t(index)];
    if (page == kBasic2Page && index >= 0 && index < kBasic2Rows)
        return m_basic2Buttons[std::size_t(index)];
    return nullptr;
}

QLineEdit* HBasicAlignmentSheet::ValueBox(int page, int index) const {
    if (page == kAlignmentPage && index >= 0 && index < kAlignmentBoxes)
        return m_alignBoxes[std::size_t(index)];
    if (page == kBasic2Page && index >= 0 && index < kBasic2Rows)
        return m_basic2Boxes[std::size_t(index)];
    return nullptr;
}

QRadioButton* HBasicAlignmentSheet::LevelUnitButton(int unit) const {
    return unit >= 0 && unit < HAlignmentData::kLevelUnits ? m_units[std::size_t(unit)] : nullptr;
}

void HBasicAlignmentSheet::Refresh() {
    m_data.Load(m_image);
    m_channels.Load(m_image);
    const int band = m_channels.GetHardwareValue(HHardwareGroup::kRowBand);
    const QString header[4] = {QString::fromLatin1(HChannelRules::BandName(band)),
                               AlignFrequencyText(m_channels.GetFrequency(0, 0)),
                               AlignFrequencyText(m_channels.GetFrequency(2, 0)),
                               AlignFrequencyText(m_channels.GetFrequency(1, 0))};
    for (auto& page : m_header)
        for (std::size_t i = 0; i < page.size(); ++i)
            page[i]->setText(header[i]);
    for (std::size_t i = 0; i < kAlignmentValues.size(); ++i) {
        const int v = kAlignmentValues[i];
        const int shown = v >= 0
                              ? int(m_data.GetValue(std::size_t(v)))
                              : int(m_channels.GetField(-v - 1, HChannelTables::kFieldTuningByte));
        m_alignBoxes[i]->setText(QString::asprintf("%d", shown));
    }
    for (std::size_t i = 0; i < kBasic2.size(); ++i)
        m_basic2Boxes[i]->setText(
            QString::asprintf("%d", int(m_data.GetValue(std::size_t(kBasic2[i].value)))));
}

bool HBasicAlignmentSheet::StoreAndWrite(std::span<const int> words, bool channelPages) {
    HLOG_D1("[FUNC IN]HBasicAlignmentSheet::StoreAndWrite");
    HBasicAlignment::HUnwritten missed;
    const std::vector<int> wordList(words.begin(), words.end());
    RunOffThread(this, [&] {
        const HBasicAlignment::Timing timing;
        if (channelPages)
            missed = HBasicAlignment::StoreTuneAndWrite(m_comm, m_image, m_data, wordList, timing);
        else
            missed.words =
                HBasicAlignment::StoreAndWrite(m_comm, m_image, m_data, wordList, timing);
    });
    Refresh();
    if (!missed.Empty()) {
        // The image keeps the value; the radio does not have it.
        QStringList names;
        for (int w : missed.words)
            names << QStringLiteral("EEPROM word 0x%1")
                         .arg(QString::number(w, 16).toUpper().rightJustified(2, QLatin1Char('0')));
        for (int p : missed.pages)
            names << QStringLiteral("FLASH page 0x%1")
                         .arg(QString::number(p, 16).toUpper().rightJustified(2, QLatin1Char('0')));
        HMessageBox::Show(this, HStringTable::kAlignWordsNotWritten, QMessageBox::Warning,
                          QMessageBox::Ok, {names.join(QStringLiteral(", ")).toStdString()});
    }
    HLOG_D1("[FUNC OUT]HBasicAlignmentSheet::StoreAndWrite");
    return missed.Empty();
}

std::string HBasicAlignmentSheet::StepName(int page, int index) const {
    if (page == kBasic2Page && index >= 0 && index < kBasic2Rows)
        return m_basic2Labels[std::size_t(index)]->text().toStdString();
    static constexpr const char* kTop[4] = {"VCO RX", "VCO TX", "Frequency D/A", "RX Tune"};
    if (index >= 0 && index < 4)
        return kTop[index];
    const bool narrow = index >= 8;
    return std::string(kSquelchLabels[std::size_t((index - 4) % 4)]) + (narrow ? " N" : " W");
}

void HBasicAlignmentSheet::Record(int page, int index, bool failed) {
    const std::string name = StepName(page, index);
    const auto at = std::ranges::find(m_failed, name);
    if (failed && at == m_failed.end())
        m_failed.push_back(name);
    else if (!failed && at != m_failed.end())
        m_failed.erase(at);
}

void HBasicAlignmentSheet::OnStart(int page, int index) {
    HLOG_D1("[FUNC IN]HBasicAlignmentSheet::OnStart[PAGE:%d][BUTTON:%d]", page, index);
    // Accepted: the step's words go to the radio, and the step failed only
    // when they did not. Not accepted after an error: failed, nothing stored.
    // Closed without an error: as before.
    const auto finish = [&](const HAlignDialogBase& dialog, bool accepted,
                            const auto& storeAndWrite) {
        if (accepted)
            Record(page, index, !storeAndWrite());
        else if (dialog.HadFailure())
            Record(page, index, true);
    };
    if (page == kAlignmentPage && (index == 0 || index == 1)) {
        const bool tx = index == 1;
        HVcvAlignDlg dialog(m_comm, tx, this);
        const bool accepted = dialog.exec() == QDialog::Accepted && dialog.Result();
        finish(dialog, accepted, [&] {
            m_data.SetValue(tx ? 17 : 16, *dialog.Result());
            const int words[] = {11};
            return StoreAndWrite(words);
        });
    } else if (page == kAlignmentPage && index == 3) {
        HTuneAlignDlg dialog(m_comm, m_data, m_channels, this);
        finish(dialog, dialog.exec() == QDialog::Accepted, [&] {
            HBasicAlignment::StoreTuneResults(m_data, dialog.Results(),
                                              {m_channels.GetFrequency(0, 0),
                                               m_channels.GetFrequency(1, 0),
                                               m_channels.GetFrequency(2, 0)});
            const int words[] = {13, 14, 15};
            return StoreAndWrite(words, true);
        });
    } else if (page == kAlignmentPage && index >= 4 && index < kAlignmentButtons) {
        const bool narrow = index >= 8;
        const HSqlAlignDlg::Kind kind = kSquelchKinds[std::size_t((index - 4) % 4)];
        HSqlAlignDlg dialog(m_comm, kind, narrow, m_data, m_channels, this);
        const bool accepted = dialog.exec() == QDialog::Accepted && dialog.Result();
        finish(dialog, accepted, [&] {
            m_data.SetValue(std::size_t(dialog.ValueIndex()), *dialog.Result());
            const bool rssi = kind == HSqlAlignDlg::kRssiNsq || kind == HSqlAlignDlg::kSFullRssi;
            const int words[] = {rssi ? (narrow ? 5 : 3) : (narrow ? 6 : 4)};
            return StoreAndWrite(words);
        });
    } else {
        Basic which = Basic::FrequencyDa;
        if (page == kBasic2Page && index >= 0 && index < kDisplayOnlyFirst)
            which = Basic(index);
        else if (page != kAlignmentPage || index != 2)
            return;
        HSliderSequence sequence = HAlignSliders::ForBasic(which, m_data, m_channels);
        const std::vector<int> words = sequence.words;
        HSliderAlignDlg dialog(m_comm, std::move(sequence), this);
        finish(dialog, dialog.exec() == QDialog::Accepted, [&] { return StoreAndWrite(words); });
    }
    HLOG_D1("[FUNC OUT]HBasicAlignmentSheet::OnStart");
}

void HBasicAlignmentSheet::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        HHelpWindow::Show(m_tabs->currentIndex() == kBasic2Page ? HAlignHelp::kBasic2Page
                                                                : HAlignHelp::kAlignmentPage,
                          this);
        return;
    }
    QDialog::keyPressEvent(event);
}
