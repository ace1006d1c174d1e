// The shell's own dialogs through the running program: File > Configure and
// the settings file, View > Item > Visible with its enable rules, Common >
// Power Saving through the editor dialog, and the Help commands.
#include "AppTestSupport.h"
#include "CConfigurationDlg.h"
#include "CRP57View.h"
#include "CVisibleDlg.h"
#include "HDialog.h"
#include "HEditorForm.h"
#include "HHelpWindow.h"
#include "HOptionGroup.h"
#include "HShellDialogs.h"

namespace {

// A click on the box itself, wherever the layout stretched the widget.
void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

} // namespace

class ShellDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void configurationDevices();
    void configurationStoresPortDeviceAndBaud();
    void visiblePowerSavingAndHelpFromTheMenus();
    void visibleEnableRules();
};

void ShellDialogsTest::configurationDevices() {
    // A line break would write a key of its own into the settings file.
    QVERIFY(CConfigurationDlg::IsAcceptableDevice(QString()) &&
            !CConfigurationDlg::IsAcceptableDevice(QStringLiteral("/dev/tty\nCOM_PORT=5")));
    // The list offers serial devices only, in a natural order; a device
    // number no integer holds once ended the program.
    TempHome dev;
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyS1", "ttyACM0", "ttyS0", "tty0", "null",
                             "ttyUSB99999999999999999999", "ttyACM"})
        QVERIFY(dev.Write(name, ""));
    const QString d = dev.Path() + QLatin1Char('/');
    QCOMPARE(CConfigurationDlg::SerialDevices(dev.Path()),
             (QStringList{d + "ttyUSB2", d + "ttyUSB10", d + "ttyUSB99999999999999999999",
                          d + "ttyACM0", d + "ttyS0", d + "ttyS1"}));
}

void ShellDialogsTest::configurationStoresPortDeviceAndBaud() {
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini", "[Initialize]\nCOM_PORT=3\nBAUDRATE=4800\n"));
    {
        RunningApp run;
        QCOMPARE(run.app.BaudRate(), 4800); // kept as read
        // The information panel names the device that COM 3 is.
        auto* view = run.frame->findChild<CRP57View*>();
        QVERIFY(view);
        QCOMPARE(view->InfoValue(3)->text(), QStringLiteral("/dev/ttyS2"));
        const int frameWidth = run.frame->width();
        MessageAnswers messages;
        ModalDriver<CConfigurationDlg> cancel([](CConfigurationDlg* dialog) {
            QCOMPARE(dialog->PortCombo()->itemText(255) + '|' + dialog->PortCombo()->currentText() +
                         '|' + dialog->BaudCombo()->currentText(),
                     QStringLiteral("COM 256|COM 3|9600"));
            // The interface unit takes effect at the click, even with Cancel after.
            QVERIFY(!dialog->InterfaceUnitCheck()->isChecked());
            ClickBox(dialog->InterfaceUnitCheck());
            QCOMPARE(CRP57App::Instance()->ConnectionMode(), 1);
            dialog->reject();
        });
        QVERIFY(run.frame->RunCommand(HCmd::kConfigure));
        QCOMPARE(run.app.ConnectionMode(), 1);
        QCOMPARE(run.app.BaudRate(), 4800); // Cancel stored nothing else

        bool checked = false;
        ModalDriver<CConfigurationDlg> ok([&](CConfigurationDlg* dialog) {
            QVERIFY(dialog->InterfaceUnitCheck()->isChecked());
            ClickBox(dialog->InterfaceUnitCheck());
            PickIndex(dialog->PortCombo(), 19); // COM 20
            PickIndex(dialog->BaudCombo(), 2);  // 38400
            // A relative device is refused with a warning; the dialog stays.
            dialog->DeviceCombo()->setEditText(QStringLiteral("ttyUSB0"));
            dialog->OkButton()->click(); // the message box answers inside this
            QVERIFY(dialog->isVisible() && messages.texts.size() == 1);
            QVERIFY(messages.LastText().contains(QStringLiteral("/dev/ttyUSB0")));
            QLineEdit* device = dialog->DeviceCombo()->lineEdit();
            device->clear();
            device->setFocus();
            QTest::keyClicks(device, QStringLiteral("/dev/pts/7"));
            // Enter in the device field does not close the dialog.
            QTest::keyClick(device, Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            checked = true;
            QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        });
        QVERIFY(run.frame->RunCommand(HCmd::kConfigure));
        QVERIFY(checked);
        QCOMPARE(Line({run.app.ComPort(), run.app.BaudRate(), run.app.ConnectionMode()}),
                 QStringLiteral("20 38400 0"));
        QCOMPARE(run.app.ComDevice(), std::string("/dev/pts/7"));
        QCOMPARE(view->InfoValue(3)->text(), QStringLiteral("/dev/pts/7"));
        // A long path keeps both its ends, cut in the middle; the tip holds it whole.
        const QString longPath = QStringLiteral(
            "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0-with-a-long-tail");
        run.app.SetComDevice(longPath.toStdString());
        run.frame->SendViewRefresh();
        QLabel* port = view->InfoValue(3);
        QCOMPARE(port->toolTip(), longPath);
        QVERIFY2(port->text().startsWith(QStringLiteral("/dev/")) &&
                     port->text().endsWith(QStringLiteral("tail")) &&
                     port->text().contains(QChar(0x2026)),
                 qPrintable(port->text()));
        // It fits beside the indent a framed label gives its text.
        QVERIFY(port->fontMetrics().horizontalAdvance(port->text() + QLatin1Char('x')) <=
                port->contentsRect().width());
        QCOMPARE(run.frame->width(), frameWidth);
        if (!qEnvironmentVariableIsEmpty("RP57_SHOT_DIR"))
            for (const QSize size : {QSize(1280, 1024), QSize(860, 640)}) {
                run.frame->resize(size);
                SaveShot(run.frame, QStringLiteral("info_panel_%1").arg(size.width()));
            }
        run.app.SetComDevice("/dev/pts/7");
    }
    // The window wrote them when it went; the interface unit is never stored.
    for (const char* line : {"COM_PORT=20", "BAUDRATE=38400", "COM_DEVICE=/dev/pts/7"})
        QVERIFY2(home.Read("RP57Win.ini").contains(line), line);
    QVERIFY(!home.Read("RP57Win.ini").contains("CONNECT"));
    {
        // The next start: port 20 is outside 1-16 and falls back to 1; the
        // device path stays. Clearing it goes back to the number.
        RunningApp run;
        QVERIFY(run.app.ComPort() == 1 && run.app.ComDevice() == "/dev/pts/7");
        ModalDriver<CConfigurationDlg> driver([](CConfigurationDlg* dialog) {
            dialog->DeviceCombo()->lineEdit()->clear();
            dialog->OkButton()->click();
        });
        QVERIFY(run.frame->RunCommand(HCmd::kConfigure));
        QCOMPARE(run.app.ComDevice(), std::string());
    }
    const HIniFile ini(home.File("RP57Win.ini"));
    QVERIFY(ini.HasKey("Initialize", "COM_DEVICE") &&
            ini.GetString("Initialize", "COM_DEVICE", "x").empty());
}

void ShellDialogsTest::visiblePowerSavingAndHelpFromTheMenus() {
    TempHome home;
    RunningApp run;
    CMainFrame& frame = *run.frame;
    run.app.SetItem(4, 0);
    run.app.SetItem(10, 1); // a greyed box still shows its flag
    const int extMic = run.app.Item(16);
    QSignalSpy refresh(&frame, &CMainFrame::ViewRefreshRequested);
    QSignalSpy toggled(&frame, &CMainFrame::ItemVisibilityToggled);

    ModalDriver<CVisibleDlg> driver([](CVisibleDlg* dialog) {
        // The flags as they are (the channel view forces Ext Mic off at level 0).
        for (int i = 0; i < CVisibleDlg::kItems; ++i)
            QCOMPARE(dialog->Check(i)->isChecked(), CRP57App::Instance()->Item(i) == 1);
        QVERIFY(!dialog->Check(4)->isChecked());
        // Level 0: Ext Mic, Encr and DTMF ANI Monitor are greyed, still showing their flag.
        QVERIFY(!dialog->Check(10)->isEnabled() && !dialog->Check(16)->isEnabled() &&
                !dialog->Check(17)->isEnabled() && dialog->Check(10)->isChecked());
        ClickBox(dialog->Check(0));
        ClickBox(dialog->Check(4));
        ClickBox(dialog->Check(16)); // greyed: no change
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    QVERIFY(frame.RunCommand(HCmd::kItemVisible));
    QVERIFY(driver.Fired());
    QCOMPARE(Line({run.app.Item(0), run.app.Item(4), run.app.Item(16)}), Line({0, 1, extMic}));
    QVERIFY(!frame.CommandAction(HCmd::kItemFirst)->isChecked() &&
            frame.CommandAction(HCmd::kItemFirst + 4)->isChecked() && refresh.count() == 1);
    QCOMPARE(toggled, (QList<QVariantList>{{0}, {4}}));
    // Cancel changes no flag.
    ModalDriver<CVisibleDlg> cancel([](CVisibleDlg* dialog) {
        ClickBox(dialog->Check(1));
        dialog->reject();
    });
    QVERIFY(frame.RunCommand(HCmd::kItemVisible));
    QVERIFY(run.app.Item(1) == 1 && refresh.count() == 1);
    // Common > Power Saving: the editor dialog over the main window; OK stores
    // the pick and marks the image modified, the edits saved first and the view
    // refreshed after (Cancel is the editor dialog tests').
    HMemoryImage& image = run.doc->Image();
    const HMemoryImage before = image;
    QSignalSpy save(&frame, &CMainFrame::ViewSaveDataRequested);
    int shownTimer = -1;
    ModalDriver<HDialog> ok([&](HDialog* dialog) {
        QCOMPARE(dialog->parentWidget(), static_cast<QWidget*>(CRP57App::Instance()->MainFrame()));
        HValueCombo* timer = dialog->Form()->Combo(0);
        timer->setFocus();
        QTest::keyClick(timer, Qt::Key_Up);
        shownTimer = timer->currentData().toInt();
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    QVERIFY(frame.RunCommand(HCmd::kPowerSaving));
    QVERIFY(ok.Fired());
    QCOMPARE((image[642] >> 5) & 7, shownTimer); // Transmit Timer: bits 5-7 of byte 642
    QVERIFY(image != before);
    QCOMPARE(Line({run.app.ModifiedFlag(), save.count(), refresh.count()}),
             QStringLiteral("1 1 2"));
    // Help > Get Started, then F1 in the window: the main window's page in the
    // same help window.
    QVERIFY(frame.RunCommand(HCmd::kGetStarted));
    HHelpWindow* help = frame.findChild<HHelpWindow*>();
    QVERIFY(help && help->Browser()->toPlainText().contains(QStringLiteral("Get Started")));
    QVERIFY(frame.RunCommand(HCmd::kHelp));
    QCOMPARE(frame.findChildren<HHelpWindow*>().size(), 1);
    QVERIFY(help->ContextId() == HShellDialogs::kMainWindowHelp &&
            help->CurrentPage() == QStringLiteral("mainwindow.html"));
    help->close();
    run.app.ExitInstance();
    QVERIFY(home.Read("RP57Win.ini").contains("ITEM0=0"));
}

void ShellDialogsTest::visibleEnableRules() {
    // Mobile with or without its display, handheld, and a mobile with the option unit.
    const HMemoryImage mobile = MakeImageForModel(kBandVhf, kProductMobile, 0);
    const HMemoryImage mobileLcd = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage handheld = MakeImageForModel(kBandVhf, kProductHandheld, 0);
    HMemoryImage withUnit = mobileLcd;
    HOptionGroup option;
    option.Load(withUnit);
    option.SetValue(HOptionGroup::kValueOptionUnit, 1);
    option.Save(withUnit);

    using D = CVisibleDlg;
    // Rows: item, image, whether allowed at levels 0, 1 and 2.
    const std::tuple<int, const HMemoryImage*, const char*> rows[] = {
        {D::kItemTag, &mobile, "000"},       {D::kItemTag, &handheld, "111"},
        {D::kItemExtMic, &mobileLcd, "011"}, {D::kItemEncr, &withUnit, "011"},
        {D::kItemEncr, &mobileLcd, "000"},   {4, &mobile, "111"}};
    for (const auto& [item, image, allowed] : rows) {
        QString got;
        for (int level : {0, 1, 2})
            got += D::ItemAllowed(item, image, level) ? '1' : '0';
        QVERIFY2(got == QLatin1String(allowed), qPrintable(QString::number(item) + ' ' + got));
    }
}

RP57_APP_TEST(ShellDialogsTest)

#include "ShellDialogsTest.moc"
