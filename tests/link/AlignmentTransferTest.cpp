// The alignment and recovery transfers (events 2-9) against the simulated
// radio: what each reads and writes, its end marks, where it leaves the port,
// and the image rules behind them.
#include "HAlignmentData.h"
#include "HAlignmentImage.h"
#include "HChannels.h"
#include "HComAlignment.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HRP57CommunicationDialog.h"
#include "HStringTable.h"
#include "ImageTestUtil.h"
#include "link/LinkTestUtil.h"

#include <optional>

using namespace linktest;

namespace {

using Texts = std::vector<std::pair<std::string, HMessageIcon>>;

HMemoryImage FactoryRadio() {
    HMemoryImage m = BuildDefaultImage();
    m[2] = 5;
    m[3] = 0;
    return m;
}

std::optional<std::string> FileFor(std::int32_t type, std::int32_t band, std::int32_t power) {
    HMemoryImage m = WithHardware(FactoryRadio(), HHardwareGroup::kRowProductType, type);
    m = WithHardware(m, HHardwareGroup::kRowBand, band);
    // The handheld keypad row shares the mobile TX power's bit.
    m = WithHardware(m, HHardwareGroup::kRowTxPower, power);
    m = WithHardware(m, HHardwareGroup::kRowHandheldKey, power);
    return HAlignmentImage::DefaultFileName(m);
}

TEST(AlignmentImage, DefaultFileChoiceAndMerge) {
    EXPECT_EQ(FileFor(0, 2, 1), "muam.v57");
    EXPECT_EQ(FileFor(0, 0, 0), "mvmh.v57");
    EXPECT_EQ(FileFor(3, 3, 0), "hud.v57");
    EXPECT_EQ(FileFor(3, 3, 1), "hud.v57");
    EXPECT_EQ(FileFor(0, 1, 0), std::nullopt);
    EXPECT_EQ(FileFor(1, 1, 1), std::nullopt);
    EXPECT_EQ(HAlignmentImage::DefaultFileNames().size(), 9u);

    // The file's set-up bytes reach the editor image; its identity does not.
    HMemoryImage file = FactoryRadio();
    for (std::size_t at : {0x200u, 0x3FFu, 0x318Cu, 0x319Eu})
        file[at] = 0x5A;
    file[0x10] = 0x77; // identity word 8
    HMemoryImage editor = FactoryRadio();
    HAlignmentImage::MergeDefaultFile(file, editor);
    for (std::size_t at : {0x200u, 0x3FFu, 0x318Cu, 0x319Eu})
        EXPECT_EQ(editor[at], 0x5A) << "byte " << at;
    EXPECT_NE(editor[0x10], 0x77);

    // After alignment: the radio's own data with the editor's adjustment words.
    HMemoryImage work = FactoryRadio();
    work[0x3500 - 0x400] = 0x42; // a channel byte of the radio's own
    HMemoryImage aligned = FactoryRadio();
    aligned[0x16] = 0x99; // RX VCV
    HAlignmentImage::RestoreRadioData(work, aligned);
    EXPECT_EQ(aligned[0x16], 0x99);
    EXPECT_EQ(aligned[0x3500 - 0x400], 0x42);
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(aligned));
}

#ifdef RP57_ALIGNMENT_DIR
TEST(AlignmentImage, EveryShippedFileIsTheOneItsModelChoosesWithItsTestChannels) {
    for (const std::string& name : HAlignmentImage::DefaultFileNames()) {
        HMemoryImage file{};
        ASSERT_TRUE(HDataFile::Read(std::string(RP57_ALIGNMENT_DIR) + "/" + name, file).Ok())
            << name;
        EXPECT_EQ(HAlignmentImage::DefaultFileName(file), name);
        EXPECT_TRUE(HAlignmentData().VerifyChecksum(file)) << name;
        HChannels model;
        model.Load(file);
        EXPECT_LT(model.GetFrequency(0, 0), model.GetFrequency(1, 0)) << name;
        EXPECT_LT(model.GetFrequency(1, 0), model.GetFrequency(2, 0)) << name;
        EXPECT_EQ(model.GetField(4, 4), 0) << name << ": channel 4 is narrow";
    }
}
#endif

// One controller per event, on a port that outlives it (as the main window
// keeps it between the start and the end of an alignment).
class AlignmentTransfers : public testing::Test, public HPrompt {
protected:
    void SetUp() override {
        // The default alignment file of the radio's model, in the data directory.
        const HMemoryImage radio = FactoryRadio();
        m_fileName = *HAlignmentImage::DefaultFileName(radio);
        m_file = radio;
        std::fill(m_file.begin() + 0x318C, m_file.begin() + 0x319F, 0x3C);
        ASSERT_TRUE(HDataFile::Write(m_home.Path(m_fileName), m_file).Ok());
    }

    SimRadio& Radio(const HMemoryImage& memory, std::vector<std::string> extra = {}) {
        // The radio before gives up the link first: both use the same path, and
        // its link seen or removed would be taken for the new one's.
        m_radio.reset();
        m_radio = std::make_unique<SimRadio>(m_home, extra, &memory);
        EXPECT_TRUE(m_radio->Started());
        return *m_radio;
    }

    HTransferOutcome Send(HCommEvent id, HMemoryImage* work, HMemoryImage* editor,
                          HRangeList readEeprom, HRangeList readFlash, HRangeList writeEeprom,
                          HRangeList writeFlash, std::vector<std::string> failedSteps = {}) {
        HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionUpload, &m_port,
                                            this);
        auto e = std::make_unique<HCommEventData>(id);
        e->devicePath = m_radio->Link();
        e->echoOff = 0;
        e->accessLevel = 1;
        e->workBuffer = work;
        e->editorImage = editor;
        e->readEeprom = std::move(readEeprom);
        e->readFlash = std::move(readFlash);
        e->writeEeprom = std::move(writeEeprom);
        e->writeFlash = std::move(writeFlash);
        e->failedSteps = std::move(failedSteps);
        HTransferOutcome o = controller.Run(std::move(e));
        m_title = controller.GetTitle();
        return o;
    }

    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        m_messages.emplace_back(text, icon);
    }
    std::optional<std::string> AskPassword(int) override { return std::nullopt; }
    bool AskYesNo(const std::string&, HMessageIcon) override { return false; }

    // The frames sent after the first `from` of them.
    std::vector<std::string> FramesFrom(std::size_t from) const {
        const std::vector<std::string> all = m_radio->Frames();
        return {all.begin() + long(std::min(from, all.size())), all.end()};
    }
    static int Count(const std::vector<std::string>& frames, const std::string& prefix) {
        return int(std::ranges::count_if(
            frames, [&](const std::string& f) { return f.starts_with(prefix); }));
    }

    TempHome m_home;
    std::unique_ptr<SimRadio> m_radio;
    HSerialPort m_port;
    Texts m_messages;
    std::string m_title;
    std::string m_fileName;
    HMemoryImage m_file{};

    // The ranges the main window sets.
    const HRangeList kStartEeprom{
        {0x00, 0x11}, {0x19, 0x1C}, {0x29, 0x2C}, {0x39, 0x3C}, {0x4C, 0x4C}};
    const HRangeList kStartFlash{{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}, {0x5C, 0x5E}};
    const HRangeList kEndEeprom{{0x02, 0x02}, {0x10, 0x11}};
    const HRangeList kEndFlash{{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}};
};

TEST_F(AlignmentTransfers, BasicAlignmentStartsInAdjModeAndEndsWithTheRadiosOwnData) {
    HMemoryImage memory = FactoryRadio();
    memory[0x3100] = 0x11; // the radio's own adjustment page byte
    SimRadio& radio = Radio(memory);
    HMemoryImage work{}, editor{};
    HTransferOutcome o = Send(HCommEvent::BasicAlignStart, &work, &editor, kStartEeprom,
                              kStartFlash, {{0x10, 0x11}}, kEndFlash);
    ASSERT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(m_title, HComText::kBasicAlignmentTitle);
    EXPECT_TRUE(m_port.IsOpen()) << "the port stays open for the alignment steps";
    EXPECT_EQ(work[0x3100], 0x11);
    EXPECT_EQ(editor[0x318C], 0x3C) << "the default file's set-up is merged";
    EXPECT_EQ(Count(radio.Frames(), "F1 04 10 "), 1) << "write-EEPROM 10-11";
    EXPECT_EQ(Count(radio.Frames(), "F1 04 FF "), 0) << "no end mark at the start";

    // The radio answers alignment commands on the same port.
    HComAlignment align(&m_port);
    EXPECT_TRUE(align.RequestRx());

    // An accepted value lands in the editor image; the end writes it back with
    // the radio's own data, inside the two end marks.
    editor[0x16] = 0x99;
    HAlignmentImage::RecomputeAdjustmentChecksum(editor);
    HCommEventData line;
    ASSERT_TRUE(align.WriteBlock(HCloneProtocol::kAreaEeprom, 0x0B, 0, editor, &line));
    ASSERT_TRUE(align.WriteBlock(HCloneProtocol::kAreaEeprom, 0x02, 0, editor, &line));
    const std::size_t before = radio.Frames().size();
    o = Send(HCommEvent::BasicAlignEnd, &work, &editor, {}, {}, kEndEeprom, kEndFlash);
    ASSERT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(o.message, HComText::kBasicAlignmentFinished);
    EXPECT_FALSE(m_port.IsOpen());
    const std::vector<std::string> frames = FramesFrom(before);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), "38 01 39") << "ADJ mode is left first";
    std::vector<std::string> writes;
    for (const std::string& f : frames)
        if (f.starts_with("F1") || f.starts_with("F3"))
            writes.push_back(f);
    ASSERT_GE(writes.size(), 2u);
    EXPECT_TRUE(writes.front().starts_with("F1 04 FF FF FF")) << writes.front();
    EXPECT_TRUE(writes.back().starts_with("F1 04 FF A5 5A")) << writes.back();
    const HMemoryImage after = radio.StopAndRead();
    EXPECT_EQ(after[0x16], 0x99);
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(after));
    EXPECT_EQ(Word(after, 0xFF), 0xA55A);
    EXPECT_EQ(editor[0x318C], memory[0x318C]) << "the editor holds the radio's own data again";
}

TEST_F(AlignmentTransfers, AnEndAfterFailedStepsWritesTheRadiosDataButIsNotFinished) {
    SimRadio& radio = Radio(FactoryRadio());
    HMemoryImage work{}, editor{};
    ASSERT_EQ(Send(HCommEvent::BasicAlignStart, &work, &editor, kStartEeprom, kStartFlash,
                   {{0x10, 0x11}}, kEndFlash)
                  .result,
              0);
    const HTransferOutcome o = Send(HCommEvent::BasicAlignEnd, &work, &editor, {}, {}, kEndEeprom,
                                    kEndFlash, {"VCO RX", "RX Tune"});
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.status, HTransferStatus::Failed);
    EXPECT_EQ(o.message,
              HStringTable::Format(HStringTable::kAlignStepsFailed, {"VCO RX, RX Tune"}));
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.back(), (std::pair{o.message, HMessageIcon::Stop}));
    EXPECT_EQ(Word(radio.StopAndRead(), 0xFF), 0xA55A) << "the radio has its own data back";
}

TEST_F(AlignmentTransfers, BasicAlignmentStartRefusals) {
    // A band without an alignment file: stopped after the read, radio reset,
    // no message box, nothing written.
    SimRadio& radio = Radio(WithHardware(FactoryRadio(), HHardwareGroup::kRowBand, 1));
    HMemoryImage work{}, editor{};
    HTransferOutcome o = Send(HCommEvent::BasicAlignStart, &work, &editor, kStartEeprom,
                              kStartFlash, {{0x10, 0x11}}, kEndFlash);
    EXPECT_EQ(o.result, 1);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(Count(radio.Frames(), "F1"), 0);
    EXPECT_EQ(radio.Frames().back(), "38 01 39");
    EXPECT_EQ(editor, work) << "the radio's data was taken into the editor image";

    // The file missing: its full path in the message box.
    ASSERT_TRUE(fs::remove(m_home.Path(m_fileName)));
    Radio(FactoryRadio());
    o = Send(HCommEvent::BasicAlignStart, &work, &editor, kStartEeprom, kStartFlash, {{0x10, 0x11}},
             kEndFlash);
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(m_messages, (Texts{{HStringTable::Format(HStringTable::kAlignmentFileMissing,
                                                       {m_home.Path(m_fileName)}),
                                  HMessageIcon::Stop}}));
}

TEST_F(AlignmentTransfers, AStartThatFailsMidWriteAsksForTheRadiosDataBack) {
    // The radio refuses FLASH page 3: event 2 answers 2; event 3 then writes
    // the radio's own data back, without end marks.
    SimRadio& radio = Radio(FactoryRadio(), {"--fault", "nak:3"});
    HMemoryImage work{}, editor{};
    HTransferOutcome o = Send(HCommEvent::BasicAlignStart, &work, &editor, kStartEeprom,
                              kStartFlash, {{0x10, 0x11}}, kEndFlash);
    EXPECT_EQ(o.result, 2);
    EXPECT_FALSE(m_port.IsOpen());

    m_radio.reset();
    SimRadio& again = Radio(FactoryRadio());
    HMemoryImage own = work;
    o = Send(HCommEvent::BasicAlignStartFailure, nullptr, &own, {}, {}, kEndEeprom,
             {{0x00, 0x01}, {0x08, 0xFF}});
    EXPECT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(o.message, HComText::kBasicAlignmentFinished);
    EXPECT_EQ(Count(again.Frames(), "F1 04 FF "), 0);
    EXPECT_EQ(again.Blocks("F1"), (std::vector<int>{0x02, 0x10, 0x11}));
    (void)radio;
}

TEST_F(AlignmentTransfers, FineAlignmentStartCancelAndEnd) {
    SimRadio& radio = Radio(FactoryRadio());
    HMemoryImage work{};
    HTransferOutcome o =
        Send(HCommEvent::FineAlignStart, &work, nullptr, kStartEeprom, kStartFlash, {}, {});
    ASSERT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(m_title, HComText::kFineAlignmentTitle);
    EXPECT_TRUE(m_port.IsOpen());
    EXPECT_EQ(Count(radio.Frames(), "F1"), 0) << "the start reads only";

    // Cancel: exactly one reset, the port closed, no message.
    std::size_t before = radio.Frames().size();
    o = Send(HCommEvent::FineAlignCancel, nullptr, nullptr, {}, {}, {}, {});
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.message, "");
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(FramesFrom(before), (std::vector<std::string>{"38 01 39"}));

    // The end writes the channel pages inside the end marks.
    before = radio.Frames().size();
    work[0x700] = 0x42;
    o = Send(HCommEvent::FineAlignEnd, nullptr, &work, {}, {}, {}, {{0x08, 0xFF}});
    EXPECT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(o.message, HComText::kFineAlignmentFinished);
    const std::vector<std::string> frames = FramesFrom(before);
    EXPECT_EQ(Count(frames, "F1 04 FF FF FF"), 1);
    EXPECT_EQ(Count(frames, "F1 04 FF A5 5A"), 1);
    EXPECT_EQ(radio.StopAndRead()[0x700], 0x42);
}

TEST_F(AlignmentTransfers, RecoveryReadsThenWritesBetweenTheTwoMarksOfADownload) {
    SimRadio& radio = Radio(FactoryRadio());
    HMemoryImage work{};
    HTransferOutcome o =
        Send(HCommEvent::RecoveryStart, &work, nullptr, {{0x00, 0x1C}, {0xEB, 0xFE}},
             {{0x00, 0x01}, {0x08, 0xFF}, {0x5C, 0x5E}}, {}, {});
    ASSERT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(m_title, HComText::kRecoveryTitle);
    EXPECT_FALSE(m_port.IsOpen()) << "recovery never enters ADJ mode";
    EXPECT_EQ(Count(radio.Frames(), "F1"), 0);
    EXPECT_EQ(work[2], 5);

    HMemoryImage recovered = work;
    recovered[0x1FE] = 0x12;
    recovered[0x1FF] = 0x34;
    recovered[0x06] = 0x44;
    const std::size_t before = radio.Frames().size();
    o = Send(HCommEvent::RecoveryEnd, nullptr, &recovered, {}, {}, {{0x02, 0x10}},
             {{0x08, 0xFF}, {0x5C, 0x5E}});
    EXPECT_EQ(o.result, 0) << o.message;
    EXPECT_EQ(o.message, HComText::kRecoveryComplete);
    std::vector<std::string> writes;
    for (const std::string& f : FramesFrom(before))
        if (f.starts_with("F1") || f.starts_with("F3"))
            writes.push_back(f);
    // The word the image held (12 34) never goes out: the radio is marked as
    // being written first, so a stop half way does not look complete.
    ASSERT_GE(writes.size(), 2u);
    EXPECT_TRUE(writes.front().starts_with("F1 04 FF FF FF")) << writes.front();
    EXPECT_TRUE(writes.back().starts_with("F1 04 FF A5 5A")) << writes.back();
    EXPECT_EQ(radio.StopAndRead()[0x06], 0x44);
}

} // namespace
