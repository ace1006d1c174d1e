// The communication controller against the simulated radio over a real
// pseudo-terminal, with scripted answers for everything it asks.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HRP57CommunicationDialog.h"
#include "HStringTable.h"
#include "HTransferRanges.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <mutex>

#ifdef RP57_RADIO_SIM

namespace {

using namespace linktest;
using Texts = std::vector<std::pair<std::string, HMessageIcon>>;

constexpr const char* kDefaultPassword = "481736";

// One transfer: the buffers, the scripted password answers, and every message
// and status the controller showed.
class Transfer : public HPrompt, public HComObserver {
public:
    HMemoryImage work{};
    HMemoryImage image{};
    HTransferOutcome outcome;
    std::deque<std::optional<std::string>> passwords;
    int passwordAsked = 0;
    Texts messages;
    std::vector<std::string> statusTexts;
    std::string title;
    int progressMax = 0;
    int progressPos = 0;
    int cancelAtProgress = -1;

    void Run(HCommEvent id, const std::string& device, int level,
             const std::function<void(HCommEventData&)>& adjust = {}) {
        HSerialPort port;
        HRP57CommunicationDialog controller(id == HCommEvent::Download
                                                ? HRP57CommunicationDialog::kDirectionDownload
                                                : HRP57CommunicationDialog::kDirectionUpload,
                                            &port, this, this);
        m_controller = &controller;
        auto e = std::make_unique<HCommEventData>(id);
        const HTransferRanges r = HTransferRangeTable::For(
            id == HCommEvent::Download ? HTransferDirection::Download : HTransferDirection::Upload,
            level);
        e->readEeprom = r.readEeprom;
        e->readFlash = r.readFlash;
        e->writeEeprom = r.writeEeprom;
        e->writeFlash = r.writeFlash;
        e->accessLevel = level;
        e->devicePath = device;
        e->workBuffer = &work;
        e->editorImage = &image;
        if (adjust)
            adjust(*e);
        outcome = controller.Run(std::move(e));
        m_controller = nullptr;
        EXPECT_FALSE(port.IsOpen());
        if (outcome.status == HTransferStatus::Cancelled) {
            EXPECT_EQ(controller.GetStatusText(), "Transfer cancelled.");
        }
    }
    bool Saw(const std::string& text, HMessageIcon icon) const {
        return std::find(messages.begin(), messages.end(), std::pair(text, icon)) != messages.end();
    }

    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        std::lock_guard lock(m_mutex);
        messages.emplace_back(text, icon);
    }
    std::optional<std::string> AskPassword(int) override {
        ++passwordAsked;
        if (passwords.empty())
            return std::nullopt;
        auto p = passwords.front();
        passwords.pop_front();
        return p;
    }
    bool AskYesNo(const std::string&, HMessageIcon) override { return false; }
    void OnTitle(const std::string& t) override { title = t; }
    void OnStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void OnProgressRange(int maximum) override { progressMax = maximum; }
    void OnProgressPos(int pos) override {
        progressPos = pos;
        if (pos == cancelAtProgress && m_controller)
            m_controller->Cancel();
    }

private:
    std::mutex m_mutex;
    HRP57CommunicationDialog* m_controller = nullptr;
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

bool AllBytes(const HMemoryImage& m, std::uint8_t value) {
    return std::all_of(m.begin(), m.end(), [&](std::uint8_t b) { return b == value; });
}

class Controller : public testing::Test {
protected:
    // Starts the radio with this memory and simulator options.
    SimRadio& Radio(const HMemoryImage& memory, std::vector<std::string> extra = {}) {
        m_radio.reset();
        m_radio = std::make_unique<SimRadio>(m_home, extra, &memory);
        EXPECT_TRUE(m_radio->Started());
        return *m_radio;
    }
    // Runs one transfer and checks how it ended.
    void Run(Transfer& t, HCommEvent id, int level, HTransferStatus status,
             const std::optional<std::string>& message,
             const std::function<void(HCommEventData&)>& adjust = {}) {
        t.Run(id, m_radio->Link(), level, adjust);
        EXPECT_EQ(t.outcome.status, status) << t.outcome.message;
        if (message) {
            EXPECT_EQ(t.outcome.message, *message);
        }
        EXPECT_EQ(t.outcome.result == 0, status == HTransferStatus::Success);
    }

    TempHome m_home;
    std::unique_ptr<SimRadio> m_radio;
};

TEST_F(Controller, PasswordRules) {
    SimRadio& radio = Radio(FactoryRadio());
    // Three wrong entries: the mismatch box, no final message, image untouched.
    Transfer wrong;
    wrong.passwords = {std::string("1"), std::string("2"), std::string("3"), std::string("4")};
    wrong.image.fill(0x5A);
    Run(wrong, HCommEvent::Upload, 0, HTransferStatus::Failed, "");
    EXPECT_EQ(wrong.passwordAsked, 3);
    EXPECT_EQ(wrong.messages, (Texts{{"Password mismatched! ", HMessageIcon::Exclamation}}));
    EXPECT_TRUE(AllBytes(wrong.image, 0x5A));

    // Cancel in the password dialog: cancelled, nothing shown.
    Transfer cancel;
    Run(cancel, HCommEvent::Upload, 0, HTransferStatus::Cancelled, "");
    EXPECT_EQ(cancel.passwordAsked, 1);
    EXPECT_TRUE(cancel.messages.empty());

    // A wrong entry, then the right one.
    Transfer up;
    up.passwords = {std::string("000000"), std::string(kDefaultPassword)};
    Run(up, HCommEvent::Upload, 0, HTransferStatus::Success, "Upload Complete!");
    EXPECT_EQ(up.passwordAsked, 2);
    EXPECT_EQ(up.messages, (Texts{{"Upload Complete!", HMessageIcon::Information}}));
    EXPECT_EQ(up.title, "Upload");
    // Every session ended with a reset frame.
    EXPECT_EQ(radio.Sent("38 01 39").size(), 3u);
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
    Run(t, HCommEvent::Upload, 1, HTransferStatus::Success, "Upload Complete!");
    EXPECT_EQ(t.passwordAsked, 0); // level 1 never asks for the programming password
    const auto page = [](int p) { return std::size_t(HImageMap::FlashPageOffset(p)); };
    const struct {
        std::size_t first, last;
        bool read;
    } spans[] = {
        {0, 0x1C * 2 + 1, true},
        {0x3A, 0x51, false},
        {0x29 * 2, 0x2C * 2 + 1, true},
        {0x70 * 2, 0x70 * 2 + 1, true},
        {0x71 * 2, 0xF9 * 2 + 1, false},
        {0xFA * 2, 0xFE * 2 + 1, true},
        {0xFF * 2, 0xFF * 2 + 1, false},
        {page(0), page(0x0C) - 1, true},
        {page(0x0C), page(0x33) - 1, false},
        {page(0x33), HImageMap::kFlashEnd - 1, true},
    };
    for (const auto& s : spans) {
        for (std::size_t i = s.first; i <= s.last; ++i)
            ASSERT_EQ(t.image[i], s.read ? memory[i] : 0) << "byte 0x" << std::hex << i;
    }
    EXPECT_EQ(radio.Sent("F2 02 0B").size(), 1u);
    EXPECT_TRUE(radio.Sent("F2 02 0C").empty());
    EXPECT_EQ(t.progressMax, 8 + 4 + (0x5E - 0x33 + 1));
}

TEST_F(Controller, IllegalProductionCodeStopsAfterTheHandshake) {
    SimRadio& radio = Radio(FactoryRadio(), {"--production-code", "7"});
    Transfer t;
    t.passwords = {std::string(kDefaultPassword)};
    Run(t, HCommEvent::Upload, 0, HTransferStatus::Failed, "Communication Error!");
    EXPECT_TRUE(t.Saw("Communication Error!", HMessageIcon::Stop));
    EXPECT_EQ(t.passwordAsked, 0);
    // Only the model word was read, then the radio was reset.
    EXPECT_EQ(radio.Frames(),
              (std::vector<std::string>{"40  (Power On: clone mode)", "F0 02 01 F3", "38 01 39"}));
}

TEST_F(Controller, DownloadKeepsTheRadiosIdentityAndMarksTheImage) {
    HMemoryImage memory = FactoryRadio();
    memory[0x10] = 0xAB; // an adjustment byte of this radio (covered by its checksum)
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(memory);
    SimRadio& radio = Radio(memory);
    Transfer t;
    t.image = WithChannels(FactoryRadio(), [](HChannels& model) { model.SetTag(5, "DEALER"); });
    Run(t, HCommEvent::Download, 0, HTransferStatus::Success, "Download Complete!");
    EXPECT_EQ(t.messages, (Texts{{"Download Complete!", HMessageIcon::Information}}));
    EXPECT_EQ(t.passwordAsked, 0);
    EXPECT_EQ(t.title, "Download");
    EXPECT_NE(std::find(t.statusTexts.begin(), t.statusTexts.end(), "Now downloading"),
              t.statusTexts.end());

    // Word 0xFF is the first block written, as FF FF, and the last, as A5 5A.
    std::vector<std::string> writes;
    for (const std::string& f : radio.Frames())
        if (f.starts_with("F1") || f.starts_with("F3"))
            writes.push_back(f.substr(0, 14));
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes.front(), "F1 04 FF FF FF");
    EXPECT_EQ(writes.back(), "F1 04 FF A5 5A");
    EXPECT_EQ(radio.Sent("F1 04 FF").size(), 2u);
    EXPECT_TRUE(radio.Sent("F1 04 10").empty()); // identity words are not written
    EXPECT_TRUE(radio.Sent("F3 82 00").empty()); // nor FLASH page 0 at level 0

    const HMemoryImage after = radio.StopAndRead();
    EXPECT_EQ(Word(after, 0xFF), 0xA55A);
    EXPECT_EQ(Word(after, 0xEA), 0xFFFF);
    HChannels written;
    written.Load(after);
    EXPECT_EQ(written.GetTag(5), "DEALER  ");
    EXPECT_EQ(after[0x10], 0xAB);
    // The editor image now holds what the radio holds in the moved ranges.
    EXPECT_EQ(t.image[0x10], 0xAB);
    EXPECT_EQ(Word(t.image, 0xFF), 0xA55A);
}

TEST_F(Controller, FailedDownloadLeavesTheEndMarkOpenAndTheEditorImageAsItWas) {
    SimRadio& radio = Radio(FactoryRadio(), {"--fault", "nak:0x10"});
    Transfer t;
    t.image = FactoryRadio();
    t.image[0x300] = 0x42;
    const HMemoryImage before = t.image;
    Run(t, HCommEvent::Download, 0, HTransferStatus::Failed, "Communication Error!");
    EXPECT_EQ(t.image, before);
    EXPECT_TRUE(radio.Sent("F3 82 11").empty()); // nothing after the refused page
    EXPECT_TRUE(radio.Sent("F1 04 FF A5").empty());
    EXPECT_EQ(Word(radio.StopAndRead(), 0xFF), 0xFFFF);
}

TEST_F(Controller, DownloadLevel2WritesEverythingWithoutChecks) {
    HMemoryImage memory = FactoryRadio();
    memory[4] ^= 0xFF; // both adjustment checksums wrong: level 2 does not look
    memory[0x310E] ^= 0xFF;
    SimRadio& radio = Radio(memory);
    Transfer t;
    t.passwords = {std::string(kDefaultPassword)};
    t.image = FactoryRadio();
    t.image[0x3100] = 0x99;
    Run(t, HCommEvent::Download, 2, HTransferStatus::Success, "Download Complete!");
    // Besides the model word and the password page, nothing is read.
    EXPECT_EQ(radio.Blocks("F0"), std::vector<int>{1});
    EXPECT_EQ(radio.Blocks("F2"), std::vector<int>{1});
    std::vector<int> words{0xFF}; // FF FF, 00-FF, A5 5A
    for (int w = 0; w <= 0xFF; ++w)
        words.push_back(w);
    words.push_back(0xFF);
    EXPECT_EQ(radio.Blocks("F1"), words);
    EXPECT_EQ(radio.Blocks("F3").size(), 0x5Fu);
    const HMemoryImage after = radio.StopAndRead();
    EXPECT_EQ(after[0x3100], 0x99);
    EXPECT_EQ(Word(after, 0xFF), 0xA55A);
}

TEST_F(Controller, AdjustmentChecksumRules) {
    // Working copy wrong, backup right: repaired from the backup and written.
    HMemoryImage memory = FactoryRadio();
    memory[0x06] ^= 0x21;
    Radio(memory);
    Transfer t;
    t.image = FactoryRadio();
    Run(t, HCommEvent::Download, 0, HTransferStatus::Success, "Download Complete!");
    EXPECT_TRUE(
        t.Saw(HStringTable::Get(HStringTable::kAdjChecksumBackup), HMessageIcon::Exclamation));
    const HMemoryImage after = m_radio->StopAndRead();
    EXPECT_TRUE(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(after));
    EXPECT_EQ(after[0x06], FactoryRadio()[0x06]);

    // Both wrong: nothing is written.
    memory[0x310E] ^= 0xFF;
    SimRadio& bad = Radio(memory);
    Transfer b;
    b.image = FactoryRadio();
    Run(b, HCommEvent::Download, 0, HTransferStatus::Failed, "Adj Checksum Error!");
    EXPECT_EQ(b.messages, (Texts{{"Adjustment Data Checksum Error!", HMessageIcon::Exclamation},
                                 {"Adj Checksum Error!", HMessageIcon::Stop}}));
    EXPECT_TRUE(bad.Sent("F1").empty() && bad.Sent("F3").empty());
    EXPECT_EQ(bad.Sent("38 01 39").size(), 1u);
}

TEST_F(Controller, ChannelStepAndProductTypeRules) {
    SimRadio& radio = Radio(WithHardware(FactoryRadio(), HHardwareGroup::kRowStepSet, 2));
    // Editor step set 0 with a channel on step code 2: refused, nothing written.
    Transfer refused;
    refused.image = WithChannels(FactoryRadio(), [](HChannels& m) { m.SetField(3, 12, 2); });
    Run(refused, HCommEvent::Download, 0, HTransferStatus::Failed, "");
    EXPECT_EQ(refused.messages, (Texts{{"Channel Step mismatched!", HMessageIcon::Stop}}));
    EXPECT_TRUE(radio.Sent("F1").empty());

    // Without such a channel the download goes on; a product type that differs
    // only warns.
    Transfer warned;
    warned.image = WithHardware(FactoryRadio(), HHardwareGroup::kRowProductType, 2);
    Run(warned, HCommEvent::Download, 0, HTransferStatus::Success, "Download Complete!");
    EXPECT_TRUE(warned.Saw(HStringTable::Get(HStringTable::kProductTypeMismatch),
                           HMessageIcon::Exclamation));
}

TEST_F(Controller, CancelStopsBetweenBlocksAndResetsTheRadio) {
    SimRadio& radio = Radio(FactoryRadio());
    Transfer t;
    t.passwords = {std::string(kDefaultPassword)};
    t.cancelAtProgress = 10;
    t.image.fill(0x33);
    Run(t, HCommEvent::Upload, 2, HTransferStatus::Cancelled, "");
    EXPECT_TRUE(t.messages.empty());
    EXPECT_TRUE(AllBytes(t.image, 0x33));
    EXPECT_TRUE(radio.Sent("F2 02 0B").empty()); // stopped after page 0x09
    EXPECT_EQ(radio.Sent("38 01 39").size(), 1u);
}

TEST_F(Controller, AddedChannelUploadAndTheRestOfTheMatrix) {
    HMemoryImage memory = FactoryRadio();
    memory[HImageMap::FlashPageOffset(0x0B)] = 0x6C;
    SimRadio& radio = Radio(memory);
    const auto addedPage = [](HCommEventData& e) {
        e.readEeprom.clear();
        e.readFlash = HTransferRangeTable::AddedChannelPages(3, 4);
    };
    Transfer t;
    t.image = FactoryRadio();
    t.work = t.image;
    Run(t, HCommEvent::AddedChannelUpload, 0, HTransferStatus::Success, std::nullopt, addedPage);
    EXPECT_EQ(t.passwordAsked, 0);
    EXPECT_EQ(t.image[HImageMap::FlashPageOffset(0x0B)], 0x6C);
    EXPECT_EQ(radio.Blocks("F2"), std::vector<int>{0x0B});

    // Another band in the editor: the band box, nothing copied.
    Transfer b;
    b.image = WithHardware(FactoryRadio(), HHardwareGroup::kRowBand, 2);
    b.work = b.image;
    const HMemoryImage before = b.image;
    Run(b, HCommEvent::AddedChannelUpload, 0, HTransferStatus::Failed, "", addedPage);
    EXPECT_EQ(b.messages, (Texts{{"Frequency Band mismatched!", HMessageIcon::Stop}}));
    EXPECT_EQ(b.image, before);

    // Reserved and not-yet-built entries answer at once, without the radio.
    HSerialPort port;
    HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionUpload, &port, &b, &b);
    EXPECT_EQ(controller.Run(std::make_unique<HCommEventData>(HCommEvent::Reserved)).result, 0);
    const HTransferOutcome a =
        controller.Run(std::make_unique<HCommEventData>(HCommEvent::BasicAlignStart));
    EXPECT_EQ(a.status, HTransferStatus::Failed);
    EXPECT_EQ(a.message, HComText::kNotAvailable);
    auto unknown = std::make_unique<HCommEventData>();
    unknown->eventId = 42;
    EXPECT_EQ(controller.Run(std::move(unknown)).result, 1);
}

} // namespace

#endif // RP57_RADIO_SIM
