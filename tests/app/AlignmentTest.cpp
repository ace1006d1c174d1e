// The factory branches of the Radio menu in Manufacture Mode, through the
// running program against the simulated radio in alignment mode on a
// pseudo-terminal: a Basic Alignment with each kind of adjustment dialog, a
// failed word write told in the window, a channel fine alignment and an
// adjustment recovery, and what each leaves in the radio.
#include "AppTestSupport.h"
#include "HAdjustmentRecovery.h"
#include "HAlignSliders.h"
#include "HAlignmentData.h"
#include "HAlignmentDialogs.h"
#include "HAlignmentImage.h"
#include "HBasicAlignmentSheet.h"
#include "HChannels.h"
#include "HFineAlignmentDlg.h"
#include "HHelpWindow.h"
#include "HRadioSim.h"
#include "HSimAlignment.h"

namespace {

// The one record the flow left in the history, once it is kept.
HRadioSummary OnlyRadio() {
    HHistoryCommands::Flush();
    std::vector<HRadioSummary> radios;
    std::string error;
    if (!HHistoryCommands::History().Radios(radios, error) || radios.size() != 1)
        return {};
    return radios.front();
}

using namespace HChannelTables;

// The program in Manufacture Mode with the simulated radio holding `memory`
// on its port.
struct Factory {
    Factory(const TempHome& home, const std::optional<HMemoryImage>& memory,
            const QStringList& faults = {})
        : radio(home, memory, faults), run(1) {
        run.app.SetComDevice(radio.Link().toStdString());
    }
    [[nodiscard]] bool Ready() const { return radio.Started() && run.frame != nullptr; }
    SimRadio radio;
    RunningApp run;
};

// The default alignment file of the factory radio's model, beside the program.
bool WriteAlignmentFile(const TempHome& home) {
    const HMemoryImage radio = FactoryRadio();
    const std::optional<std::string> name = HAlignmentImage::DefaultFileName(radio);
    return name && HDataFile::Write(home.File(name->c_str()), radio).Ok();
}

// The identity mark (0x0610) the reliability test looks for, in the working
// copy and in the shipping default, or neither.
HMemoryImage WithIdentityMarks(HMemoryImage m, bool eeprom, bool flash) {
    for (const auto& [at, marked] : {std::pair{std::size_t(0x1F6), eeprom}, {0x3104, flash}}) {
        m[at] = marked ? 0x06 : 0x00;
        m[at + 1] = marked ? 0x10 : 0x00;
    }
    return m;
}

std::uint16_t Word(const HMemoryImage& m, int word) {
    return std::uint16_t(m[std::size_t(word) * 2] << 8 | m[std::size_t(word) * 2 + 1]);
}

// Runs a modal dialog's Start and waits (bounded, so a broken build ends)
// until its result is shown.
template <class D> bool StartAndWaitForResult(D* dialog) {
    dialog->StartButton()->click();
    for (int i = 0; i < 6000 && !dialog->OkButton()->isVisible(); ++i)
        QTest::qWait(10);
    return dialog->OkButton()->isVisible();
}

} // namespace

class AlignmentTest : public QObject {
    Q_OBJECT
private slots:
    void radioMenuOffersAlignmentOnlyInManufactureMode();
    void everyAlignmentWindowHasItsHelpPage();
    void sliderInstructionsUseTheWordsOfTheHelpPage();
    void basicAlignmentEndToEnd();
    void aWordTheRadioRefusesIsToldAndTheImageKeepsTheValue();
    void aStepWhoseReadingsFailStoresNothingAndTheEndSaysSo();
    void channelFineAlignmentStoresTheChannelOffset();
    void fineAlignmentChannelListTakesTypedNumbersAndShowsTags();
    void theSimulatedRadioRecoversInEachOfItsFourStates();
    void aRefusedRecoveryFileIsToldWithItsNameAndReason();
};

void AlignmentTest::radioMenuOffersAlignmentOnlyInManufactureMode() {
    for (int level : {0, 1}) {
        TempHome home;
        RunningApp run(level);
        QVERIFY(run.frame);
        run.frame->UpdateCommandUI();
        for (int id : {HCmd::kBasicAlignment, HCmd::kChFineAlignment, HCmd::kAdjustmentRecover})
            QVERIFY2(run.frame->CommandAction(id)->isEnabled() == (level == 1),
                     qPrintable(QStringLiteral("level %1 command %2").arg(level).arg(id)));
    }
}

void AlignmentTest::everyAlignmentWindowHasItsHelpPage() {
    const QDir help(HHelpWindow::HelpDirectory());
    QVERIFY(help.exists());
    for (std::uint32_t id :
         {HAlignHelp::kAlignmentPage, HAlignHelp::kBasic2Page, HAlignHelp::kVcvDialog,
          HAlignHelp::kSliderDialog, HAlignHelp::kTuneDialog, HAlignHelp::kSquelchDialog,
          HAlignHelp::kFineDialog, std::uint32_t(0x10000 + HCmd::kBasicAlignment),
          std::uint32_t(0x10000 + HCmd::kChFineAlignment),
          std::uint32_t(0x10000 + HCmd::kAdjustmentRecover)}) {
        const QString page = HHelpWindow::PageForContext(id);
        QVERIFY2(!page.isEmpty() && page != QLatin1String(HHelpWindow::kIndexPage),
                 qPrintable(QString::number(id, 16)));
        QVERIFY2(help.exists(page), qPrintable(page));
    }
}

void AlignmentTest::sliderInstructionsUseTheWordsOfTheHelpPage() {
    QFile page(HHelpWindow::HelpDirectory() + QLatin1Char('/') +
               HHelpWindow::PageForContext(HAlignHelp::kSliderDialog));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(page.readAll()).simplified();
    HAlignmentData data;
    data.Load(FactoryRadio());
    HChannels channels;
    channels.Load(FactoryRadio());
    for (int i = 0; i <= int(HAlignSliders::Basic::FrequencyDa); ++i) {
        const auto which = HAlignSliders::Basic(i);
        const QString line =
            QString::fromStdString(HAlignSliders::ForBasic(which, data, channels).instruction);
        QVERIFY2(!line.isEmpty(), qPrintable(QString::number(i)));
        // "The radio transmits on the test channel with the value on the
        // slider: move the slider until the INSTRUMENT shows the value the
        // radio's data sheet asks for."
        const QString instrument =
            line.section(QStringLiteral("until the "), 1).section(QStringLiteral(" shows"), 0, 0);
        for (const QString& words :
             {QStringLiteral("the radio transmits"),
              QStringLiteral("on the test channel with the value on the slider"),
              QStringLiteral("move the slider"), instrument,
              QStringLiteral("shows the value the radio's data sheet asks for")}) {
            QVERIFY2(line.contains(words, Qt::CaseInsensitive), qPrintable(line));
            QVERIFY2(help.contains(words, Qt::CaseInsensitive), qPrintable(words));
        }
    }
}

void AlignmentTest::basicAlignmentEndToEnd() {
    TempHome home;
    QVERIFY(WriteAlignmentFile(home));
    Factory factory(home, FactoryRadio());
    QVERIFY(factory.Ready());
    RunningApp& run = factory.run;
    SimRadio& radio = factory.radio;
    MessageAnswers answers(QMessageBox::Ok);

    QString vcvBox, squelchBox, powerBox, title;
    QStringList tuneShown; // the texts of RX Sensitivity Tuning's last screen
    QStringList vcvShown;  // the VCV search's progress line, as it changed
    QString vcvTryingAfter, powerInstruction, daInstruction;
    int powerWidth = 0;
    int vcvResult = -1, squelchResult = -1, newPower = -1;
    bool mobileLowHi = false, eLowHidden = false;
    ModalDriver<HBasicAlignmentSheet> sheetDriver([&](HBasicAlignmentSheet* sheet) {
        title = sheet->windowTitle();
        for (QLabel* label : sheet->findChildren<QLabel*>())
            if (label->text() == QStringLiteral("TX Power Low-Hi"))
                mobileLowHi = true;
        eLowHidden = sheet->StartButton(HBasicAlignmentSheet::kBasic2Page, 3)->isHidden();

        // VCO RX: the search runs while the window stays live and shows the
        // candidate it is trying.
        ModalDriver<HVcvAlignDlg> vcv([&](HVcvAlignDlg* d) {
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                const QString text = d->TryingLabel()->text();
                if (d->IsBusy() && d->TryingLabel()->isVisible() && !text.isEmpty() &&
                    (vcvShown.isEmpty() || vcvShown.last() != text)) {
                    vcvShown << text;
                    if (vcvShown.size() == 3)
                        SaveShot(d, QStringLiteral("vcv_searching"));
                }
            });
            watch.start(5);
            if (StartAndWaitForResult(d)) {
                watch.stop();
                vcvResult = d->ResultBox()->text().toInt();
                vcvTryingAfter = d->TryingLabel()->text();
                d->OkButton()->click();
            }
        });
        sheet->OnStart(HBasicAlignmentSheet::kAlignmentPage, 0);
        vcvBox = sheet->ValueBox(HBasicAlignmentSheet::kAlignmentPage, 0)->text();

        // RSSI NSQ Wide: 20 samples, one per timer.
        ModalDriver<HSqlAlignDlg> sql([&](HSqlAlignDlg* d) {
            if (StartAndWaitForResult(d) && d->Samples() == 20) {
                squelchResult = d->ResultBox()->text().toInt();
                d->OkButton()->click();
            }
        });
        sheet->OnStart(HBasicAlignmentSheet::kAlignmentPage, 6);
        squelchBox = sheet->ValueBox(HBasicAlignmentSheet::kAlignmentPage, 8)->text();

        // TX Power High moved up by 3.
        ModalDriver<HSliderAlignDlg> slider([&](HSliderAlignDlg* d) {
            if (d->Instruction()->isVisible())
                powerInstruction = d->Instruction()->text();
            powerWidth = d->width();
            SaveShot(d, QStringLiteral("slider_tx_power"));
            newPower = d->Current() + 3;
            d->ChangeTo(newPower);
            if (d->Current() == newPower)
                d->OkButton()->click();
        });
        sheet->OnStart(HBasicAlignmentSheet::kBasic2Page, 0);
        powerBox = sheet->ValueBox(HBasicAlignmentSheet::kBasic2Page, 0)->text();

        // Frequency D/A: looked at, then cancelled.
        ModalDriver<HSliderAlignDlg> da([&](HSliderAlignDlg* d) {
            if (d->Instruction()->isVisible())
                daInstruction = d->Instruction()->text();
            SaveShot(d, QStringLiteral("slider_frequency_da"));
            d->CancelButton()->click();
        });
        sheet->OnStart(HBasicAlignmentSheet::kAlignmentPage, 2);

        // RX Sensitivity Tuning: three sweeps.
        ModalDriver<HTuneAlignDlg> tune([&](HTuneAlignDlg* d) {
            for (int step = 0; step < 3 && d->Step() == step; ++step) {
                d->StartButton()->click();
                for (int i = 0; i < 6000 && d->Step() == step; ++i)
                    QTest::qWait(10);
            }
            for (QLabel* label : d->findChildren<QLabel*>())
                if (label->isVisibleTo(d))
                    tuneShown << label->text();
            SaveShot(d, QStringLiteral("tune_done"));
            if (d->OkButton()->isVisible())
                d->OkButton()->click();
        });
        sheet->OnStart(HBasicAlignmentSheet::kAlignmentPage, 3);
        sheet->ExitButton()->click();
    });
    QVERIFY(run.frame->RunCommand(HCmd::kBasicAlignment));
    QVERIFY(sheetDriver.Fired());
    QCOMPARE(title, QStringLiteral("Basic Alignment"));
    QVERIFY(mobileLowHi);
    QVERIFY(eLowHidden);

    // The simulated PLL reads VCV - 40 at the high edge: 225 is the first
    // value down from 245 that reads 182..188.
    QCOMPARE(vcvResult, 225);
    QCOMPARE(vcvBox, QStringLiteral("225"));
    // The candidates shown while the search ran: several, in the order tried
    // (245, 241, ... 225), and none once the result is in.
    QVERIFY2(vcvShown.size() >= 2, qPrintable(vcvShown.join(QStringLiteral(" | "))));
    int previous = 246;
    for (const QString& shown : vcvShown) {
        const int vcvTried =
            shown.section(QStringLiteral("trying VCV "), 1).section(QLatin1Char(' '), 0, 0).toInt();
        QVERIFY2(vcvTried < previous && vcvTried >= 225 && (245 - vcvTried) % 4 == 0,
                 qPrintable(vcvShown.join(QStringLiteral(" | "))));
        previous = vcvTried;
    }
    QVERIFY2(vcvTryingAfter.isEmpty(), qPrintable(vcvTryingAfter));
    // The keyed sliders say what the radio does and which instrument to read.
    QCOMPARE(powerInstruction,
             QStringLiteral("The radio transmits on the test channel with the value on the slider: "
                            "move the slider until the power meter shows the value the radio's "
                            "data sheet asks for."));
    QVERIFY2(daInstruction.contains(QStringLiteral("until the frequency counter shows")),
             qPrintable(daInstruction));
    // The line wraps: the dialog fits the smallest screen the program supports.
    QVERIFY2(powerWidth > 0 && powerWidth <= 860, qPrintable(QString::number(powerWidth)));
    QVERIFY(std::abs(squelchResult - HSimAlignment::kRssiPeak) <= HSimAlignment::kSpread);
    QCOMPARE(squelchBox, QString::number(squelchResult));
    QCOMPARE(powerBox, QString::number(newPower));
    // Once the three steps are tuned, the screen says so instead of asking
    // for the last step's signal generator settings.
    QVERIFY2(tuneShown.contains(QLatin1String(HAlignText::kTuneDone)),
             qPrintable(tuneShown.join(QStringLiteral(" | "))));
    QVERIFY2(!tuneShown.contains(QLatin1String(HAlignText::kSetSg)),
             qPrintable(tuneShown.join(QStringLiteral(" | "))));
    QVERIFY2(!tuneShown.join(QLatin1Char(' ')).contains(QStringLiteral("MHz")),
             qPrintable(tuneShown.join(QStringLiteral(" | "))));
    QVERIFY(answers.texts.contains(QStringLiteral("Basic Alignment is Finished!")));
    QVERIFY(!answers.asked.contains(QStringLiteral("message2906")));

    // The radio holds the accepted values, a sound checksum and the end mark.
    const HMemoryImage m = radio.StopAndRead();
    HAlignmentData data;
    data.Load(m);
    QCOMPARE(data.GetValue(16), 225);
    QCOMPARE(data.GetValue(0), squelchResult);
    QCOMPARE(data.GetValue(8), newPower);
    QVERIFY(std::abs(data.GetValue(21) - HSimAlignment::TunePeak(1)) <=
            HSimAlignment::kRssiFlatHalfWidth);
    QVERIFY(HAlignmentData().VerifyChecksum(m));
    QCOMPARE(Word(m, 0xFF), std::uint16_t(0xA55A));
    // One record of the whole alignment, with what its start read and its end wrote.
    const HRadioSummary recorded = OnlyRadio();
    QCOMPARE(recorded.records, std::int64_t(1));
    QCOMPARE(recorded.last.operation, HHistoryOperation::Alignment);
    QCOMPARE(recorded.last.result, HHistoryResult::Done);
    QVERIFY(!recorded.last.readHash.empty() && !recorded.last.writtenHash.empty());
}

void AlignmentTest::aWordTheRadioRefusesIsToldAndTheImageKeepsTheValue() {
    TempHome home;
    QVERIFY(WriteAlignmentFile(home));
    // TX Power High is byte 14, in word 0x07: a slider step, with no search
    // to wait for.
    Factory factory(home, FactoryRadio(), {"--fault", "write-fail:0x07"});
    QVERIFY(factory.Ready());
    MessageAnswers answers(QMessageBox::Ok);
    QString box;
    int newPower = -1;
    ModalDriver<HBasicAlignmentSheet> sheetDriver([&](HBasicAlignmentSheet* sheet) {
        ModalDriver<HSliderAlignDlg> slider([&](HSliderAlignDlg* d) {
            newPower = d->Current() + 3;
            d->ChangeTo(newPower);
            d->OkButton()->click();
        });
        sheet->OnStart(HBasicAlignmentSheet::kBasic2Page, 0);
        box = sheet->ValueBox(HBasicAlignmentSheet::kBasic2Page, 0)->text();
        sheet->ExitButton()->click();
    });
    QVERIFY(factory.run.frame->RunCommand(HCmd::kBasicAlignment));
    QVERIFY(answers.asked.contains(QStringLiteral("message2906")));
    const QString told = answers.texts.at(answers.asked.indexOf(QStringLiteral("message2906")));
    QVERIFY2(told.contains(QStringLiteral("EEPROM word 0x07")), qPrintable(told));
    QCOMPARE(box, QString::number(newPower));
    // The radio kept its own value.
    QVERIFY(FactoryRadio()[14] != newPower);
    QCOMPARE(factory.radio.StopAndRead()[14], FactoryRadio()[14]);
}

void AlignmentTest::aStepWhoseReadingsFailStoresNothingAndTheEndSaysSo() {
    // The radio answers every A/D read with NAK: RX Tune and RSSI NSQ each
    // fail, are shown as failed and store nothing; TX Power High (no reading)
    // is accepted; the end does not say Finished and names the two.
    TempHome home;
    QVERIFY(WriteAlignmentFile(home));
    Factory factory(home, FactoryRadio(), {"--fault", "nak-command:0x31"});
    QVERIFY(factory.Ready());
    MessageAnswers answers(QMessageBox::Ok);
    QString tuneBox, squelchBox;
    QStringList failed;
    ModalDriver<HBasicAlignmentSheet> sheetDriver([&](HBasicAlignmentSheet* sheet) {
        ModalDriver<HTuneAlignDlg> tune([&](HTuneAlignDlg* d) {
            d->StartButton()->click();
            if (d->HadFailure() && d->Step() == 0)
                d->CancelButton()->click();
        });
        sheet->OnStart(HBasicAlignmentSheet::kAlignmentPage, 3);
        tuneBox = sheet->ValueBox(HBasicAlignmentSheet::kAlignmentPage, 4)->text();
        ModalDriver<HSqlAlignDlg> sql([&](HSqlAlignDlg* d) {
            d->StartButton()->click();
            for (int i = 0; i < 1000 && !d->HadFailure(); ++i)
                QTest::qWait(10);
            if (d->HadFailure() && !d->Result() && !d->OkButton()->isVisible())
                d->CancelButton()->click();
        });
        sheet->OnStart(HBasicAlignmentSheet::kAlignmentPage, 6);
        squelchBox = sheet->ValueBox(HBasicAlignmentSheet::kAlignmentPage, 8)->text();
        ModalDriver<HSliderAlignDlg> slider([&](HSliderAlignDlg* d) { d->OkButton()->click(); });
        sheet->OnStart(HBasicAlignmentSheet::kBasic2Page, 0);
        for (const std::string& step : sheet->FailedSteps())
            failed << QString::fromStdString(step);
        sheet->ExitButton()->click();
    });
    QVERIFY(factory.run.frame->RunCommand(HCmd::kBasicAlignment));
    QVERIFY(sheetDriver.Fired());
    QVERIFY(answers.asked.contains(QStringLiteral("message2903")));
    QVERIFY(answers.asked.contains(QStringLiteral("message2908")));
    QCOMPARE(failed, (QStringList{QStringLiteral("RX Tune"), QStringLiteral("RSSI SQL W")}));
    const HMemoryImage before = FactoryRadio();
    QCOMPARE(tuneBox, QString::number(before[28]));
    QCOMPARE(squelchBox, QString::number(before[6]));
    QVERIFY(!answers.texts.contains(QStringLiteral("Basic Alignment is Finished!")));
    QVERIFY2(std::ranges::any_of(answers.texts,
                                 [](const QString& t) {
                                     return t.startsWith(QStringLiteral(
                                                "Basic Alignment is NOT finished")) &&
                                            t.contains(QStringLiteral(": RX Tune, RSSI SQL W."));
                                 }),
             qPrintable(answers.texts.join(QStringLiteral(" | "))));
    // The radio: its own tune value and squelch level, a sound checksum.
    const HMemoryImage m = factory.radio.StopAndRead();
    QCOMPARE(int(m[28]), int(before[28]));
    QCOMPARE(int(m[6]), int(before[6]));
    QVERIFY(HAlignmentData().VerifyChecksum(m));
}

void AlignmentTest::channelFineAlignmentStoresTheChannelOffset() {
    TempHome home;
    HMemoryImage memory = FactoryRadio();
    const int txVcvBefore = [&] {
        HChannels model;
        model.Load(memory);
        // Channel 1 decodes DCS 023 (inverted) and sends CTCSS 67.0 Hz.
        model.SetField(0, kFieldRxToneType, 2);
        model.SetField(0, kFieldRxTone, 023);
        model.SetField(0, kFieldRxToneInverted, 1);
        model.SetField(0, kFieldTxToneType, 1);
        model.SetField(0, kFieldTxTone, 670);
        model.Save(memory);
        return int(model.GetField(0, kFieldTxTune16));
    }();
    Factory factory(home, memory);
    QVERIFY(factory.Ready());
    RunningApp& run = factory.run;
    SimRadio& radio = factory.radio;
    MessageAnswers answers(QMessageBox::Ok);

    int shownBefore = -1, shownAfter = -1;
    QString rowLabel;
    QStringList tones;
    ModalDriver<HFineAlignmentDlg> fine([&](HFineAlignmentDlg* d) {
        for (int i = 0; i < 1000 && d->Channel() < 0; ++i)
            QTest::qWait(10);
        if (d->Channel() != 0)
            return;
        // The tones as "%s%03o" and "%s%5.1f": no DCS polarity suffix here.
        tones << d->InfoLabel(3)->text() << d->InfoLabel(4)->text()
              << d->RowLabel(HFineAlignment::kSubAudioDeviation)->text();
        rowLabel = d->RowLabel(HFineAlignment::kTxVcv)->text();
        shownBefore = d->ValueBox(HFineAlignment::kTxVcv)->text().toInt();
        ModalDriver<HSliderAlignDlg> slider([&](HSliderAlignDlg* s) {
            s->ChangeTo(s->Current() + 2);
            s->OkButton()->click();
        });
        d->OnStart(HFineAlignment::kTxVcv);
        shownAfter = d->ValueBox(HFineAlignment::kTxVcv)->text().toInt();
        d->accept();
    });
    QVERIFY(run.frame->RunCommand(HCmd::kChFineAlignment));
    QVERIFY(fine.Fired());
    QCOMPARE(rowLabel, QStringLiteral("TX"));
    QCOMPARE(tones, (QStringList{QStringLiteral("D-023"), QStringLiteral("C- 67.0"),
                                 QStringLiteral("DCS Deviation")}));
    QCOMPARE(shownAfter, shownBefore + 2);
    QVERIFY(answers.texts.contains(QStringLiteral("Channel Fine Alignment is Finished!")));

    // Event 6 wrote the channel pages: the offset and the aligned flag.
    HChannels model;
    model.Load(radio.StopAndRead());
    QCOMPARE(model.GetField(0, kFieldTxTune16), txVcvBefore + 2);
    QCOMPARE(model.GetField(0, kFieldKeepTuningPoints), 1);
    const HRadioSummary recorded = OnlyRadio();
    QCOMPARE(recorded.records, std::int64_t(1));
    QCOMPARE(recorded.last.operation, HHistoryOperation::Alignment);
    QCOMPARE(recorded.last.result, HHistoryResult::Done);
}

void AlignmentTest::fineAlignmentChannelListTakesTypedNumbersAndShowsTags() {
    TempHome home;
    // Group 1 holds 50 channels; channel 42 is known by its tag, 41 has none.
    // Group 2 holds 12, of which only 10-12 are in use.
    HMemoryImage memory = FactoryRadio();
    HChannels model;
    model.Load(memory);
    for (int g = 0; g < 8; ++g)
        model.SetGroupValue(g, kGroupChannels, g == 0 ? 50 : g == 1 ? 12 : 0);
    model.NormalizeGroups();
    for (int c = 0; c < 62; ++c)
        model.SetField(c, kFieldInUse, c < 50 || c >= 59 ? 1 : 0);
    model.SetTag(41, "RPT42");
    model.SetTag(40, ""); // a channel without a tag shows its number alone
    model.Save(memory);
    Factory factory(home, memory);
    QVERIFY(factory.Ready());
    MessageAnswers answers(QMessageBox::Ok);

    struct Step {
        const char* keys;
        bool pauseBefore;       // longer than the keyboard's input interval
        bool listOpen;          // typed into the open list, then Return
        int channel;            // absolute channel switched to
        bool groupList = false; // typed into the group list (Alt+G), then back (Alt+N)
    };
    // The open list comes last: offscreen, a closed pop-up leaves the focus
    // on another control.
    const std::array<Step, 12> steps = {{
        {"42", false, false, 41},
        {"7", true, false, 6},
        {"4", true, false, 3},
        {"2", true, false, 1}, // after a pause: a new number, not 42
        {"1", true, false, 0},
        {"0", true, false, 0},        // no channel 0: the list stays
        {"509", true, false, 8},      // no channel 509: 9 starts again
        {"2", true, false, 59, true}, // group 2: its first channel in use, 10
        {"1", true, false, 59},       // no channel 1 here: the first from 1, 10
        {"12", true, false, 61},
        {"1", true, false, 0, true},
        {"12", true, true, 11},
    }};
    QStringList results;
    QString group1;
    QString entry42;
    QString entry41;
    ModalDriver<HFineAlignmentDlg> fine([&](HFineAlignmentDlg* d) {
        for (int i = 0; i < 1000 && d->Channel() < 0; ++i)
            QTest::qWait(10);
        d->activateWindow();
        if (!QTest::qWaitForWindowActive(d))
            return;
        group1 = d->GroupList()->itemText(0);
        entry42 = d->ChannelList()->itemText(41);
        entry41 = d->ChannelList()->itemText(40);
        // Alt+N: the channel list takes the keys.
        QTest::keyClick(d->windowHandle(), Qt::Key_N, Qt::AltModifier);
        for (const Step& step : steps) {
            if (step.pauseBefore)
                QTest::qWait(QApplication::keyboardInputInterval() + 200);
            if (step.groupList)
                QTest::keyClick(d->windowHandle(), Qt::Key_G, Qt::AltModifier);
            if (step.listOpen)
                QTest::keyClick(d->windowHandle(), Qt::Key_F4);
            for (const char* k = step.keys; *k != 0; ++k)
                QTest::keyClick(d->windowHandle(), *k);
            if (step.listOpen)
                QTest::keyClick(d->windowHandle(), Qt::Key_Return);
            if (step.groupList)
                QTest::keyClick(d->windowHandle(), Qt::Key_N, Qt::AltModifier);
            for (int i = 0; i < 300 && d->Channel() != step.channel; ++i)
                QTest::qWait(10);
            if (results.isEmpty())
                ShootScreen(QStringLiteral("fine-alignment-42"));
            // The radio's channel, and the list's entry beside it.
            results << QStringLiteral("%1 -> %2 (%3)")
                           .arg(QLatin1String(step.keys))
                           .arg(d->Channel() + 1)
                           .arg(d->ChannelList()->currentText().left(2));
        }
        d->reject();
    });
    QVERIFY(factory.run.frame->RunCommand(HCmd::kChFineAlignment));
    QVERIFY(fine.Fired());
    QCOMPARE(group1, QStringLiteral(" 1"));
    QCOMPARE(entry42, QStringLiteral("42  RPT42"));
    QCOMPARE(entry41, QStringLiteral("41"));
    QCOMPARE(results,
             (QStringList{QStringLiteral("42 -> 42 (42)"), QStringLiteral("7 -> 7 ( 7)"),
                          QStringLiteral("4 -> 4 ( 4)"), QStringLiteral("2 -> 2 ( 2)"),
                          QStringLiteral("1 -> 1 ( 1)"), QStringLiteral("0 -> 1 ( 1)"),
                          QStringLiteral("509 -> 9 ( 9)"), QStringLiteral("2 -> 60 (10)"),
                          QStringLiteral("1 -> 60 (10)"), QStringLiteral("12 -> 62 (12)"),
                          QStringLiteral("1 -> 1 ( 1)"), QStringLiteral("12 -> 12 (12)")}));
}

void AlignmentTest::theSimulatedRadioRecoversInEachOfItsFourStates() {
    // The simulated radio as it starts, sound or with a copy of its adjustment
    // data lost: each state's question, the answer a technician gives, and
    // the factory's adjustment data back in the radio afterwards.
    struct Case {
        const char* fault;
        int question;   // the message that decides the way back
        bool savedFile; // the way back asks for a saved data file
        bool recovered;
    };
    const Case cases[] = {
        {"", HStringTable::kAdjNotDefected, false, true},
        {"damaged:eeprom", HStringTable::kAdjDefectedRecover, false, true},
        {"damaged:flash", HStringTable::kShippingDefaultDefected, true, true},
        {"damaged:both", HStringTable::kAdjDefected, false, false},
    };
    const HMemoryImage factoryMemory = SimFactoryMemory();
    // Where the two copies and their identities lie.
    const std::pair<std::size_t, std::size_t> adjustment[] = {
        {0x04, 0x21}, {0x1F6, 0x1FD}, {0x3000, 0x3011}, {0x3104, 0x313C}};
    for (const Case& c : cases) {
        const QString row = QLatin1String(*c.fault ? c.fault : "sound");
        TempHome home;
        // A data file saved from this radio while it was sound.
        const QString saved = home.QPath("saved.R57");
        QVERIFY(HDataFile::Write(saved.toStdString(), factoryMemory).Ok());
        Factory factory(home, std::nullopt,
                        *c.fault ? QStringList{"--fault", QLatin1String(c.fault)} : QStringList{});
        QVERIFY2(factory.Ready(), qPrintable(row));
        MessageAnswers answers(QMessageBox::Ok);
        answers.Queue(c.question, QMessageBox::Yes);
        FileChoice choose(QStringLiteral("RecoveryFileDialog"), saved);

        QVERIFY2(factory.run.frame->RunCommand(HCmd::kAdjustmentRecover), qPrintable(row));
        QVERIFY2(answers.asked.contains(QStringLiteral("message%1").arg(c.question)),
                 qPrintable(row + QStringLiteral(": ") + answers.asked.join(QLatin1Char(' '))));
        QCOMPARE(choose.Fired(), c.savedFile);
        QVERIFY2(
            answers.texts.contains(QStringLiteral("Adjustment Recovery Complete!")) == c.recovered,
            qPrintable(row + QStringLiteral(": ") + answers.texts.join(QStringLiteral(" | "))));
        if (!c.recovered) {
            QVERIFY2(!factory.radio.MemoryKept(), qPrintable(row + QStringLiteral(": written")));
            continue;
        }
        const HMemoryImage m = factory.radio.StopAndRead();
        for (const auto& [first, last] : adjustment)
            for (std::size_t at = first; at <= last; ++at)
                QVERIFY2(m[at] == factoryMemory[at],
                         qPrintable(row + QStringLiteral(": byte 0x%1").arg(at, 0, 16)));
        QVERIFY2(HAdjustmentRecovery::ReliabilityTest(m) == HAdjustmentRecovery::kBothSound,
                 qPrintable(row));
        QCOMPARE(Word(m, 0xFF), std::uint16_t(0xA55A));
        // One record: the radio as read, and the recovered words as written.
        const HRadioSummary recorded = OnlyRadio();
        QCOMPARE(recorded.records, std::int64_t(1));
        QCOMPARE(recorded.last.operation, HHistoryOperation::Recovery);
        QCOMPARE(recorded.last.result, HHistoryResult::Done);
        HMemoryImage written{}, read{};
        std::string error;
        QVERIFY(HHistoryCommands::History().Image(recorded.last.writtenHash, written, error));
        QVERIFY(HHistoryCommands::History().Image(recorded.last.readHash, read, error));
        bool repaired = false;
        for (const auto& [first, last] : adjustment)
            for (std::size_t at = first; at <= last; ++at) {
                QVERIFY2(written[at] == m[at],
                         qPrintable(row + QStringLiteral(": written 0x%1").arg(at, 0, 16)));
                repaired = repaired || read[at] != m[at];
            }
        QVERIFY2(repaired == (*c.fault != 0), qPrintable(row));
    }
}

void AlignmentTest::aRefusedRecoveryFileIsToldWithItsNameAndReason() {
    TempHome home;
    // Only the working copy is sound: a saved data file is asked for.
    HMemoryImage memory = WithIdentityMarks(FactoryRadio(), true, false);
    HAlignmentData().RecomputeChecksum(memory);
    const QString file = home.Path() + QStringLiteral("/short.R57");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("0123456789");
    }
    Factory factory(home, memory);
    QVERIFY(factory.Ready());
    MessageAnswers answers(QMessageBox::Ok);
    answers.Queue(HStringTable::kShippingDefaultDefected, QMessageBox::Yes);
    FileChoice choose(QStringLiteral("RecoveryFileDialog"), file);

    QVERIFY(factory.run.frame->RunCommand(HCmd::kAdjustmentRecover));
    QVERIFY(choose.Fired());
    const QString told =
        QStringLiteral("Problem reading from file\nFile Name = %1\nThe file holds 10 bytes")
            .arg(file);
    QVERIFY2(
        std::ranges::any_of(answers.texts, [&](const QString& t) { return t.startsWith(told); }),
        qPrintable(answers.texts.join(QStringLiteral(" | "))));
    QVERIFY(!answers.texts.contains(QStringLiteral("Adjustment Recovery Complete!")));
    QCOMPARE(factory.radio.StopAndRead(), memory);
}

RP57_APP_TEST(AlignmentTest)
#include "AlignmentTest.moc"
