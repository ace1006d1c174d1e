#pragma once
// The channel model: 128 channels, 8 groups, 17 tuning points, the Hardware
// group, the signalling settings the channel cells use and the identity values,
// loaded from an image, edited, and written back.
//
// Channels belong to groups by position: group 0 holds the first count(0)
// channels, group 1 the next count(1), and so on.
#include "HChannelRules.h"
#include "HChannelTables.h"
#include "HCommonGroups.h"
#include "HHardwareGroup.h"
#include "HMemoryImage.h"
#include "HSettingsBase.h"
#include "HSettingsGroup.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// One channel: 69 values (fields 0-58 stored, 59-68 derived) and the tag.
struct HChannel {
    int index = 0;
    std::array<std::int32_t, HChannelTables::kFieldCount> values{};
    std::string tag;
};

// One group: values 0-5 stored, 6 is the tag (kept as text), 7 derived.
struct HGroup {
    int index = 0;
    std::array<std::int32_t, HChannelTables::kGroupValueCount> values{};
    std::string tag;
};

// The signalling settings the channel cells depend on (signalling type, ANI type).
class HChannelSignalling : public HSettingsGroup {
public:
    enum Row : std::size_t { kSignallingType = 0, kAniType = 1 };
    HChannelSignalling();
};

// What storing a frequency did to the value asked for.
struct HFrequencyStore {
    std::int64_t requestedHz = 0;
    std::int64_t storedHz = 0;
    int bandLimit = 0;        // -1: raised to the band's lower limit, +1: cut to its upper one
    bool movedToStep = false; // the step grid moved it
    std::int32_t stepHz = 0;  // the step the stored value lies on
    std::int64_t lowHz = 0;   // the band limits it was held to
    std::int64_t highHz = 0;
};

// What ParseCellText did with a text it took, for telling the user.
struct HCellParseReport {
    std::optional<HFrequencyStore> typed;      // the frequency entered, either side
    std::optional<HFrequencyStore> followedTx; // after a receive entry: the transmit side
    std::int64_t txBeforeHz = 0;               // the transmit frequency before the entry
    std::int32_t toneTyped = -1;               // a CTCSS entry in 0.1 Hz, before the range limit
};

// The old priority of a group, as SetPriorityChannel reports it.
struct HPriorityChange {
    std::int32_t oldPriority = HChannelTables::kNoPriority;
    std::int32_t oldChannel = -1; // absolute channel of the old priority, -1 for none
};

class HChannels : public HSettingsBase {
public:
    static constexpr int kIdentityValues = 10;

    HChannels();

    void SetDefaults();
    void Load(std::span<const std::uint8_t> image);
    void Save(std::span<std::uint8_t> image);
    // Every channel's receive and transmit frequency from `other`, all 128
    // whatever either capacity: a model loaded under other Hardware values then
    // saves the frequencies `other` showed.
    void TakeFrequencies(const HChannels& other);

    // ---- channels ----
    // -1 for a channel at or above the capacity or a field above 68.
    [[nodiscard]] std::int32_t GetField(int c, int k) const;
    // Ignored for a channel at or above the capacity or a field above 68.
    void SetField(int c, int k, std::int32_t value);
    [[nodiscard]] std::string GetTag(int c) const;
    void SetTag(int c, std::string_view text);
    [[nodiscard]] bool IsChannelEnabled(int c) const;
    void DisableChannels(int from, int to);
    // Double-click on a channel cell; false when the field has no toggle.
    bool ToggleField(int c, int k);
    // which: 0 receive, 1 transmit.
    void SetFrequency(int c, int which, std::int64_t hz);
    [[nodiscard]] std::int64_t GetFrequency(int c, int which) const;
    // Stores a cell text typed in the channel grid; false (channel unchanged)
    // when the text is not accepted. `report`, when given, says what the rules
    // made of a taken text.
    bool ParseCellText(int c, int field, std::string_view text, HCellParseReport* report = nullptr);
    // True when channel c is in use and its group is in use; group gets the
    // group the channel falls in.
    bool GetParentGroupNum(int c, int& group) const;

    // ---- groups ----
    [[nodiscard]] std::int32_t GetGroupValue(int g, int k) const;
    // Value 7 (scan mode) sets flags 3 and 5 from its bits 0 and 1. Counts are
    // not normalised here: call NormalizeGroups after an allocation change
    // (Save does it too).
    void SetGroupValue(int g, int k, std::int32_t value);
    [[nodiscard]] std::string GetGroupTag(int g) const;
    void SetGroupTag(int g, std::string_view text);
    [[nodiscard]] int FirstChannelOfGroup(int g) const;
    // First channel + priority; -1 when the group has no priority channel.
    [[nodiscard]] int PriorityChannelOfGroup(int g) const;
    [[nodiscard]] bool HasEnabledChannel(int g) const;
    // The next group in use after g, wrapping round; g itself when no other is.
    [[nodiscard]] int NextGroupInUse(int g) const;
    [[nodiscard]] int FreeChannels() const;
    [[nodiscard]] int UsedChannels() const;
    // The allocated total divided by 3 (channels per FLASH page), truncated.
    [[nodiscard]] int UsedChannelPages() const { return UsedChannels() / 3; }
    [[nodiscard]] int GetGroupCount() const { return m_groupCount; }
    [[nodiscard]] int GetCapacity() const { return m_capacity; }
    [[nodiscard]] int MaxChannelsPerGroup() const { return m_capacity; }
    void NormalizeGroups();
    // Makes channel c the priority of group g when it falls in g.
    std::optional<HPriorityChange> SetPriorityChannel(int c, int g);
    void TruncateGroups(int g);

    // ---- identity, Hardware, signalling ----
    [[nodiscard]] std::int32_t GetIdentityValue(int i) const;
    void SetIdentityValue(int i, std::int32_t value);
    // Hardware values by row; 13 and 14 in Hz (HHardwareGroup).
    [[nodiscard]] std::int32_t GetHardwareValue(std::size_t row) const;
    // Changing the product or display type changes the capacity.
    void SetHardwareValue(std::size_t row, std::int32_t value);
    [[nodiscard]] const HChannelSignalling& Signalling() const { return m_signalling; }

private:
    [[nodiscard]] bool ValidChannel(int c) const { return c >= 0 && c < m_capacity; }
    [[nodiscard]] static bool ValidGroup(int g) {
        return g >= 0 && g < static_cast<int>(HChannelTables::kGroupCount);
    }
    void UpdateCapacity();
    void DefaultChannel(HChannel& ch) const;
    // `counting` is Counting(), passed in so that a load asks the hardware once.
    void DeriveAfterLoad(HChannel& ch, const HChannelRules::CountContext& counting) const;
    // The tuning points as a save interpolates them (HChannels.cpp).
    struct TuningTable;
    [[nodiscard]] TuningTable MakeTuningTable() const;
    // Tuning byte, tuning-point fields and tone timer bytes from the frequencies.
    void RecomputeDerived(HChannel& ch, const TuningTable& tuning) const;
    void RecomputeTuningByte(HChannel& ch) const;
    [[nodiscard]] std::array<std::int32_t, HChannelTables::kFieldCount>
    StoredValues(const HChannel& ch) const;
    [[nodiscard]] std::int64_t FrequencyOf(const HChannel& ch, int which,
                                           const HChannelRules::CountContext& counting) const;
    HFrequencyStore StoreFrequency(HChannel& ch, int which, std::int64_t hz);
    bool ParseTone(HChannel& ch, bool transmit, std::string_view text, HCellParseReport* report);
    void ClearGroup(HGroup& grp) const;
    [[nodiscard]] HChannelRules::CountContext Counting() const;

    std::array<HChannel, HChannelTables::kChannelCount> m_channels{};
    std::array<HGroup, HChannelTables::kGroupCount> m_groups{};
    HTuningPointsGroup m_tuningPoints;
    HHardwareGroup m_hardware;
    HChannelSignalling m_signalling;
    std::array<std::int32_t, kIdentityValues> m_identity{};
    int m_capacity = 8;
    int m_groupCount = 1;
};
