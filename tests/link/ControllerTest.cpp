// The communication controller against the simulated radio over a real
// pseudo-terminal, with scripted answers for everything it asks. (The CLI tests
// prove each access level's ranges, the failure table row by row and Ctrl-C.)
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HRP57CommunicationDialog.h"
#include "HStringTable.h"
#include "HTransferRanges.h"
#include "link/LinkTestUtil.h"

#include <deque>
#include <functional>

namespace {

using namespace linktest;
using Texts = std::vector<std::pair<std::string, HMessageIcon>>;
using Status = HTransferStatus;
using Adjust = std::function<void(HCommEventData&)>;
constexpr const char* kPassword = "481736";

// One transfer: the buffers, the scripted password answers, and every message
// and status the controller showed (written by the worker thread, read after Run).
class Transfer : public HPrompt, public HComObserver {
public:
    HMemoryImage work{}, image{};
    HTransferOutcome outcome;
    std::deque<std::string> passwords; // none left: Cancel
    int passwordAsked = 0;
    Texts messages;

    // Runs one transfer and checks how it ended (the message when given).
    void Run(const SimRadio& radio, HCommEvent id, int level, Status status,
             const std::optional<std::string>& message, const Adjust& adjust = {}) {
        HSerialPort port;
        const bool down = id == HCommEvent::Download;
        HRP57CommunicationDialog controller(down ? HRP57CommunicationDialog::kDirectionDownload
                                                 : HRP57CommunicationDialog::kDirectionUpload,
                                            &port, this, this);
        auto e = std::make_unique<HCommEventData>(id);
        e->UseRanges(down ? HTransferDirection::Download : HTransferDirection::Upload, level);
        e->devicePath = radio.Link();
        e->workBuffer = &work;
        e->editorImage = &image;
        if (adjust)
            adjust(*e);
        outcome = controller.Run(std::move(e));
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(outcome.status, status) << outcome.message;
        if (message) {
            EXPECT_EQ(outcome.message, *message);
        }
        EXPECT_EQ(outcome.result == 0, status == Status::Success);
    }

    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        messages.emplace_back(text, icon);
    }
    std::optional<std::string> AskPassword(int) override {
        ++passwordAsked;
        if (passwords.empty())
            return std::nullopt;
        std::string p = passwords.front();
        passwords.pop_front();
        return p;
    }
    bool AskYesNo(const std::string&, HMessageIcon) override { return false; }
    void OnTitle(const std::string&) override {}
    void OnStatusText(const std::string&) override {}
    void OnProgressRange(int) override {}
    void OnProgressPos(int) override {}
};

// A radio as it leaves the factory: the built-in image with its model codes.
HMemoryImage FactoryRadio() {
    HMemoryImage m = BuildDefaultImage();
    m[2] = 5; // production code: mobile
    m[3] = 0; // custom code
    return m;
}

HMemoryImage WithHardware(HMemoryImage m, std::size_t row, std::int32_t value) {
    HHardwareGroup hw;
    hw.Load(m);
    hw.SetValue(row, value);
    hw.Save(m);
    return m;
}

template <class F> HMemoryImage WithChannels(HMemoryImage m, F edit) {
    HChannels model;
    model.Load(m);
    edit(model);
    model.Save(m);
    return m;
}

class Controller : public testing::Test {
protected:
    // (Re)starts the radio with this memory and simulator options.
    SimRadio& Radio(const HMemoryImage& memory, std::vector<std::string> extra = {}) {
        m_radio.reset();
        m_radio = std::make_unique<SimRadio>(m_home, extra, &memory);
        EXPECT_TRUE(m_radio->Started());
        return *m_radio;
    }
    TempHome m_home;
    std::unique_ptr<SimRadio> m_radio;
};

TEST_F(Controller, PasswordRules) {
    SimRadio& radio = Radio(FactoryRadio());
    // Three wrong entries: the mismatch box, no final message, image untouched.
    Transfer wrong;
    wrong.passwords = {"1", "2", "3", "4"};
    wrong.image.fill(0x5A);
    wrong.Run(radio, HCommEvent::Upload, 0, Status::Failed, "");
    EXPECT_EQ(wrong.passwordAsked, 3);
    EXPECT_EQ(wrong.messages, (Texts{{"Password mismatched! ", HMessageIcon::Exclamation}}));
    EXPECT_EQ(std::ranges::count(wrong.image, 0x5A), std::ssize(wrong.image));
}

TEST_F(Controller, UploadLevel1MovesItsRangesAndTheChannelPagesOnly) {
    // 10 channels: the channel pages are 08-0B (10 / 3 = 3).
    HMemoryImage memory = WithChannels(FactoryRadio(), [](HChannels& model) {
        for (int g = 0; g < model.GetGroupCount(); ++g)
            model.SetGroupValue(g, 0, g == 0 ? 10 : 0);
    });
    std::fill(memory.begin() + 0x3A, memory.begin() + 0x52, 0x77); // words 1D-28: not read
    SimRadio& radio = Radio(memory);
    Transfer t;
    t.Run(radio, HCommEvent::Upload, 1, Status::Success, "Upload Complete!");
    EXPECT_EQ(t.passwordAsked, 0); // level 1 never asks for the programming password
    // The editor image holds what was read (words 0-1C), zero where nothing was (1D-28).
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 0x3A, t.image.begin()));
    EXPECT_EQ(std::count(t.image.begin() + 0x3A, t.image.begin() + 0x52, 0), 0x18);
    const std::vector<int> pages = radio.Blocks("F2");
    EXPECT_EQ(std::ranges::count(pages, 0x0B), 1);
    EXPECT_EQ(std::ranges::count(pages, 0x0C), 0);
}

TEST_F(Controller, DownloadOpensAndClosesTheEndMarkAndMarksTheImage) {
    SimRadio& radio = Radio(FactoryRadio());
    Transfer t;
    t.image = FactoryRadio();
    t.Run(radio, HCommEvent::Download, 0, Status::Success, "Download Complete!");

    // Word 0xFF is the first block written, as FF FF, and the last, as A5 5A.
    std::vector<std::string> writes;
    std::ranges::copy_if(radio.Frames(), std::back_inserter(writes), [](const std::string& f) {
        return f.starts_with("F1") || f.starts_with("F3");
    });
    ASSERT_GE(writes.size(), 2u);
    EXPECT_TRUE(writes.front().starts_with("F1 04 FF FF FF")) << writes.front();
    EXPECT_TRUE(writes.back().starts_with("F1 04 FF A5 5A")) << writes.back();
    // The editor image now holds what the radio holds in the moved ranges.
    EXPECT_EQ(Word(t.image, 0xFF), 0xA55A);
}

TEST_F(Controller, DownloadRepairsTheAdjustmentFromItsBackup) {
    // Working copy wrong: repaired from its backup, with the warning. (Both copies
    // wrong: the CLI failure table proves that nothing is written.)
    HMemoryImage memory = FactoryRadio();
    memory[0x06] ^= 0x21;
    Transfer t;
    t.image = FactoryRadio();
    t.Run(Radio(memory), HCommEvent::Download, 0, Status::Success, "Download Complete!");
    EXPECT_EQ(t.messages, (Texts{{HStringTable::Get(HStringTable::kAdjChecksumBackup),
                                  HMessageIcon::Exclamation},
                                 {"Download Complete!", HMessageIcon::Information}}));
    const HMemoryImage after = m_radio->StopAndRead();
    EXPECT_TRUE(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(after));
}

TEST_F(Controller, DownloadRefusalsAndAFailureMidway) {
    SimRadio& radio = Radio(WithHardware(FactoryRadio(), HHardwareGroup::kRowStepSet, 2),
                            {"--fault", "nak:0x10"}); // the radio refuses FLASH page 0x10
    // Editor step set 0 with a channel on step code 2: refused, nothing written.
    Transfer refused;
    refused.image = WithChannels(FactoryRadio(), [](HChannels& m) { m.SetField(3, 12, 2); });
    refused.Run(radio, HCommEvent::Download, 0, Status::Failed, "");
    EXPECT_EQ(refused.messages, (Texts{{"Channel Step mismatched!", HMessageIcon::Stop}}));
    EXPECT_TRUE(radio.Blocks("F1").empty());

    // Another product type only warns: the download goes on up to the refused
    // page, the editor image stays as it was and the radio keeps the open end mark.
    Transfer t;
    t.image = WithHardware(FactoryRadio(), HHardwareGroup::kRowProductType, 2);
    t.image[0x300] = 0x42;
    const HMemoryImage before = t.image;
    t.Run(radio, HCommEvent::Download, 0, Status::Failed, "Communication Error!");
    EXPECT_EQ(t.messages, (Texts{{HStringTable::Get(HStringTable::kProductTypeMismatch),
                                  HMessageIcon::Exclamation},
                                 {"Communication Error!", HMessageIcon::Stop}}));
    EXPECT_EQ(t.image, before);
    const std::vector<int> written = radio.Blocks("F3");
    ASSERT_EQ(std::ranges::count(written, 0x10), 1);
    EXPECT_EQ(written.back(), 0x10); // nothing after the refused page
    EXPECT_EQ(Word(radio.StopAndRead(), 0xFF), 0xFFFF);
}

TEST_F(Controller, AddedChannelBandMismatchAndTheRestOfTheMatrix) {
    SimRadio& radio = Radio(FactoryRadio());
    const Adjust addedPage = [](HCommEventData& e) {
        e.readEeprom.clear();
        e.readFlash = HTransferRangeTable::AddedChannelPages(3, 4);
    };
    // Another band in the editor: the band box, nothing copied.
    Transfer b;
    b.work = b.image = WithHardware(FactoryRadio(), HHardwareGroup::kRowBand, 2);
    const HMemoryImage before = b.image;
    b.Run(radio, HCommEvent::AddedChannelUpload, 0, Status::Failed, "", addedPage);
    EXPECT_EQ(b.messages, (Texts{{"Frequency Band mismatched!", HMessageIcon::Stop}}));
    EXPECT_EQ(b.image, before);

    // A reserved entry answers at once, without the radio.
    HSerialPort port;
    HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionUpload, &port, &b, &b);
    const HTransferOutcome a =
        controller.Run(std::make_unique<HCommEventData>(HCommEvent::BasicAlignStart));
    EXPECT_EQ(a.status, Status::Failed);
    EXPECT_EQ(a.message, HComText::kNotAvailable);
}

} // namespace
