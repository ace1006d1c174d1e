#pragma once
// The adjustment dialogs that the alignment pages open, one per press of a
// START button: the slider dialog (HSliderAlign), the VCV search, RX
// Sensitivity Tuning and the four squelch-level dialogs (HSqlAlignment). Each
// drives the radio through HComAlignment on the port the controller left open
// in ADJ mode. Long measurements run off the window's thread, and squelch
// samples are taken one per re-armed 50 ms timer, so the window never freezes.
#include "HAlignSliders.h"
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HComAlignment.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class QVBoxLayout;

// Labels and titles of the alignment windows.
namespace HAlignText {
inline constexpr const char* kSaveAligned = "Save the Aligned Data?";
inline constexpr const char* kSetSg = "Setting Your SG as followings!!";
inline constexpr const char* kAdjAd = "Adj A/D";
inline constexpr const char* kAd = "A/D";
inline constexpr const char* kRxVcoTitle = "RX VCO Adjustment";
inline constexpr const char* kTxVcoTitle = "TX VCO Adjustment";
inline constexpr const char* kTuneTitle = "RX Sensitivity Tuning";
inline constexpr const char* kTuneDone = "All three steps are tuned.";
inline constexpr const char* kFrequencyFormat = "%9.5f MHz";
} // namespace HAlignText

// Help pages and F1 context ids of the alignment windows (0x20000 plus the
// window's resource id).
namespace HAlignHelp {
inline constexpr std::uint32_t kAlignmentPage = 0x20000 + 301;
inline constexpr std::uint32_t kBasic2Page = 0x20000 + 302;
inline constexpr std::uint32_t kVcvDialog = 0x20000 + 303;
inline constexpr std::uint32_t kSliderDialog = 0x20000 + 304;
inline constexpr std::uint32_t kTuneDialog = 0x20000 + 305;
inline constexpr std::uint32_t kSquelchDialog = 0x20000 + 306;
inline constexpr std::uint32_t kFineDialog = 0x20000 + 307;
} // namespace HAlignHelp

// The frequency text of the alignment windows ("%9.5f MHz").
[[nodiscard]] QString AlignFrequencyText(std::int64_t hz);
// Runs `work` on a thread of its own while `busy` is disabled under a wait
// cursor; events go on being handled (the window paints and stays live), and
// the call returns when the work is done.
void RunOffThread(QWidget* busy, const std::function<void()>& work);

// Common frame: result area, "Save the Aligned Data?", Start/OK/Cancel, F1
// help, and a close that waits while the radio is being measured.
class HAlignDialogBase : public QDialog {
    Q_OBJECT
public:
    HAlignDialogBase(HComAlignment& comm, std::uint32_t helpContext, QWidget* parent);

    [[nodiscard]] QPushButton* StartButton() const { return m_start; }
    [[nodiscard]] QPushButton* OkButton() const { return m_ok; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancel; }
    [[nodiscard]] QLabel* SaveLabel() const { return m_save; }
    [[nodiscard]] bool IsBusy() const { return m_busy; }
    // A step of this dialog failed (its error was shown) since it opened.
    [[nodiscard]] bool HadFailure() const { return m_failed; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The result is in: Start hidden, Cancel on, OK and the question shown.
    void ShowResult();
    // Start and Cancel off while the radio is measured (wait cursor).
    void SetBusy(bool busy);
    void ShowError(int stringId);
    // Subclasses put their controls here, above the buttons.
    QVBoxLayout* m_body;

    HComAlignment& m_comm;
    QPushButton* m_start;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QLabel* m_save;

private:
    std::uint32_t m_help;
    bool m_busy = false;
    bool m_failed = false;
};

// VCV search of the receiver or transmitter ("RX/TX VCO Adjustment").
class HVcvAlignDlg : public HAlignDialogBase {
    Q_OBJECT
public:
    HVcvAlignDlg(HComAlignment& comm, bool tx, QWidget* parent = nullptr);
    [[nodiscard]] std::optional<int> Result() const { return m_result; }
    [[nodiscard]] QLineEdit* ResultBox() const { return m_box; }
    // The candidate being tried while the search runs; empty otherwise.
    [[nodiscard]] QLabel* TryingLabel() const { return m_trying; }

private:
    void OnStart();

    bool m_tx;
    QLineEdit* m_box;
    QLabel* m_trying;
    std::optional<int> m_result;
};

// One slider adjustment (HSliderAlign): the sequence's start when the dialog
// opens, its change for each new value, its stop when the dialog closes.
class HSliderAlignDlg : public HAlignDialogBase {
    Q_OBJECT
public:
    HSliderAlignDlg(HComAlignment& comm, HSliderSequence sequence, QWidget* parent = nullptr);

    // The start sequence; false (message shown, stop sent) when it failed.
    bool StartSequence();
    // A new value from the slider, the box or the arrow keys.
    void ChangeTo(int value);
    [[nodiscard]] int Current() const { return m_current; }
    [[nodiscard]] QSlider* Slider() const { return m_slider; }
    [[nodiscard]] QLineEdit* ValueBox() const { return m_box; }
    [[nodiscard]] QLineEdit* RssiValue() const { return m_rssi; }
    // What the radio does and what to adjust (hidden when the sequence has none).
    [[nodiscard]] QLabel* Instruction() const { return m_instruction; }

    // Runs the start first; closes as cancelled when it fails.
    int exec() override;
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReadRssi();

    HSliderSequence m_sequence;
    int m_current = 0;
    bool m_stopped = false;
    bool m_updating = false;
    QLineEdit* m_box;
    QSlider* m_slider;
    QLabel* m_rssiLabel;
    QLineEdit* m_rssi;
    QLabel* m_instruction;
};

// RX Sensitivity Tuning: three sweeps (band low, centre, high).
class HTuneAlignDlg : public HAlignDialogBase {
    Q_OBJECT
public:
    HTuneAlignDlg(HComAlignment& comm, const HAlignmentData& data, const HChannels& channels,
                  QWidget* parent = nullptr);
    [[nodiscard]] int Step() const { return m_step; }
    [[nodiscard]] const std::array<int, 3>& Results() const { return m_results; }
    [[nodiscard]] QLabel* FrequencyLabel() const { return m_frequency; }
    [[nodiscard]] QLabel* StepLabel() const { return m_stepLabel; }

private:
    void ShowStep();
    void OnStart();

    const HAlignmentData& m_data;
    const HChannels& m_channels;
    int m_step = 0;
    std::array<int, 3> m_results{};
    QLabel* m_stepLabel;
    QWidget* m_sgPanel;
    QLabel* m_frequency;
    QLabel* m_level;
    std::array<QLineEdit*, 3> m_boxes{};
};

// A squelch level from 20 samples: RSSI NSQ, S Full RSSI, Threshold NSQ and
// Tight NSQ, each Wide (channel 1) or Narrow (channel 4).
class HSqlAlignDlg : public HAlignDialogBase {
    Q_OBJECT
public:
    enum Kind { kRssiNsq = 0, kSFullRssi = 1, kThresholdNsq = 2, kTightNsq = 3 };
    static constexpr int kSampleMs = 50;

    HSqlAlignDlg(HComAlignment& comm, Kind kind, bool narrow, const HAlignmentData& data,
                 const HChannels& channels, QWidget* parent = nullptr);
    // The alignment value the result goes into (0..7).
    [[nodiscard]] int ValueIndex() const;
    [[nodiscard]] std::optional<int> Result() const { return m_result; }
    [[nodiscard]] int Samples() const { return int(m_samples.size()); }
    [[nodiscard]] QLineEdit* ResultBox() const { return m_box; }

private:
    void OnStart();
    void OnSample(); // message 0x2450

    Kind m_kind;
    bool m_narrow;
    QTimer* m_timer;
    std::vector<int> m_samples;
    std::optional<int> m_result;
    QLineEdit* m_box;
};
