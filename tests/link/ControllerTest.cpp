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
#include <mutex>

#ifdef RP57_RADIO_SIM

namespace {

using namespace linktest;
using Texts = std::vector<std::pair<std::string, HMessageIcon>>;

// Answers from a script and remembers every message and status shown.
class ScriptedPrompt : public HPrompt, public HComObserver {
public:
    std::deque<std::optional<std::string>> passwords;
    int passwordAsked = 0;
    Texts messages;
    std::vector<std::string> statusTexts;
    std::string title;
    int progressMax = 0;
    int progressPos = 0;
    std::function<void(int)> onProgress;

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
        if (onProgress)
            onProgress(pos);
    }
    bool Saw(const std::string& text, HMessageIcon icon) const {
        for (const auto& [t, i] : messages)
            if (t == text && i == icon)
                return true;
        return false;
    }

private:
    std::mutex m_mutex;
};

constexpr const char* kDefaultPassword = "481736";

// A radio as it leaves the factory: the built-in image with its model codes.
HMemoryImage FactoryRadio() {
    HMemoryImage m = BuildDefaultImage();
    m[2] = 5; // production code: mobile
    m[3] = 0; // custom code
    return m;
}

void WriteImage(const std::string& path, const HMemoryImage& m) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(m.data()), std::streamsize(m.size()));
}

HMemoryImage ReadImage(const std::string& path) {
    HMemoryImage m{};
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(m.data()), std::streamsize(m.size()));
    return m;
}

std::uint16_t Word(const HMemoryImage& m, int word) {
    return std::uint16_t(m[std::size_t(word) * 2] << 8 | m[std::size_t(word) * 2 + 1]);
}

// One simulated radio with its memory file and frame log.
class Radio {
public:
    Radio(const TempHome& home, const HMemoryImage& memory, std::vector<std::string> extra = {})
        : m_home(home) {
        WriteImage(MemoryPath(), memory);
        std::vector<std::string> args = {"--memory", MemoryPath(), "--log", LogPath()};
        args.insert(args.end(), extra.begin(), extra.end());
        m_sim = std::make_unique<SimProcess>(Link(), args);
    }
    [[nodiscard]] bool Started() const { return m_sim->Started(); }
    [[nodiscard]] std::string Link() const { return m_home.Path("radio"); }
    [[nodiscard]] std::string MemoryPath() const { return m_home.Path("radio.mem"); }
    [[nodiscard]] std::string LogPath() const { return m_home.Path("radio.log"); }
    // Stops the radio (it saves what was written) and gives its memory.
    HMemoryImage StopAndRead() {
        m_sim->Stop();
        return ReadImage(MemoryPath());
    }
    [[nodiscard]] std::string Log() const { return TempHome::ReadText(LogPath()); }
    // Lines the PC sent that start with `frameStart` (hex, e.g. "F1 04 FF").
    [[nodiscard]] std::vector<std::string> Sent(const std::string& frameStart) const {
        std::vector<std::string> out;
        std::istringstream in(Log());
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find("PC>RADIO ");
            if (at != std::string::npos && line.compare(at + 9, frameStart.size(), frameStart) == 0)
                out.push_back(line.substr(at + 9));
        }
        return out;
    }

private:
    const TempHome& m_home;
    std::unique_ptr<SimProcess> m_sim;
};

struct Transfer {
    HMemoryImage work{};
    HMemoryImage image{};
    HTransferOutcome outcome;
};

std::unique_ptr<HCommEventData> MakeEvent(HCommEvent id, const std::string& device, int level,
                                          Transfer& t) {
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
    e->workBuffer = &t.work;
    e->editorImage = &t.image;
    return e;
}

void RunTransfer(HCommEvent id, const std::string& device, int level, Transfer& t,
                 ScriptedPrompt& prompt) {
    HSerialPort port;
    HRP57CommunicationDialog controller(id == HCommEvent::Download
                                            ? HRP57CommunicationDialog::kDirectionDownload
                                            : HRP57CommunicationDialog::kDirectionUpload,
                                        &port, &prompt, &prompt);
    prompt.onProgress = nullptr;
    t.outcome = controller.Run(MakeEvent(id, device, level, t));
    EXPECT_FALSE(port.IsOpen());
}

TEST(Controller, UploadLevel2ReadsTheWholeRadio) {
    TempHome home;
    const HMemoryImage memory = FactoryRadio();
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());
    ScriptedPrompt prompt;
    prompt.passwords = {std::string("000000"), std::string(kDefaultPassword)};
    Transfer t;
    t.image.fill(0x11);
    RunTransfer(HCommEvent::Upload, radio.Link(), 2, t, prompt);

    EXPECT_EQ(t.outcome.status, HTransferStatus::Success);
    EXPECT_EQ(t.outcome.result, 0);
    EXPECT_EQ(t.outcome.message, "Upload Complete!");
    EXPECT_TRUE(prompt.Saw("Upload Complete!", HMessageIcon::Information));
    EXPECT_EQ(prompt.title, "Upload");
    EXPECT_EQ(prompt.passwordAsked, 2); // the wrong one, then the right one
    // Every EEPROM word and FLASH page; the identity words are not blocks.
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + HImageMap::kFlashEnd, t.image.begin()));
    EXPECT_TRUE(std::all_of(t.image.begin() + HImageMap::kFlashEnd, t.image.end(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(prompt.progressMax, 0x5F);
    EXPECT_EQ(prompt.progressPos, 0x5F);
    // The radio leaves clone mode.
    EXPECT_EQ(radio.Sent("38 01 39").size(), 1u);
}

TEST(Controller, UploadLevel0MovesItsRangesAndTheChannelPagesOnly) {
    TempHome home;
    HMemoryImage memory = FactoryRadio();
    {
        HChannels model; // 10 channels: pages 08-0B hold them (10 / 3 = 3)
        model.Load(memory);
        for (int g = 0; g < model.GetGroupCount(); ++g)
            model.SetGroupValue(g, 0, g == 0 ? 10 : 0);
        model.Save(memory);
    }
    std::fill(memory.begin() + 0x3A, memory.begin() + 0x52, 0x77); // words 1D-28: not read
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());
    // Level 1 never asks for the programming password.
    ScriptedPrompt prompt;
    Transfer t;
    RunTransfer(HCommEvent::Upload, radio.Link(), 1, t, prompt);
    ASSERT_EQ(t.outcome.status, HTransferStatus::Success) << t.outcome.message;
    EXPECT_EQ(prompt.passwordAsked, 0);

    auto same = [&](std::size_t first, std::size_t last) {
        return std::equal(memory.begin() + long(first), memory.begin() + long(last) + 1,
                          t.image.begin() + long(first));
    };
    auto zero = [&](std::size_t first, std::size_t last) {
        return std::all_of(t.image.begin() + long(first), t.image.begin() + long(last) + 1,
                           [](std::uint8_t b) { return b == 0; });
    };
    EXPECT_TRUE(same(0, 0x1C * 2 + 1));
    EXPECT_TRUE(zero(0x3A, 0x51));
    EXPECT_TRUE(same(0x29 * 2, 0x2C * 2 + 1));
    EXPECT_TRUE(same(0x70 * 2, 0x70 * 2 + 1));
    EXPECT_TRUE(zero(0x71 * 2, 0xF9 * 2 + 1));
    EXPECT_TRUE(same(0xFA * 2, 0xFE * 2 + 1));
    EXPECT_TRUE(zero(0xFF * 2, 0xFF * 2 + 1));
    EXPECT_TRUE(same(HImageMap::FlashPageOffset(0), HImageMap::FlashPageOffset(0x0C) - 1));
    EXPECT_TRUE(zero(HImageMap::FlashPageOffset(0x0C), HImageMap::FlashPageOffset(0x33) - 1));
    EXPECT_TRUE(same(HImageMap::FlashPageOffset(0x33), HImageMap::kFlashEnd - 1));
    EXPECT_EQ(radio.Sent("F2 02 0B").size(), 1u);
    EXPECT_TRUE(radio.Sent("F2 02 0C").empty());
    EXPECT_EQ(prompt.progressMax, 8 + 4 + (0x5E - 0x33 + 1));
}

TEST(Controller, PasswordRules) {
    TempHome home;
    Radio radio(home, FactoryRadio());
    ASSERT_TRUE(radio.Started());

    // Three wrong entries: the mismatch box, no final message, image untouched.
    ScriptedPrompt wrong;
    wrong.passwords = {std::string("1"), std::string("2"), std::string("3"), std::string("4")};
    Transfer t;
    t.image.fill(0x5A);
    RunTransfer(HCommEvent::Upload, radio.Link(), 0, t, wrong);
    EXPECT_EQ(t.outcome.status, HTransferStatus::Failed);
    EXPECT_EQ(t.outcome.message, "");
    EXPECT_EQ(wrong.passwordAsked, 3);
    EXPECT_EQ(wrong.messages, (Texts{{"Password mismatched! ", HMessageIcon::Exclamation}}));
    EXPECT_TRUE(std::all_of(t.image.begin(), t.image.end(), [](auto b) { return b == 0x5A; }));

    // Cancel in the password dialog: cancelled, nothing shown.
    ScriptedPrompt cancel;
    Transfer c;
    RunTransfer(HCommEvent::Upload, radio.Link(), 0, c, cancel);
    EXPECT_EQ(c.outcome.status, HTransferStatus::Cancelled);
    EXPECT_EQ(cancel.passwordAsked, 1);
    EXPECT_TRUE(cancel.messages.empty());

    // Lower case is the same password (digits and A-D).
    ScriptedPrompt right;
    right.passwords = {std::string(kDefaultPassword)};
    Transfer u;
    RunTransfer(HCommEvent::Upload, radio.Link(), 0, u, right);
    EXPECT_EQ(u.outcome.status, HTransferStatus::Success);

    // A download to a radio with the editor's own password asks nothing.
    ScriptedPrompt none;
    Transfer d;
    d.image = u.image;
    RunTransfer(HCommEvent::Download, radio.Link(), 0, d, none);
    EXPECT_EQ(d.outcome.status, HTransferStatus::Success) << d.outcome.message;
    EXPECT_EQ(none.passwordAsked, 0);
    EXPECT_EQ(none.title, "Download");
    // Every session ended with a reset frame.
    EXPECT_EQ(radio.Sent("38 01 39").size(), 4u);
}

TEST(Controller, IllegalProductionCodeStopsAfterTheHandshake) {
    TempHome home;
    Radio radio(home, FactoryRadio(), {"--production-code", "7"});
    ASSERT_TRUE(radio.Started());
    ScriptedPrompt prompt;
    prompt.passwords = {std::string(kDefaultPassword)};
    Transfer t;
    RunTransfer(HCommEvent::Upload, radio.Link(), 0, t, prompt);
    EXPECT_EQ(t.outcome.status, HTransferStatus::Failed);
    EXPECT_EQ(t.outcome.message, "Communication Error!");
    EXPECT_TRUE(prompt.Saw("Communication Error!", HMessageIcon::Stop));
    EXPECT_EQ(prompt.passwordAsked, 0);
    EXPECT_EQ(radio.Sent("F0 02 01").size(), 1u); // only the model word was read
    EXPECT_TRUE(radio.Sent("F2").empty());
    EXPECT_EQ(radio.Sent("38 01 39").size(), 1u);
}

TEST(Controller, DownloadKeepsTheRadiosIdentityAndMarksTheImage) {
    TempHome home;
    HMemoryImage memory = FactoryRadio();
    memory[0x10] = 0xAB; // an adjustment byte of this radio (covered by its checksum)
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(memory);
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());

    HMemoryImage editor = FactoryRadio();
    {
        HChannels model;
        model.Load(editor);
        model.SetTag(5, "DEALER");
        model.Save(editor);
    }
    ScriptedPrompt prompt;
    Transfer t;
    t.image = editor;
    RunTransfer(HCommEvent::Download, radio.Link(), 0, t, prompt);
    ASSERT_EQ(t.outcome.status, HTransferStatus::Success) << t.outcome.message;
    EXPECT_EQ(t.outcome.message, "Download Complete!");
    EXPECT_TRUE(prompt.Saw("Download Complete!", HMessageIcon::Information));
    EXPECT_EQ(prompt.passwordAsked, 0);
    EXPECT_TRUE(std::find(prompt.statusTexts.begin(), prompt.statusTexts.end(),
                          "Now downloading") != prompt.statusTexts.end());

    // Word 0xFF is written first as FF FF and last as A5 5A.
    const std::vector<std::string> writes = radio.Sent("F1");
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes.front().substr(0, 14), "F1 04 FF FF FF");
    EXPECT_EQ(writes.back().substr(0, 14), "F1 04 FF A5 5A");
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

TEST(Controller, FailedDownloadLeavesTheEndMarkOpenAndTheEditorImageAsItWas) {
    TempHome home;
    Radio radio(home, FactoryRadio(), {"--fault", "nak:0x10"});
    ASSERT_TRUE(radio.Started());
    ScriptedPrompt prompt;
    prompt.passwords = {std::string(kDefaultPassword)};
    Transfer t;
    t.image = FactoryRadio();
    t.image[0x300] = 0x42;
    const HMemoryImage before = t.image;
    RunTransfer(HCommEvent::Download, radio.Link(), 0, t, prompt);
    EXPECT_EQ(t.outcome.status, HTransferStatus::Failed);
    EXPECT_EQ(t.outcome.message, "Communication Error!");
    EXPECT_EQ(t.image, before);
    EXPECT_TRUE(radio.Sent("F3 82 11").empty()); // nothing after the refused page
    EXPECT_TRUE(radio.Sent("F1 04 FF A5").empty());
    EXPECT_EQ(Word(radio.StopAndRead(), 0xFF), 0xFFFF);
}

TEST(Controller, DownloadLevel2WritesEverythingWithoutChecks) {
    TempHome home;
    HMemoryImage memory = FactoryRadio();
    memory[4] ^= 0xFF; // both adjustment checksums wrong: level 2 does not look
    memory[0x310E] ^= 0xFF;
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());
    ScriptedPrompt prompt;
    prompt.passwords = {std::string(kDefaultPassword)};
    Transfer t;
    t.image = FactoryRadio();
    t.image[0x3100] = 0x99;
    RunTransfer(HCommEvent::Download, radio.Link(), 2, t, prompt);
    ASSERT_EQ(t.outcome.status, HTransferStatus::Success) << t.outcome.message;
    // Besides the model word and the password page, nothing is read.
    EXPECT_EQ(radio.Sent("F0").size(), 1u);
    EXPECT_EQ(radio.Sent("F2").size(), 1u);
    EXPECT_EQ(radio.Sent("F1").size(), 1u + 256u + 1u); // FF FF, 00-FF, A5 5A
    EXPECT_EQ(radio.Sent("F3").size(), 0x5Fu);
    const HMemoryImage after = radio.StopAndRead();
    EXPECT_EQ(after[0x3100], 0x99);
    EXPECT_EQ(Word(after, 0xFF), 0xA55A);
}

TEST(Controller, AdjustmentChecksumRules) {
    TempHome home;
    // Working copy wrong, backup right: repaired from the backup and written.
    HMemoryImage memory = FactoryRadio();
    memory[0x06] ^= 0x21;
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());
    ScriptedPrompt prompt;
    Transfer t;
    t.image = FactoryRadio();
    RunTransfer(HCommEvent::Download, radio.Link(), 0, t, prompt);
    ASSERT_EQ(t.outcome.status, HTransferStatus::Success) << t.outcome.message;
    EXPECT_TRUE(
        prompt.Saw(HStringTable::Get(HStringTable::kAdjChecksumBackup), HMessageIcon::Exclamation));
    const HMemoryImage after = radio.StopAndRead();
    EXPECT_TRUE(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(after));
    EXPECT_EQ(after[0x06], FactoryRadio()[0x06]);

    // Both wrong: nothing is written.
    TempHome home2;
    memory[0x310E] ^= 0xFF;
    Radio bad(home2, memory);
    ASSERT_TRUE(bad.Started());
    ScriptedPrompt prompt2;
    Transfer t2;
    t2.image = FactoryRadio();
    RunTransfer(HCommEvent::Download, bad.Link(), 0, t2, prompt2);
    EXPECT_EQ(t2.outcome.status, HTransferStatus::Failed);
    EXPECT_EQ(t2.outcome.message, "Adj Checksum Error!");
    EXPECT_TRUE(prompt2.Saw("Adjustment Data Checksum Error!", HMessageIcon::Exclamation));
    EXPECT_TRUE(prompt2.Saw("Adj Checksum Error!", HMessageIcon::Stop));
    EXPECT_TRUE(bad.Sent("F1").empty());
    EXPECT_TRUE(bad.Sent("F3").empty());
    EXPECT_EQ(bad.Sent("38 01 39").size(), 1u);
}

TEST(Controller, ChannelStepAndProductTypeRules) {
    TempHome home;
    HMemoryImage memory = FactoryRadio();
    {
        HHardwareGroup hw;
        hw.Load(memory);
        hw.SetValue(HHardwareGroup::kRowStepSet, 2);
        hw.Save(memory);
    }
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());

    // Editor step set 0 with a channel on step code 2: refused, nothing written.
    HMemoryImage editor = FactoryRadio();
    {
        HChannels model;
        model.Load(editor);
        model.SetField(3, 12, 2);
        model.Save(editor);
    }
    ScriptedPrompt refused;
    Transfer t;
    t.image = editor;
    RunTransfer(HCommEvent::Download, radio.Link(), 0, t, refused);
    EXPECT_EQ(t.outcome.status, HTransferStatus::Failed);
    EXPECT_EQ(t.outcome.message, "");
    EXPECT_EQ(refused.messages, (Texts{{"Channel Step mismatched!", HMessageIcon::Stop}}));
    EXPECT_TRUE(radio.Sent("F1").empty());

    // Without such a channel the download goes on; a product type that differs
    // only warns.
    HMemoryImage plain = FactoryRadio();
    {
        HHardwareGroup hw;
        hw.Load(plain);
        hw.SetValue(HHardwareGroup::kRowProductType, 2);
        hw.Save(plain);
    }
    ScriptedPrompt warned;
    Transfer d;
    d.image = plain;
    RunTransfer(HCommEvent::Download, radio.Link(), 0, d, warned);
    EXPECT_EQ(d.outcome.status, HTransferStatus::Success) << d.outcome.message;
    EXPECT_TRUE(warned.Saw(HStringTable::Get(HStringTable::kProductTypeMismatch),
                           HMessageIcon::Exclamation));
}

TEST(Controller, CancelStopsBetweenBlocksAndResetsTheRadio) {
    TempHome home;
    Radio radio(home, FactoryRadio());
    ASSERT_TRUE(radio.Started());
    ScriptedPrompt prompt;
    prompt.passwords = {std::string(kDefaultPassword)};
    HSerialPort port;
    HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionUpload, &port, &prompt,
                                        &prompt);
    prompt.onProgress = [&](int pos) {
        if (pos == 10)
            controller.Cancel();
    };
    Transfer t;
    t.image.fill(0x33);
    const HTransferOutcome o = controller.Run(MakeEvent(HCommEvent::Upload, radio.Link(), 2, t));
    EXPECT_EQ(o.status, HTransferStatus::Cancelled);
    EXPECT_NE(o.result, 0);
    EXPECT_EQ(o.message, "");
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(controller.GetStatusText(), "Transfer cancelled.");
    EXPECT_TRUE(std::all_of(t.image.begin(), t.image.end(), [](auto b) { return b == 0x33; }));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(radio.Sent("F2 02 0B").empty()); // stopped after page 0x09
    EXPECT_EQ(radio.Sent("38 01 39").size(), 1u);
}

TEST(Controller, AddedChannelUploadAndTheRestOfTheMatrix) {
    TempHome home;
    HMemoryImage memory = FactoryRadio();
    memory[HImageMap::FlashPageOffset(0x0B)] = 0x6C;
    Radio radio(home, memory);
    ASSERT_TRUE(radio.Started());

    ScriptedPrompt prompt;
    HSerialPort port;
    HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionUpload, &port, &prompt,
                                        &prompt);
    Transfer t;
    t.image = FactoryRadio();
    t.work = t.image;
    auto e = MakeEvent(HCommEvent::AddedChannelUpload, radio.Link(), 0, t);
    e->readEeprom.clear();
    e->readFlash = HTransferRangeTable::AddedChannelPages(3, 4);
    const HTransferOutcome o = controller.Run(std::move(e));
    EXPECT_EQ(o.status, HTransferStatus::Success);
    EXPECT_EQ(prompt.passwordAsked, 0);
    EXPECT_EQ(t.image[HImageMap::FlashPageOffset(0x0B)], 0x6C);
    EXPECT_EQ(radio.Sent("F2").size(), 1u);

    // Another band in the editor: the band box, nothing copied.
    Transfer b;
    b.image = FactoryRadio();
    {
        HHardwareGroup hw;
        hw.Load(b.image);
        hw.SetValue(HHardwareGroup::kRowBand, 2);
        hw.Save(b.image);
    }
    b.work = b.image;
    const HMemoryImage before = b.image;
    auto e2 = MakeEvent(HCommEvent::AddedChannelUpload, radio.Link(), 0, b);
    e2->readEeprom.clear();
    e2->readFlash = HTransferRangeTable::AddedChannelPages(3, 4);
    const HTransferOutcome o2 = controller.Run(std::move(e2));
    EXPECT_EQ(o2.status, HTransferStatus::Failed);
    EXPECT_TRUE(prompt.Saw("Frequency Band mismatched!", HMessageIcon::Stop));
    EXPECT_EQ(b.image, before);

    // Reserved and not-yet-built entries answer at once, without the radio.
    auto reserved = std::make_unique<HCommEventData>(HCommEvent::Reserved);
    EXPECT_EQ(controller.Run(std::move(reserved)).result, 0);
    auto align = std::make_unique<HCommEventData>(HCommEvent::BasicAlignStart);
    const HTransferOutcome a = controller.Run(std::move(align));
    EXPECT_EQ(a.status, HTransferStatus::Failed);
    EXPECT_EQ(a.message, HComText::kNotAvailable);
    auto plain = std::make_unique<HCommEventData>();
    plain->eventId = 42;
    EXPECT_EQ(controller.Run(std::move(plain)).result, 1);
}

} // namespace

#endif // RP57_RADIO_SIM
