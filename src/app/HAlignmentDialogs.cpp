#include "HAlignmentDialogs.h"

#include "HBasicAlignment.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HStringTable.h"

#include <QApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit* ResultEdit(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    return box;
}

QLabel* Bold(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

constexpr const char* kVcvTrying = "Searching: trying VCV %1 (from %2 down by %3)";

} // namespace

QString AlignFrequencyText(std::int64_t hz) {
    return QString::asprintf(HAlignText::kFrequencyFormat, double(hz) / 1e6).trimmed();
}

void RunOffThread(QWidget* busy, const std::function<void()>& work) {
    if (busy)
        busy->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop loop;
    QThread* thread = QThread::create(work);
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // User input waits: the window only paints while the radio is measured.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    QApplication::restoreOverrideCursor();
    if (busy)
        busy->setEnabled(true);
}

// ---------------------------------------------------------------- base

HAlignDialogBase::HAlignDialogBase(HComAlignment& comm, std::uint32_t helpContext, QWidget* parent)
    : QDialog(parent), m_comm(comm), m_help(helpContext) {
    setModal(true);
    m_body = new QVBoxLayout;
    m_save = Bold(QString::fromLatin1(HAlignText::kSaveAligned), this);
    m_save->setObjectName(QStringLiteral("saveAligned"));
    m_save->hide();
    m_start = new QPushButton(QStringLiteral("Start"), this);
    m_start->setObjectName(QStringLiteral("alignStart"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("alignOk"));
    m_ok->hide();
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("alignCancel"));
    for (QPushButton* b : {m_start, m_ok, m_cancel})
        b->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_save);
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    layout->addLayout(m_body);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // Wide enough for the title and the instrument settings, whatever the step.
    layout->addSpacerItem(new QSpacerItem(320, 0, QSizePolicy::Minimum, QSizePolicy::Minimum));
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void HAlignDialogBase::reject() {
    // The radio is being measured; the step ends on its own.
    if (m_busy)
        return;
    QDialog::reject();
}

void HAlignDialogBase::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        HLOG_D2("alignment help [CONTEXT:0x%X]", m_help);
        HHelpWindow::Show(m_help, this);
        return;
    }
    QDialog::keyPressEvent(event);
}

void HAlignDialogBase::ShowResult() {
    m_start->hide();
    m_cancel->setEnabled(true);
    m_ok->show();
    m_save->show();
    m_ok->setFocus();
}

void HAlignDialogBase::SetBusy(bool busy) {
    m_busy = busy;
    m_start->setEnabled(!busy);
    m_cancel->setEnabled(!busy);
}

void HAlignDialogBase::ShowError(int stringId) {
    m_failed = true;
    HMessageBox::Show(this, stringId, QMessageBox::Critical);
}

// ---------------------------------------------------------------- VCV

HVcvAlignDlg::HVcvAlignDlg(HComAlignment& comm, bool tx, QWidget* parent)
    : HAlignDialogBase(comm, HAlignHelp::kVcvDialog, parent), m_tx(tx) {
    setObjectName(QStringLiteral("HVcvAlignDlg"));
    setWindowTitle(QString::fromLatin1(tx ? HAlignText::kTxVcoTitle : HAlignText::kRxVcoTitle));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QString::fromLatin1(HAlignText::kAdjAd), this));
    m_box = ResultEdit(this, "vcvResult");
    row->addWidget(m_box);
    row->addStretch(1);
    m_trying = new QLabel(this);
    m_trying->setObjectName(QStringLiteral("vcvTrying"));
    m_body->addWidget(new QLabel(tx ? QStringLiteral("Finds the TX VCV that locks the PLL at "
                                                     "both band edges (radio transmits).")
                                    : QStringLiteral("Finds the RX VCV that locks the PLL at "
                                                     "both band edges."),
                                 this));
    m_body->addLayout(row);
    m_body->addWidget(m_trying);
    connect(m_start, &QPushButton::clicked, this, &HVcvAlignDlg::OnStart);
}

void HVcvAlignDlg::OnStart() {
    HLOG_D1("[FUNC IN]HVcvAlignDlg::OnStart");
    SetBusy(true);
    std::optional<int> found;
    HComAlignment& comm = m_comm;
    const bool tx = m_tx;
    QLabel* trying = m_trying;
    // The search takes seconds: each candidate is shown as it goes to the radio.
    auto show = [trying](int vcv) {
        QMetaObject::invokeMethod(
            trying,
            [trying, vcv] {
                trying->setText(QString::fromLatin1(kVcvTrying)
                                    .arg(vcv)
                                    .arg(HBasicAlignment::kVcvStart)
                                    .arg(HBasicAlignment::kVcvStep));
            },
            Qt::QueuedConnection);
    };
    RunOffThread(nullptr, [&comm, &found, tx, &show] {
        found = HBasicAlignment::VcvSearch(comm, tx, HBasicAlignment::Timing{}, show);
        if (tx && !comm.RequestRx())
            HLOG_ER("%s", "受信要求エラー");
    });
    // Candidates still queued are past: the result or the failure speaks now.
    QCoreApplication::removePostedEvents(m_trying, QEvent::MetaCall);
    m_trying->clear();
    SetBusy(false);
    if (found) {
        m_result = found;
        m_box->setText(QString::asprintf("%d", *found));
        ShowResult();
    } else {
        ShowError(HStringTable::kVcvAlignFailed);
    }
    HLOG_D1("[FUNC OUT]HVcvAlignDlg::OnStart");
}

// ---------------------------------------------------------------- slider

HSliderAlignDlg::HSliderAlignDlg(HComAlignment& comm, HSliderSequence sequence, QWidget* parent)
    : HAlignDialogBase(comm, HAlignHelp::kSliderDialog, parent), m_sequence(std::move(sequence)) {
    setObjectName(QStringLiteral("HSliderAlignDlg"));
    setWindowTitle(QString::fromStdString(m_sequence.title));
    m_start->hide();
    m_ok->show();

    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("sliderValue"));
    m_box->setMaxLength(3);
    m_box->setValidator(new QIntValidator(0, 255, m_box));
    m_box->setAlignment(Qt::AlignRight);
    m_box->setFixedWidth(m_box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    m_box->installEventFilter(this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("sliderControl"));
    m_slider->setRange(0, 255);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setPageStep(20);
    m_slider->setSingleStep(1);
    // A drag sends its end value only: each value sent is one radio command.
    m_slider->setTracking(false);
    m_slider->setMinimumWidth(320);
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) {
        if (!m_updating)
            ChangeTo(v);
    });

    m_instruction = new QLabel(QString::fromStdString(m_sequence.instruction), this);
    m_instruction->setObjectName(QStringLiteral("sliderInstruction"));
    m_instruction->setWordWrap(true);
    m_instruction->setVisible(!m_sequence.instruction.empty());
    m_body->addWidget(m_instruction);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Value"), this), 0, 0);
    grid->addWidget(m_box, 0, 1);
    grid->addWidget(m_slider, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("0"), this), 2, 0);
    auto* max = new QLabel(QStringLiteral("255"), this);
    grid->addWidget(max, 2, 2, Qt::AlignRight);
    m_rssiLabel = new QLabel(QStringLiteral("RSSI"), this);
    m_rssi = ResultEdit(this, "sliderRssi");
    grid->addWidget(m_rssiLabel, 3, 0);
    grid->addWidget(m_rssi, 3, 1);
    m_rssiLabel->setVisible(m_sequence.readsRssi);
    m_rssi->setVisible(m_sequence.readsRssi);
    grid->setColumnStretch(2, 1);
    m_body->addLayout(grid);
}

bool HSliderAlignDlg::StartSequence() {
    HLOG_D1("[FUNC IN]HSliderAlignDlg::StartSequence[%s]", m_sequence.title.c_str());
    bool ok = false;
    RunOffThread(parentWidget(), [this, &ok] { ok = HAlignSliders::Start(m_comm, m_sequence); });
    if (!ok) {
        ShowError(HStringTable::kAlignInitFailed);
        m_stopped = true;
        HAlignSliders::Stop(m_comm, m_sequence);
        return false;
    }
    m_current = std::clamp(m_sequence.startValue, 0, 255);
    m_updating = true;
    m_slider->setValue(m_current);
    m_updating = false;
    m_box->setText(QString::asprintf("%d", m_current));
    ReadRssi();
    return true;
}

void HSliderAlignDlg::ReadRssi() {
    if (m_sequence.readsRssi)
        m_rssi->setText(QString::number(m_comm.ReadAdValue(HAlignCommand::kAdRssi)));
}

void HSliderAlignDlg::ChangeTo(int value) {
    value = std::clamp(value, 0, 255);
    if (value != m_current) {
        if (m_sequence.change && m_sequence.change(m_comm, value)) {
            m_current = value;
            ReadRssi();
        } else {
            ShowError(HStringTable::kAlignChangeFailed);
        }
    }
    // Box and slider show the current value, after a failure too.
    m_updating = true;
    m_slider->setValue(m_current);
    m_updating = false;
    m_box->setText(QString::asprintf("%d", m_current));
}

bool HSliderAlignDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_box && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ChangeTo(m_box->text().toInt());
            return true;
        }
        if (key == Qt::Key_Right || key == Qt::Key_Left) {
            ChangeTo(m_current + (key == Qt::Key_Right ? 1 : -1));
            return true;
        }
    }
    if (watched == m_box && event->type() == QEvent::MouseButtonDblClick) {
        ChangeTo(m_box->text().toInt());
        return true;
    }
    return HAlignDialogBase::eventFilter(watched, event);
}

int HSliderAlignDlg::exec() {
    // The dialog appears once the radio is set up, so nothing can change a
    // value before the start sequence is through.
    if (!StartSequence()) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void HSliderAlignDlg::accept() {
    if (!m_stopped) {
        m_stopped = true;
        HAlignSliders::Stop(m_comm, m_sequence);
    }
    if (m_sequence.accept)
        m_sequence.accept(m_current);
    QDialog::accept();
}

void HSliderAlignDlg::reject() {
    if (!m_stopped) {
        m_stopped = true;
        HAlignSliders::Stop(m_comm, m_sequence);
    }
    QDialog::reject();
}

// ---------------------------------------------------------------- RX tune

HTuneAlignDlg::HTuneAlignDlg(HComAlignment& comm, const HAlignmentData& data,
                             const HChannels& channels, QWidget* parent)
    : HAlignDialogBase(comm, HAlignHelp::kTuneDialog, parent), m_data(data), m_channels(channels) {
    setObjectName(QStringLiteral("HTuneAlignDlg"));
    setWindowTitle(QString::fromLatin1(HAlignText::kTuneTitle));
    m_stepLabel = Bold(QString(), this);
    m_frequency = new QLabel(this);
    m_frequency->setObjectName(QStringLiteral("tuneFrequency"));
    m_level = new QLabel(this);
    m_level->setObjectName(QStringLiteral("tuneLevel"));
    // The signal generator's settings go once every step is tuned.
    m_sgPanel = new QWidget(this);
    auto* sg = new QGridLayout(m_sgPanel);
    sg->setContentsMargins(0, 0, 0, 0);
    sg->addWidget(new QLabel(QString::fromLatin1(HAlignText::kSetSg), m_sgPanel), 0, 0, 1, 2);
    sg->addWidget(new QLabel(QStringLiteral("Frequency"), m_sgPanel), 1, 0);
    sg->addWidget(m_frequency, 1, 1);
    sg->addWidget(new QLabel(QStringLiteral("RF Level"), m_sgPanel), 2, 0);
    sg->addWidget(m_level, 2, 1);
    auto* results = new QHBoxLayout;
    static constexpr const char* kNames[3] = {"Low", "Center", "High"};
    for (int i = 0; i < 3; ++i) {
        results->addWidget(new QLabel(QLatin1String(kNames[i]), this));
        m_boxes[std::size_t(i)] = ResultEdit(this, "tuneResult");
        m_boxes[std::size_t(i)]->setObjectName(QStringLiteral("tuneResult%1").arg(i));
        results->addWidget(m_boxes[std::size_t(i)]);
    }
    results->addStretch(1);
    m_body->addWidget(m_stepLabel);
    m_body->addWidget(m_sgPanel);
    m_body->addLayout(results);
    connect(m_start, &QPushButton::clicked, this, &HTuneAlignDlg::OnStart);
    ShowStep();
}

void HTuneAlignDlg::ShowStep() {
    static constexpr const char* kSteps[3] = {"Band low edge", "Band centre", "Band high edge"};
    m_stepLabel->setText(QStringLiteral("Step %1 of 3: %2").arg(m_step + 1).arg(kSteps[m_step]));
    m_frequency->setText(AlignFrequencyText(m_channels.GetFrequency(m_step, 0)));
    m_level->setText(QString::fromStdString(m_data.FormatLevel(std::size_t(44 + m_step))));
}

void HTuneAlignDlg::OnStart() {
    HLOG_D1("[FUNC IN]HTuneAlignDlg::OnStart[STEP:%d]", m_step);
    SetBusy(true);
    std::optional<int> result;
    HComAlignment& comm = m_comm;
    const int step = m_step;
    const auto vcv = std::uint8_t(std::clamp(int(m_data.GetValue(16)), 0, 255));
    RunOffThread(nullptr, [&comm, &result, step, vcv] {
        result = HBasicAlignment::TuneSweep(comm, step, vcv, HBasicAlignment::Timing{});
    });
    SetBusy(false);
    if (!result) {
        // The same step is tried again with the next Start.
        ShowError(HStringTable::kTuneAlignFailed);
        return;
    }
    m_results[std::size_t(m_step)] = *result;
    m_boxes[std::size_t(m_step)]->setText(QString::asprintf("%d", *result));
    if (++m_step < HBasicAlignment::kTuneSteps) {
        ShowStep();
        return;
    }
    m_sgPanel->hide();
    m_stepLabel->setText(QString::fromLatin1(HAlignText::kTuneDone));
    ShowResult();
    adjustSize();
}

// ---------------------------------------------------------------- squelch

HSqlAlignDlg::HSqlAlignDlg(HComAlignment& comm, Kind kind, bool narrow, const HAlignmentData& data,
                           const HChannels& channels, QWidget* parent)
    : HAlignDialogBase(comm, HAlignHelp::kSquelchDialog, parent), m_kind(kind), m_narrow(narrow) {
    static constexpr const char* kTitles[4] = {"RSSI NSQ", "S Full RSSI", "Threshold NSQ",
                                               "Tight NSQ"};
    static constexpr int kLevelValue[4] = {40, 42, 34, 28};
    setObjectName(QStringLiteral("HSqlAlignDlg"));
    setWindowTitle(QStringLiteral("%1(%2)").arg(
        QLatin1String(kTitles[kind]), narrow ? QStringLiteral("Narrow") : QStringLiteral("Wide")));
    const int mode = narrow ? 1 : 0;
    auto tenths = [&data](int index) {
        const int v = HAlignCommand::FromSignMagnitude(
            std::uint8_t(std::clamp(int(data.GetValue(std::size_t(index))), 0, 255)));
        return QString::asprintf("%4.1f kHz", v / 10.0).trimmed();
    };
    auto* sg = new QGridLayout;
    sg->addWidget(new QLabel(QString::fromLatin1(HAlignText::kSetSg), this), 0, 0, 1, 2);
    const QString rows[4][2] = {
        {QStringLiteral("Frequency"), AlignFrequencyText(channels.GetFrequency(narrow ? 4 : 1, 0))},
        {QStringLiteral("RF Level"),
         QString::fromStdString(data.FormatLevel(std::size_t(kLevelValue[kind] + mode)))},
        {QStringLiteral("Deviation"), tenths(30 + mode)},
        {QStringLiteral("Modulation"), tenths(32 + mode)},
    };
    for (int r = 0; r < 4; ++r) {
        sg->addWidget(new QLabel(rows[r][0], this), r + 1, 0);
        auto* value = new QLabel(rows[r][1], this);
        value->setObjectName(QStringLiteral("sg%1").arg(r));
        sg->addWidget(value, r + 1, 1);
    }
    sg->setColumnStretch(1, 1);
    auto* result = new QHBoxLayout;
    result->addWidget(new QLabel(QString::fromLatin1(HAlignText::kAd), this));
    m_box = ResultEdit(this, "squelchResult");
    result->addWidget(m_box);
    result->addStretch(1);
    m_body->addLayout(sg);
    m_body->addLayout(result);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(kSampleMs);
    connect(m_timer, &QTimer::timeout, this, &HSqlAlignDlg::OnSample);
    connect(m_start, &QPushButton::clicked, this, &HSqlAlignDlg::OnStart);
}

int HSqlAlignDlg::ValueIndex() const {
    return int(m_kind) + (m_narrow ? 4 : 0);
}

void HSqlAlignDlg::OnStart() {
    HLOG_D1("[FUNC IN]HSqlAlignDlg::OnStart");
    const auto channel = std::uint8_t(m_narrow ? 4 : 1);
    if (!m_comm.RequestRx() || !m_comm.ChangeChannel(0, channel)) {
        ShowError(HStringTable::kAlignInitFailed);
        return;
    }
    SetBusy(true);
    m_samples.clear();
    m_timer->start();
}

void HSqlAlignDlg::OnSample() {
    const int index = m_kind == kRssiNsq || m_kind == kSFullRssi ? HAlignCommand::kAdRssi
                                                                 : HAlignCommand::kAdNoise;
    // A failed read is no sample of 0: the step ends without a result.
    const std::optional<int> sample = m_comm.TryReadAdValue(index);
    if (!sample) {
        SetBusy(false);
        m_samples.clear();
        m_box->clear();
        ShowError(HStringTable::kAlignReadFailed);
        return;
    }
    m_samples.push_back(*sample);
    m_box->setText(QString::number(m_samples.back()));
    if (int(m_samples.size()) < HBasicAlignment::kSquelchSamples) {
        // The next sample is timed from the end of this one.
        m_timer->start();
        return;
    }
    SetBusy(false);
    m_result = HBasicAlignment::SquelchResult(m_samples);
    m_box->setText(QString::asprintf("%d", *m_result));
    HLOG_D1("squelch level [INDEX:%d][VALUE:%d]", ValueIndex(), *m_result);
    ShowResult();
}
