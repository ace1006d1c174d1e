#include "CConfigurationDlg.h"

#include "CRP57App.h"
#include "HDialog.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HRadioDetect.h"
#include "HStringTable.h"
#include "HValueCombo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <thread>

namespace {

// How long "Find radio" listens: a radio in clone mode repeats its Check byte.
constexpr std::chrono::seconds kFindRadioWait{5};

} // namespace

CConfigurationDlg::CConfigurationDlg(CRP57App& app, QWidget* parent)
    : QDialog(parent), m_app(app), m_portIndex(app.ComPort() - 1),
      m_connectionMode(app.ConnectionMode()),
      m_interfaceUnit(new QCheckBox(QStringLiteral("&Interface Unit"), this)),
      m_port(new HValueCombo(this)), m_device(new QComboBox(this)), m_portHint(new QLabel(this)),
      m_findResults(new QListWidget(this)), m_baud(new HValueCombo(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_findRadio(new QPushButton(QStringLiteral("&Find radio"), this)),
      m_stopFinding(std::make_shared<std::atomic<bool>>(false)) {
    HLOG_D1("[FUNC IN]CConfigurationDlg::OnInitDialog");
    setObjectName(QStringLiteral("CConfigurationDlg"));
    setWindowTitle(QStringLiteral("Configuration"));
    m_interfaceUnit->setObjectName(QStringLiteral("check%1").arg(kInterfaceUnitId));
    m_port->setObjectName(QStringLiteral("combo%1").arg(kComPortId));
    m_baud->setObjectName(QStringLiteral("combo%1").arg(kBaudRateId));
    m_device->setObjectName(QStringLiteral("comDevice"));
    m_portHint->setObjectName(QStringLiteral("portHint"));
    m_ok->setObjectName(QStringLiteral("button1"));
    m_cancel->setObjectName(QStringLiteral("button2"));
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    for (int n = 1; n <= kComPorts; ++n)
        m_port->AddItem(QStringLiteral("COM %1").arg(n), n);
    // The stored number may lie outside the list; it is then kept, unshown.
    m_port->SelectByValue(m_portIndex + 1, -1);
    for (int rate : kBaudRates)
        m_baud->AddItem(QStringLiteral("%1").arg(rate), rate);
    m_baud->SelectByValue(app.BaudRate(), kBaudRates[0]);
    m_interfaceUnit->setChecked(m_connectionMode == 1);

    m_device->setEditable(true);
    m_device->setInsertPolicy(QComboBox::NoInsert);
    m_device->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_device->setMinimumContentsLength(22);
    m_device->lineEdit()->setPlaceholderText(QStringLiteral("none: use the COM port"));
    m_device->lineEdit()->setClearButtonEnabled(true);
    m_device->addItem(QString());
    m_device->addItems(SerialDevices());
    m_device->setEditText(QString::fromStdString(app.ComDevice()));

    connect(m_interfaceUnit, &QCheckBox::clicked, this, [this](bool checked) {
        // The mode follows the box at once, as the radio link reads it.
        m_app.SetConnectionMode(checked ? 1 : 0);
    });
    connect(m_port, &HValueCombo::UserPicked, this, &CConfigurationDlg::ShowPortHint);
    connect(m_device, &QComboBox::editTextChanged, this, &CConfigurationDlg::ShowPortHint);
    connect(m_ok, &QPushButton::clicked, this, &CConfigurationDlg::accept);
    m_findRadio->setObjectName(QStringLiteral("findRadio"));
    m_findRadio->setAutoDefault(false);
    m_findRadio->setToolTip(QStringLiteral(
        "Listen on every serial device for a radio switched on in clone mode; nothing is sent"));
    connect(m_findRadio, &QPushButton::clicked, this, &CConfigurationDlg::OnFindRadio);
    connect(m_cancel, &QPushButton::clicked, this, &CConfigurationDlg::reject);

    auto* portLabel = new QLabel(QStringLiteral("COM &Port"), this);
    portLabel->setBuddy(m_port);
    auto* deviceLabel = new QLabel(QStringLiteral("&Device"), this);
    deviceLabel->setBuddy(m_device);
    auto* baudLabel = new QLabel(QStringLiteral("&BaudRate"), this);
    baudLabel->setBuddy(m_baud);
    QPalette hintPalette = m_portHint->palette();
    hintPalette.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
    m_portHint->setPalette(hintPalette);
    // The hint and the findings live in boxes of their own size: the dialog
    // keeps its size, whatever a search finds.
    m_portHint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_portHint->setFixedHeight(m_portHint->fontMetrics().lineSpacing() + 4);
    m_findResults->setObjectName(QStringLiteral("findResults"));
    m_findResults->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_findResults->setFixedHeight(m_findResults->fontMetrics().lineSpacing() * 5 + 8);
    m_findResults->setFocusPolicy(Qt::NoFocus);
    m_findResults->setSelectionMode(QAbstractItemView::NoSelection);
    m_findResults->setTextElideMode(Qt::ElideMiddle);

    auto* group = new QGroupBox(QStringLiteral("Select COM Port"), this);
    auto* groupGrid = new QGridLayout(group);
    groupGrid->addWidget(portLabel, 0, 0);
    groupGrid->addWidget(m_port, 0, 1, Qt::AlignLeft);
    groupGrid->addWidget(deviceLabel, 1, 0);
    groupGrid->addWidget(m_device, 1, 1);
    groupGrid->addWidget(m_findRadio, 1, 2);
    groupGrid->addWidget(m_portHint, 2, 1, 1, 2);
    groupGrid->addWidget(m_findResults, 3, 1, 1, 2);
    groupGrid->setColumnStretch(1, 1);

    auto* baudRow = new QGridLayout;
    baudRow->addWidget(baudLabel, 0, 0);
    baudRow->addWidget(m_baud, 0, 1, Qt::AlignLeft);
    baudRow->setColumnStretch(1, 1);
    // The labels of both blocks line up.
    const int labelWidth = std::max({portLabel->sizeHint().width(), deviceLabel->sizeHint().width(),
                                     baudLabel->sizeHint().width()});
    groupGrid->setColumnMinimumWidth(0, labelWidth);
    baudRow->setColumnMinimumWidth(0, labelWidth + groupGrid->contentsMargins().left());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(baudRow);
    layout->addWidget(m_interfaceUnit);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setFixedSize(layout->sizeHint());

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { HHelpWindow::Show(kHelpContext, this); });

    ShowPortHint();
    m_port->setFocus();
    HLOG_D1("[FUNC OUT]CConfigurationDlg::OnInitDialog");
}

CConfigurationDlg::~CConfigurationDlg() {
    m_stopFinding->store(true);
}

QStringList CConfigurationDlg::SerialDevices(const QString& devDir) {
    QStringList devices;
    for (const std::string& d : HRadioDetect::SerialDevices(devDir.toStdString()))
        devices << ToQString(d);
    return devices;
}

void CConfigurationDlg::OnFindRadio() {
    std::vector<std::string> devices;
    const QString typed = m_device->currentText().trimmed();
    if (!typed.isEmpty())
        devices.push_back(typed.toStdString());
    for (int i = 0; i < m_device->count(); ++i)
        if (const QString d = m_device->itemText(i); !d.isEmpty() && d != typed)
            devices.push_back(d.toStdString());
    m_findRadio->setEnabled(false);
    SetPortHint(QStringLiteral("Listening for a radio in clone mode..."));
    m_findResults->clear();
    for (const std::string& d : devices)
        m_findResults->addItem(ToQString(d) + QStringLiteral(": listening"));
    // Listening takes seconds: it runs beside the dialog, which stays live and
    // may close meanwhile (the listener then stops at once).
    QPointer<CConfigurationDlg> self(this);
    auto stop = m_stopFinding;
    const int baud = m_baud->GetSelectedValue();
    std::thread([self, stop, devices, baud] {
        const HRadioDetect::HListenReport report =
            HRadioDetect::Listen(devices, kFindRadioWait, baud, stop.get(), true);
        QMetaObject::invokeMethod(
            qApp,
            [self, report] {
                if (self)
                    self->ShowFound(report);
            },
            Qt::QueuedConnection);
    }).detach();
}

void CConfigurationDlg::ShowFound(const HRadioDetect::HListenReport& report) {
    m_findRadio->setEnabled(true);
    m_findResults->clear();
    for (const HRadioDetect::HDeviceHeard& d : report.checked) {
        QString line;
        switch (d.heard) {
        case HRadioDetect::HHeard::Radio:
            line = ToQString(d.device) + QStringLiteral(": a radio in clone mode");
            break;
        case HRadioDetect::HHeard::Silent:
            line = ToQString(d.device) + QStringLiteral(": no Check byte");
            break;
        case HRadioDetect::HHeard::Busy:
        case HRadioDetect::HHeard::Unusable:
            line = ToQString(d.why); // names the device first
            break;
        }
        auto* item = new QListWidgetItem(line, m_findResults);
        item->setToolTip(line);
    }
    if (report.radios.empty()) {
        SetPortHint(
            HMessageBox::Text(HStringTable::kDetectNone,
                              {std::to_string(report.checked.size()) + " serial device(s)"}));
        return;
    }
    const std::string& device = report.radios.front();
    m_device->setEditText(ToQString(device));
    SetPortHint(HMessageBox::Text(HStringTable::kDetectFound, {device}));
}

void CConfigurationDlg::SetPortHint(const QString& text) {
    m_portHint->setText(text);
    // The line is cut where the dialog ends; the tip holds all of it.
    m_portHint->setToolTip(text);
}

bool CConfigurationDlg::IsAcceptableDevice(const QString& path) {
    if (path.isEmpty())
        return true;
    if (!path.startsWith(QLatin1Char('/')))
        return false;
    return std::none_of(path.begin(), path.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

void CConfigurationDlg::ShowPortHint() {
    const QString device = m_device->currentText().trimmed();
    if (!device.isEmpty()) {
        SetPortHint(QStringLiteral("The device is used instead of the COM port."));
        return;
    }
    const int number = m_port->GetSelectedValue();
    SetPortHint(QStringLiteral("COM %1 is /dev/ttyS%2").arg(number).arg(number - 1));
}

void CConfigurationDlg::accept() {
    HLOG_D1("[FUNC IN]CConfigurationDlg::OnOK");
    const QString device = m_device->currentText().trimmed();
    if (!IsAcceptableDevice(device)) {
        QMessageBox::warning(this, QString::fromLatin1(HMessageBox::kCaption),
                             QStringLiteral("The device must be a full path, such as "
                                            "/dev/ttyUSB0."));
        m_device->setFocus();
        HLOG_D1("[FUNC OUT]CConfigurationDlg::OnOK");
        return;
    }
    m_portIndex = m_port->GetSelectedValue() - 1;
    m_app.SetComPort(m_portIndex + 1);
    m_app.SetBaudRate(m_baud->GetSelectedValue());
    m_app.SetComDevice(device.toStdString());
    HLOG_D1("Configuration: COM_PORT=%d BAUDRATE=%d COM_DEVICE=[%s] mode=%d", m_app.ComPort(),
            m_app.BaudRate(), m_app.ComDevice().c_str(), m_app.ConnectionMode());
    QDialog::accept();
    HLOG_D1("[FUNC OUT]CConfigurationDlg::OnOK");
}

void CConfigurationDlg::keyPressEvent(QKeyEvent* event) {
    if (!PressFocusedButtonOnEnter(*this, event))
        QDialog::keyPressEvent(event);
}
