#pragma once
// File > Configure (resource 174, "Configuration"): the serial port as a
// "COM n" number (1-256) or an explicit device path, the baud rate and the
// interface unit. The device list shows the serial devices present; a device
// path, when given, is used instead of the number.
#include "HRadioDetect.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CRP57App;
class HValueCombo;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class CConfigurationDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 174;
    static constexpr int kInterfaceUnitId = 1241;
    static constexpr int kComPortId = 1242;
    static constexpr int kBaudRateId = 1243;
    static constexpr int kComPorts = 256;
    static constexpr std::uint32_t kHelpContext = 131246; // 0x20000 + 174
    static constexpr int kBaudRates[3] = {9600, 19200, 38400};

    explicit CConfigurationDlg(CRP57App& app, QWidget* parent = nullptr);
    ~CConfigurationDlg() override;

    // Serial devices in `devDir` (ttyUSB*, ttyACM*, then ttyS*), each group in
    // numeric order, as full paths.
    [[nodiscard]] static QStringList SerialDevices(const QString& devDir = QStringLiteral("/dev"));
    // A device path the settings may keep: empty (use the number), or an
    // absolute path without control characters.
    [[nodiscard]] static bool IsAcceptableDevice(const QString& path);

    [[nodiscard]] HValueCombo* PortCombo() const { return m_port; }
    [[nodiscard]] QComboBox* DeviceCombo() const { return m_device; }
    [[nodiscard]] HValueCombo* BaudCombo() const { return m_baud; }
    [[nodiscard]] QCheckBox* InterfaceUnitCheck() const { return m_interfaceUnit; }
    [[nodiscard]] QPushButton* OkButton() const { return m_ok; }
    [[nodiscard]] QPushButton* FindRadioButton() const { return m_findRadio; }
    [[nodiscard]] QLabel* PortHint() const { return m_portHint; }
    // "Find radio"'s findings: each device checked and what it gave.
    [[nodiscard]] QListWidget* FindResults() const { return m_findResults; }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowPortHint();
    // "Find radio": listens on the devices of the list (the typed one first)
    // and puts the one where a radio sends its Check byte into the list's edit.
    void OnFindRadio();
    void ShowFound(const HRadioDetect::HListenReport& report);
    void SetPortHint(const QString& text);

    CRP57App& m_app;
    int m_portIndex;      // port number minus 1
    int m_connectionMode; // as at construction
    QCheckBox* m_interfaceUnit;
    HValueCombo* m_port;
    QComboBox* m_device;
    QLabel* m_portHint;
    QListWidget* m_findResults;
    HValueCombo* m_baud;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_findRadio;
    std::shared_ptr<std::atomic<bool>> m_stopFinding; // set when the dialog goes
};
