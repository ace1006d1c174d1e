// The check before writing, on images with known faults: each finding names
// the setting by key and caption with the right severity, and a sound image
// gives none.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HFiveToneGroups.h"
#include "HStringTable.h"
#include "HTwoToneGroups.h"
#include "HWriteCheck.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

// Failures name the finding, not its bytes.
void PrintTo(const HCheckFinding& f, std::ostream* os) {
    *os << HWriteCheck::Describe(f);
}

namespace {

using namespace HChannelTables;

const HCheckFinding* FindKey(const std::vector<HCheckFinding>& findings, const std::string& key) {
    const auto it = std::ranges::find(findings, key, &HCheckFinding::key);
    return it == findings.end() ? nullptr : &*it;
}

HMemoryImage WithChannels(HMemoryImage image, void (*edit)(HChannels&)) {
    HChannels model;
    model.Load(image);
    edit(model);
    model.Save(image);
    return image;
}

// `image` with settings set as rp57cli set sets them, by key and shown text.
HMemoryImage WithSettings(HMemoryImage image,
                          const std::vector<std::pair<std::string, std::string>>& values) {
    HSettingsSession session(image, 0);
    for (const auto& [key, value] : values) {
        const HSettingsSession::Setting* setting = session.Find(key);
        EXPECT_NE(setting, nullptr) << key;
        if (setting != nullptr) {
            EXPECT_EQ(session.Set(*setting, value), "") << key << " = " << value;
        }
    }
    EXPECT_EQ(session.Confirm(nullptr), "");
    return image;
}

// Every finding names a setting rp57cli get and set reach, by the caption
// rp57cli show gives it.
void ExpectNamedAsSettings(HMemoryImage image, const std::vector<HCheckFinding>& findings) {
    HSettingsSession session(image, 0);
    for (const HCheckFinding& f : findings) {
        const HSettingsSession::Setting* setting = session.Find(f.key);
        ASSERT_NE(setting, nullptr) << f.key;
        EXPECT_EQ(setting->label, f.caption) << f.key;
    }
}

bool AnyKeyStartsWith(const std::vector<HCheckFinding>& findings, std::string_view prefix) {
    return std::ranges::any_of(findings,
                               [&](const HCheckFinding& f) { return f.key.starts_with(prefix); });
}

bool Says(const HCheckFinding* f, const std::string& what) {
    return f != nullptr && f->text.find(what) != std::string::npos;
}

void SetTwoToneEncodeTone(HMemoryImage& image, int entry, std::int32_t tone) {
    HTwoToneEncodeGroup encode;
    encode.LoadAll(image);
    encode.SetField(entry - 1, HTwoToneTables::kEncFirstTone, tone);
    encode.SaveRecords(image);
}

} // namespace

TEST(WriteCheckTest, BuiltInImageIsSoundAtEveryLevel) {
    const HMemoryImage image = BuildDefaultImage();
    for (int level = 0; level <= 2; ++level)
        EXPECT_EQ(HWriteCheck::CheckImage(image, level), std::vector<HCheckFinding>{})
            << "level " << level;
    for (int level = 0; level <= 2; ++level)
        EXPECT_TRUE(HWriteCheck::CheckAgainstRadio(image, image, level).empty())
            << "level " << level;
}

TEST(WriteCheckTest, FrequencyOutsideTheBandIsAnErrorOfItsCell) {
    // The same stored channels read in the Low A band (29.7-40 MHz) lie outside it.
    const HMemoryImage image = WithHardware(BuildDefaultImage(), HHardwareGroup::kRowBand, 4);
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* rx = FindKey(findings, "channels.1.rx_frequency");
    ASSERT_NE(rx, nullptr);
    EXPECT_EQ(rx->severity, HCheckSeverity::Error);
    EXPECT_EQ(rx->caption, "RX Frequency");
    EXPECT_EQ(rx->channel, 1);
    EXPECT_TRUE(Says(rx, "Channel 1: RX Frequency ")) << rx->text;
    EXPECT_NE(rx->text.find("Low Band A band (29.70000 to 40.00000 MHz)"), std::string::npos)
        << rx->text;
    EXPECT_TRUE(HHasCheckErrors(findings));

    // Band code 1 has no limits: nothing lies outside it.
    const auto noBand =
        HWriteCheck::CheckImage(WithHardware(BuildDefaultImage(), HHardwareGroup::kRowBand, 1), 0);
    EXPECT_FALSE(AnyKeyStartsWith(noBand, "channels.")) << noBand.front().text;
}

TEST(WriteCheckTest, BandEdgesAreInsideTheBand) {
    // The VHF band runs 134-174 MHz, both edges included; one 6.25 kHz step
    // past either edge is outside, for a receive and a transmit frequency alike.
    // The file's own limits are wider, as a foreign file's may be, so that the
    // channel model stores what it is given.
    const HMemoryImage wide =
        WithHardware(WithHardware(BuildDefaultImage(), HHardwareGroup::kRowBandLow, 100000000),
                     HHardwareGroup::kRowBandHigh, 200000000);
    struct Row {
        std::int64_t hz;
        bool outside;
    };
    const Row rows[] = {
        {134000000, false}, {133993750, true}, {174000000, false}, {174006250, true}};
    for (const Row& row : rows) {
        for (const int which : {0, 1}) {
            HMemoryImage image = wide;
            HChannels model;
            model.Load(image);
            model.SetFrequency(0, which, row.hz);
            model.Save(image);
            const std::string key =
                which == 0 ? "channels.1.rx_frequency" : "channels.1.tx_frequency";
            EXPECT_EQ(FindKey(HWriteCheck::CheckImage(image, 0), key) != nullptr, row.outside)
                << row.hz << " Hz as " << key;
        }
    }
}

TEST(WriteCheckTest, GroupCountsAboveTheCapacityAreAnError) {
    // Group counts are bytes of swapped words at 50: group 0's is byte 51,
    // group 1's byte 50. A radio without a display has one group of 8, so a
    // count left in group 1 is not its own.
    struct Row {
        const char* what;
        bool display;
        std::uint8_t group0, group1;
        const char* error; // nullptr: no finding
    };
    const Row rows[] = {
        {"128 + 20 in eight groups", true, 128, 20,
         "hold 148 channels; this radio holds at most 128"},
        {"9 in one group", false, 9, 0, "hold 9 channels; this radio holds at most 8"},
        {"8 in one group, 20 left in group 2", false, 8, 20, nullptr},
    };
    for (const Row& row : rows) {
        HMemoryImage image = BuildDefaultImage();
        if (!row.display)
            image = WithHardware(WithHardware(image, HHardwareGroup::kRowDisplayHandheld, 0),
                                 HHardwareGroup::kRowDisplayMobile, 0);
        image[kGroupByteRows[kGroupChannels].byteOffset + 1] = row.group0;
        image[kGroupByteRows[kGroupChannels].byteOffset] = row.group1;
        const auto findings = HWriteCheck::CheckImage(image, 0);
        const HCheckFinding* groups = FindKey(findings, "groups.channels");
        if (row.error == nullptr) {
            EXPECT_EQ(groups, nullptr) << row.what << ": " << groups->text;
            continue;
        }
        ASSERT_NE(groups, nullptr) << row.what;
        EXPECT_EQ(groups->severity, HCheckSeverity::Error) << row.what;
        EXPECT_TRUE(Says(groups, row.error)) << row.what << ": " << groups->text;
    }
}

TEST(WriteCheckTest, DualWatchWithoutPriorityIsAWarningOfTheKey) {
    const HMemoryImage image = WithChannels(BuildDefaultImage(), [](HChannels& m) {
        for (int g = 0; g < m.GetGroupCount(); ++g)
            m.SetGroupValue(g, kGroupPriority, kNoPriority);
    });
    HMemoryImage dual = image;
    HKeyFunctionGroup keys;
    keys.Load(dual);
    keys.SetValue(2, 4); // [P3] Short Press: "DW"
    keys.Save(dual);
    const auto findings = HWriteCheck::CheckImage(dual, 0);
    const HCheckFinding* dw = FindKey(findings, "key_function.p3_short_press");
    ASSERT_NE(dw, nullptr);
    EXPECT_EQ(dw->severity, HCheckSeverity::Warning);
    EXPECT_EQ(dw->caption, "[P3] Short Press");
    EXPECT_FALSE(HHasCheckErrors(findings));

    // A priority channel in a group in use answers it, the group's first one too.
    for (const int priority : {3, 0}) {
        HMemoryImage answered = dual;
        HChannels model;
        model.Load(answered);
        model.SetPriorityChannel(priority, 0);
        model.Save(answered);
        EXPECT_EQ(FindKey(HWriteCheck::CheckImage(answered, 0), "key_function.p3_short_press"),
                  nullptr)
            << "priority channel " << priority + 1;
    }
}

TEST(WriteCheckTest, TagCharactersTheRadioCannotShowAreWarnings) {
    HMemoryImage image = BuildDefaultImage();
    const std::size_t tagAt =
        kChannelBase + kChannelRecordSize + kChannelRecordRows[kFieldTag].byteOffset;
    const std::string stored = "AB!C\x01";
    std::copy(stored.begin(), stored.end(), image.begin() + std::ptrdiff_t(tagAt));
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* tag = FindKey(findings, "channels.2.tag");
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->severity, HCheckSeverity::Warning);
    EXPECT_NE(tag->text.find("(! 0x01)"), std::string::npos) << tag->text;
    EXPECT_NE(tag->text.find("AB?C?"), std::string::npos) << tag->text; // as the radio shows it
    EXPECT_EQ(FindKey(findings, "channels.1.tag"), nullptr);
}

TEST(WriteCheckTest, NonStandardToneAndMissingPageAreWarnings) {
    HMemoryImage image = WithChannels(BuildDefaultImage(), [](HChannels& m) {
        m.SetField(4, kFieldRxToneOn, 1);
        m.SetField(4, kFieldRxToneDcs, 0);
        m.SetField(4, kFieldRxTone, 1234); // 123.4 Hz is no standard CTCSS tone
        m.SetField(6, kFieldSignalKind, 3);
        m.SetField(6, kFieldSignalNumber, 2);
        // Pages 1 and 10, the first and the last, exist.
        m.SetField(7, kFieldSignalKind, 3);
        m.SetField(7, kFieldSignalNumber, 1);
        m.SetField(8, kFieldSignalKind, 3);
        m.SetField(8, kFieldSignalNumber, 10);
    });
    // Channel 7's stored Page number becomes 12 (page 13): the editors never
    // store it, a foreign file may. Pages run 1-10.
    const std::size_t record = kChannelBase + 6 * kChannelRecordSize + 2 * kChannelPageGap;
    const std::size_t numberAt = record + kChannelRecordRows[kFieldSignalNumber].byteOffset;
    image[numberAt] = std::uint8_t((image[numberAt] & 0xF0) | 12);
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* tone = FindKey(findings, "channels.5.rx_sub_audio");
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(tone->severity, HCheckSeverity::Warning);
    EXPECT_NE(tone->text.find("123.4"), std::string::npos) << tone->text;
    EXPECT_EQ(tone->channel, 5);
    const HCheckFinding* page = FindKey(findings, "channels.7.page_signal_no");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->channel, 7);
    EXPECT_NE(page->text.find("refers to Page"), std::string::npos) << page->text;
    EXPECT_EQ(FindKey(findings, "channels.1.rx_sub_audio"), nullptr);
    EXPECT_EQ(FindKey(findings, "channels.8.page_signal_no"), nullptr);
    EXPECT_EQ(FindKey(findings, "channels.9.page_signal_no"), nullptr);
}

TEST(WriteCheckTest, DamagedAdjustmentIsAnErrorOnlyWhereItIsWritten) {
    HMemoryImage image = BuildDefaultImage();
    HAlignmentData working(HAlignmentData::HCopy::Working);
    working.Load(image);
    working.SetValue(3, working.GetValue(3) ^ 1);
    working.Store(image);
    // Levels 0 and 1 keep the radio's adjustment pages; level 2 writes them.
    const HCheckSeverity byLevel[] = {HCheckSeverity::Warning, HCheckSeverity::Warning,
                                      HCheckSeverity::Error};
    for (int level = 0; level <= 2; ++level) {
        const auto findings = HWriteCheck::CheckImage(image, level);
        const HCheckFinding* adjustment = FindKey(findings, "adjustment.checksum");
        ASSERT_NE(adjustment, nullptr) << "level " << level;
        EXPECT_EQ(adjustment->severity, byLevel[level]) << "level " << level;
    }
}

TEST(WriteCheckTest, ALevel0DownloadNamesTheHardwarePageValuesTheRadioKeeps) {
    // The radio's first IF, local offset side and step set (the page's first
    // byte) differ from the file's; a row off the page (TX power, byte 33)
    // does not count here.
    const HMemoryImage file = BuildDefaultImage();
    HMemoryImage radio = WithHardware(file, HHardwareGroup::kRowFirstIf, 21400000);
    radio = WithHardware(radio, HHardwareGroup::kRowLocalOffset, 1);
    radio = WithHardware(radio, HHardwareGroup::kRowStepSet, 2);
    radio = WithHardware(radio, HHardwareGroup::kRowTxPower, 1);
    const auto findings = HWriteCheck::CheckAgainstRadio(file, radio, 0);
    // One warning names them all, in the dialog's order, keyed by the first.
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].severity, HCheckSeverity::Warning);
    EXPECT_EQ(findings[0].key, "hardware.local_offset");
    EXPECT_NE(findings[0].text.find("differ from this file's: Local Offset Upper (this file "
                                    "Lower), Chan Step 10,12.5kHz (this file 5,6.25kHz) and "
                                    "1st IF 21.40 MHz (this file 0.00 MHz). A download"),
              std::string::npos)
        << findings[0].text;
    // Level 1 writes the file's page: nothing to tell.
    EXPECT_TRUE(HWriteCheck::CheckAgainstRadio(file, radio, 1).empty());
}

TEST(WriteCheckTest, DecodeWindowsTheTablesCannotHoldAreNamedByTone) {
    // 2-tone: tones 3 and A at 1000 and 2000 Hz. With the window scale of 25
    // their windows are far past 16 bits; a scale of 25000 holds them.
    HMemoryImage image = WithSettings(BuildDefaultImage(),
                                      {{"two_tone_table.3", "1000"}, {"two_tone_table.a", "2000"}});
    auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* two = FindKey(findings, "two_tone_table");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->severity, HCheckSeverity::Warning);
    EXPECT_EQ(two->caption, "2Tone Table");
    EXPECT_TRUE(Says(two, "no decode window of tones 3 (1000.0 Hz) and A (2000.0 Hz) fits"))
        << two->text;
    EXPECT_TRUE(Says(two, "window scale 25,")) << two->text;
    HTwoToneTable table;
    table.Load(image);
    table.SetWindowScale(25000);
    table.Save(image);
    EXPECT_EQ(FindKey(HWriteCheck::CheckImage(image, 0), "two_tone_table"), nullptr);

    // 5-tone: the table of the active family only, one finding per tone set.
    image = WithSettings(image, {{"signalling_type.signalling", "5-TONE"}});
    HFiveToneTable five;
    five.Load(image);
    five.SetFrequency(1, 4, 1060.0);
    five.Save(image);
    findings = HWriteCheck::CheckImage(image, 0);
    EXPECT_EQ(FindKey(findings, "two_tone_table"), nullptr);
    const HCheckFinding* zvei2 = FindKey(findings, "five_tone_table.2");
    ASSERT_NE(zvei2, nullptr);
    EXPECT_EQ(zvei2->caption, "5-Tone Table ZVEI2");
    EXPECT_TRUE(Says(zvei2, "no decode window of tone 4 (1060.0 Hz) fits")) << zvei2->text;
    EXPECT_EQ(
        std::ranges::count(findings, HStringTable::kCheckToneWindow, &HCheckFinding::messageId), 1);
}

TEST(WriteCheckTest, AnotherBandOrProductTypeThanTheRadiosIsAnError) {
    const HMemoryImage vhf = BuildDefaultImage();
    const HMemoryImage uhf = WithHardware(vhf, HHardwareGroup::kRowBand, 2);
    auto findings = HWriteCheck::CheckAgainstRadio(uhf, vhf, 0);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].key, "hardware.freq_band");
    EXPECT_EQ(findings[0].caption, "Freq. Band");
    EXPECT_EQ(findings[0].severity, HCheckSeverity::Error);
    EXPECT_NE(findings[0].text.find("for the UHF A band, the radio is a VHF radio"),
              std::string::npos)
        << findings[0].text;

    const HMemoryImage handheld = WithHardware(vhf, HHardwareGroup::kRowProductType, 2);
    findings = HWriteCheck::CheckAgainstRadio(vhf, handheld, 0);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].key, "hardware.product_type");
    EXPECT_NE(findings[0].text.find("for a Mobile set, the radio is a Handheld set"),
              std::string::npos)
        << findings[0].text;
}

TEST(WriteCheckTest, CallKeyOnAnEmptyTwoToneEncodeEntryIsAWarningOfTheCallSetting) {
    HMemoryImage image =
        WithSettings(BuildDefaultImage(), {{"key_function.p3_short_press", "CALL 2"},
                                           {"two_tone_encode.call_2", "ENC No.5"}});
    auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* call = FindKey(findings, "two_tone_encode.call_2");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->severity, HCheckSeverity::Warning);
    EXPECT_EQ(call->caption, "Call 2");
    EXPECT_EQ(call->channel, 0);
    // The built-in entries name tone 0, which the table leaves without a frequency.
    EXPECT_TRUE(Says(call, "2-Tone Encode: Call 2 names ENC No.5, which is empty (its 1st tone "
                           "0 has no frequency in the 2Tone Table)"))
        << call->text;
    EXPECT_TRUE(Says(call, "so the key [P3] Short Press (CALL 2) would send nothing"))
        << call->text;
    EXPECT_TRUE(Says(call, "Set up ENC No.5 in 2-Tone Encode")) << call->text;
    EXPECT_FALSE(HHasCheckErrors(findings));
    // Call 1 names an empty entry too, but no key sends it.
    EXPECT_EQ(FindKey(findings, "two_tone_encode.call_1"), nullptr);
    // The 5-tone reading of the same bytes is not what this radio sends.
    EXPECT_FALSE(AnyKeyStartsWith(findings, "five_tone"));
    ExpectNamedAsSettings(image, findings);

    // A second key on the same call is named in the same finding.
    image = WithSettings(image, {{"key_function.mic_a_short_press", "CALL 2"}});
    findings = HWriteCheck::CheckImage(image, 0);
    EXPECT_TRUE(Says(FindKey(findings, "two_tone_encode.call_2"),
                     "the keys [P3] Short Press and Mic [A] Short Press (CALL 2)"));

    // A 1st tone with a frequency makes the entry a call.
    HTwoToneTable tones;
    tones.Load(image);
    tones.SetFrequency(3, 1000.0);
    tones.Store(image);
    SetTwoToneEncodeTone(image, 5, 3);
    EXPECT_EQ(FindKey(HWriteCheck::CheckImage(image, 0), "two_tone_encode.call_2"), nullptr);

    SetTwoToneEncodeTone(image, 5, HTwoToneTables::kNoTone);
    EXPECT_TRUE(Says(FindKey(HWriteCheck::CheckImage(image, 0), "two_tone_encode.call_2"),
                     "ENC No.5, which is empty (no 1st tone)"));
}

TEST(WriteCheckTest, EncodeNumberPastTheTableIsAnError) {
    // Only a foreign or damaged file holds one: the list offers ENC No.1-32.
    HMemoryImage image =
        WithSettings(BuildDefaultImage(), {{"key_function.p1_short_press", "CALL 1"},
                                           {"two_tone_encode.call_1", "ENC No.32"}});
    // The last entry exists: it is only empty.
    const auto lastEntry = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* last = FindKey(lastEntry, "two_tone_encode.call_1");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->severity, HCheckSeverity::Warning);
    EXPECT_TRUE(Says(last, "names ENC No.32, which is empty")) << last->text;

    image[0x1C86] = 40; // Call 1's whole byte
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* call = FindKey(findings, "two_tone_encode.call_1");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->severity, HCheckSeverity::Error);
    EXPECT_TRUE(Says(call, "Call 1 names encode entry 41, which does not exist")) << call->text;
    EXPECT_TRUE(Says(call, "what the key [P1] Short Press (CALL 1) would send is undefined"))
        << call->text;
    EXPECT_TRUE(HHasCheckErrors(findings));
}

TEST(WriteCheckTest, ChannelSignalNamesItsTwoToneSystemEntrysEncodeEntry) {
    HMemoryImage image = WithChannels(BuildDefaultImage(), [](HChannels& m) {
        for (const int c : {2, 4}) {
            m.SetField(c, kFieldSignalKind, 2); // "Signal"
            m.SetField(c, kFieldSignalNumber, 4);
        }
        m.SetField(6, kFieldSignalKind, 3); // a Page 4 names no system entry
        m.SetField(6, kFieldSignalNumber, 4);
    });
    auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* system = FindKey(findings, "two_tone_system.4.call_encode_tone_no");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->severity, HCheckSeverity::Warning);
    EXPECT_EQ(system->caption, "Call Encode Tone No. 4");
    EXPECT_TRUE(
        Says(system, "2-Tone System 4: Call Encode Tone No. names ENC No.1, which is empty"))
        << system->text;
    EXPECT_TRUE(Says(system, "so a call on channels 3 and 5 (Signal 4) would send nothing"))
        << system->text;
    EXPECT_EQ(std::ranges::count(findings, std::string("two_tone_system.4.call_encode_tone_no"),
                                 &HCheckFinding::key),
              1);
    // System 1, which no channel selects, names the same entry unremarked.
    EXPECT_EQ(FindKey(findings, "two_tone_system.1.call_encode_tone_no"), nullptr);
    ExpectNamedAsSettings(image, findings);

    image = WithSettings(image, {{"two_tone_system.4.call_encode_tone_no", "2"}});
    findings = HWriteCheck::CheckImage(image, 0);
    EXPECT_TRUE(Says(FindKey(findings, "two_tone_system.4.call_encode_tone_no"),
                     "names ENC No.2, which is empty"));
}

TEST(WriteCheckTest, FiveToneSystemCallsAndDecodeAnswersNameTheirEncodeEntries) {
    HMemoryImage image =
        WithSettings(BuildDefaultImage(), {{"signalling_type.signalling", "5-TONE"}});
    image = WithSettings(image, {{"key_function.p1_short_press", "CALL 1"},
                                 {"five_tone_common.call_1_encode_code", "ENC No.6"},
                                 {"five_tone_encode.6.encode_no", "123"},
                                 {"five_tone_system.2.flow", "ID+Call"},
                                 {"five_tone_system.2.call_encode_tone_no", "6"},
                                 {"five_tone_system.2.id_encode_tone_no", "7"},
                                 {"five_tone_decode.1.decode_no", "45"},
                                 {"five_tone_decode.1.transpond_code", "Enc-9"},
                                 {"five_tone_decode.2.transpond_code", "Enc-9"},
                                 {"five_tone_decode.3.decode_no", "46"},
                                 {"five_tone_decode.3.transpond_code", "Enc-1"},
                                 {"five_tone_decode.4.decode_no", "47"},
                                 {"five_tone_decode.4.transpond_code", "Caller ID"}});
    image = WithChannels(image, [](HChannels& m) {
        m.SetField(0, kFieldSignalKind, 2);
        m.SetField(0, kFieldSignalNumber, 2);
    });
    auto findings = HWriteCheck::CheckImage(image, 0);
    // Entry 6 holds a number: the call key and the system's call send it.
    EXPECT_EQ(FindKey(findings, "five_tone_common.call_1_encode_code"), nullptr);
    EXPECT_EQ(FindKey(findings, "five_tone_system.2.call_encode_tone_no"), nullptr);
    const HCheckFinding* id = FindKey(findings, "five_tone_system.2.id_encode_tone_no");
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->severity, HCheckSeverity::Warning);
    EXPECT_TRUE(Says(id, "5-Tone System 2: ID Encode Tone No. names ENC No.7, which is empty (no "
                         "Encode No.), so the ID on channel 1 (Signal 2) would send nothing. Set "
                         "up ENC No.7 in 5Tone Encode"))
        << id->text;
    // The repeater tone is off.
    EXPECT_EQ(FindKey(findings, "five_tone_system.2.repeater_encode_tone_no"), nullptr);
    const HCheckFinding* answer = FindKey(findings, "five_tone_decode.1.transpond_code");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->severity, HCheckSeverity::Warning);
    EXPECT_TRUE(Says(answer, "5-Tone Decode 1: Transpond Code names ENC No.9, which is empty"))
        << answer->text;
    EXPECT_TRUE(Says(answer, "the answer to a call with Decode No. 45")) << answer->text;
    // The first entry answers as well; "Caller ID" names no entry.
    EXPECT_TRUE(Says(FindKey(findings, "five_tone_decode.3.transpond_code"),
                     "Transpond Code names ENC No.1, which is empty"));
    EXPECT_EQ(FindKey(findings, "five_tone_decode.4.transpond_code"), nullptr);
    // Decode entry 2 has no Decode No.: it never answers.
    EXPECT_EQ(FindKey(findings, "five_tone_decode.2.transpond_code"), nullptr);
    EXPECT_FALSE(AnyKeyStartsWith(findings, "two_tone"));
    EXPECT_FALSE(HHasCheckErrors(findings));
    ExpectNamedAsSettings(image, findings);

    // The flow says which of the call and the ID a system sends.
    const struct {
        const char* flow;
        bool call;
        bool id;
    } flows[] = {{"Call", true, false}, {"ID", false, true}, {"Call+ID", true, true}};
    for (const auto& f : flows) {
        const auto flowFindings = HWriteCheck::CheckImage(
            WithSettings(image, {{"five_tone_system.2.flow", f.flow},
                                 {"five_tone_system.2.call_encode_tone_no", "8"}}),
            0);
        EXPECT_EQ(FindKey(flowFindings, "five_tone_system.2.call_encode_tone_no") != nullptr,
                  f.call)
            << f.flow;
        EXPECT_EQ(FindKey(flowFindings, "five_tone_system.2.id_encode_tone_no") != nullptr, f.id)
            << f.flow;
    }

    // A transpond code past "Enc-32" names no entry.
    HFiveToneDecodeGroup decodes;
    decodes.Load(image);
    decodes.SetField(0, HFiveToneTables::kDecTranspondCode, 40);
    decodes.Save(image);
    findings = HWriteCheck::CheckImage(image, 0);
    answer = FindKey(findings, "five_tone_decode.1.transpond_code");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->severity, HCheckSeverity::Error);
    EXPECT_TRUE(Says(answer, "names encode entry 38, which does not exist")) << answer->text;
}
