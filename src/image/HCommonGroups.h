#pragma once
// The settings groups without derived values: each is its descriptor
// table(s) from the memory map and nothing else. Hardware and Option, which
// add derived values, have their own files.
#include "HMemoryMap.h"
#include "HSettingsGroup.h"

#define RP57_PLAIN_GROUP(Name, parts)                                                              \
    class Name : public HSettingsGroup {                                                           \
    public:                                                                                        \
        Name() : HSettingsGroup(parts) {}                                                          \
    }

RP57_PLAIN_GROUP(HScanningGroup, HMemoryMap::kScanningParts);
RP57_PLAIN_GROUP(HPowerSavingGroup, HMemoryMap::kPowerSavingParts);
RP57_PLAIN_GROUP(HFrontPanelGroup, HMemoryMap::kFrontPanelParts);
RP57_PLAIN_GROUP(HKeyFunctionGroup, HMemoryMap::kKeyFunctionParts);
RP57_PLAIN_GROUP(HMiscellaneousGroup, HMemoryMap::kMiscellaneousParts);
RP57_PLAIN_GROUP(HMarketingGroup, HMemoryMap::kMarketingParts);
RP57_PLAIN_GROUP(HPowerOnPasswordGroup, HMemoryMap::kPowerOnPasswordParts);
RP57_PLAIN_GROUP(HProgrammingPasswordGroup, HMemoryMap::kProgrammingPasswordParts);
RP57_PLAIN_GROUP(HEmergencyGroup, HMemoryMap::kEmergencyParts);

#undef RP57_PLAIN_GROUP

// Record groups: values record by record; Value(record, row) reads one.
class HRecordGroup : public HSettingsGroup {
public:
    using HSettingsGroup::HSettingsGroup;
    // Record of the group's first record part; -1 out of range.
    [[nodiscard]] std::int32_t GetRecordValue(std::size_t record, std::size_t row,
                                              std::size_t part = 0) const {
        return GetValue(IndexOf(part, record, row));
    }
    void SetRecordValue(std::size_t record, std::size_t row, std::int32_t value,
                        std::size_t part = 0) {
        SetValue(IndexOf(part, record, row), value);
    }
};

// 4 direct channels: row 0 group, row 1 channel.
class HDirectChannelGroup : public HRecordGroup {
public:
    HDirectChannelGroup() : HRecordGroup(HMemoryMap::kDirectChannelParts) {}
};

// Value 0: the group the switch positions address (255 = current group);
// values 1-16: positions 0-15 (255 = not used).
class HDsubChannelSwitchGroup : public HRecordGroup {
public:
    HDsubChannelSwitchGroup() : HRecordGroup(HMemoryMap::kDsubChannelSwitchParts) {}
};

// Values 0-5: input functions of ports 1-6 (bytes 685-690); values 6-11:
// output functions of ports 1-6 (bytes 679-684).
class HDsubPortLinesGroup : public HRecordGroup {
public:
    HDsubPortLinesGroup() : HRecordGroup(HMemoryMap::kDsubPortLinesParts) {}
};

// 17 factory tuning points of 17 rows each; row 0 is the frequency in Hz.
class HTuningPointsGroup : public HRecordGroup {
public:
    HTuningPointsGroup() : HRecordGroup(HMemoryMap::kTuningPointParts) {}
    [[nodiscard]] std::int32_t Point(std::size_t point, std::size_t row) const {
        return GetRecordValue(point, row);
    }
    // All 17 rows of one point at once, as Point() reads them.
    [[nodiscard]] std::span<const std::int32_t> PointRows(std::size_t point) const {
        return StoredRecord(0, point);
    }
};
