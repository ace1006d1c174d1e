#pragma once
// Choice lists: the constant tables that turn a stored code into the text a
// combo box shows. Kinds 0-5 are the fixed two-entry lists, kind 6 a table of
// entries (some kept in the table but not offered), kind 7 a generated numeric
// range whose code is the item's position.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class HChoiceKind : std::uint32_t {
    DisableEnable = 0, // "Disable" = 0, "Enable " = 1
    EnableDisable = 1, // "Enable" = 0, "Disable " = 1
    OffOn = 2,         // "Off" = 0, "On " = 1
    OnOff = 3,         // "On " = 0, "Off" = 1
    NoYes = 4,         // "No" = 0, "Yes " = 1
    YesNo = 5,         // "Yes" = 0, "No " = 1
    Table = 6,
    Range = 7,
};

inline constexpr std::size_t kChoiceTextMax = 19; // characters of a table entry's text
inline constexpr std::size_t kChoiceUnitMax = 7;  // characters of a range's unit

struct HChoiceEntry {
    std::string_view text;
    std::int32_t code = 0;
    bool offered = true;
};

// Kind 7: `count` items; item j shows (start + step * j) / 10 with the unit,
// "%3.1f  %s" when oneDecimal, else "%d  %s" (integer division). A non-empty
// firstText replaces item 0. The code of every item is its position.
struct HChoiceRange {
    std::uint32_t count = 0;
    std::string_view firstText;
    std::int32_t start = 0;
    std::int32_t step = 0;
    std::string_view unit;
    bool oneDecimal = false;
};

struct HChoiceList {
    HChoiceKind kind = HChoiceKind::DisableEnable;
    std::span<const HChoiceEntry> entries; // kind 6 only
    HChoiceRange range;                    // kind 7 only
};

// One item as a combo shows it.
struct HChoiceItem {
    std::string text;
    std::int32_t code = 0;

    friend bool operator==(const HChoiceItem&, const HChoiceItem&) = default;
};

[[nodiscard]] constexpr HChoiceList HChoiceFixed(HChoiceKind kind) {
    HChoiceList l;
    l.kind = kind;
    return l;
}

[[nodiscard]] constexpr HChoiceList HChoiceTable(std::span<const HChoiceEntry> entries) {
    HChoiceList l;
    l.kind = HChoiceKind::Table;
    l.entries = entries;
    return l;
}

[[nodiscard]] constexpr HChoiceList HChoiceGenerated(std::uint32_t count, std::int32_t start,
                                                     std::int32_t step, std::string_view unit = {},
                                                     bool oneDecimal = false,
                                                     std::string_view firstText = {}) {
    HChoiceList l;
    l.kind = HChoiceKind::Range;
    l.range = HChoiceRange{count, firstText, start, step, unit, oneDecimal};
    return l;
}

// For static_assert over every list of an editor: texts fit, a table has
// entries and no code twice, a range has items and its values stay small
// enough to print.
[[nodiscard]] constexpr bool HChoiceListIsSound(const HChoiceList& l) {
    switch (l.kind) {
    case HChoiceKind::DisableEnable:
    case HChoiceKind::EnableDisable:
    case HChoiceKind::OffOn:
    case HChoiceKind::OnOff:
    case HChoiceKind::NoYes:
    case HChoiceKind::YesNo:
        return l.entries.empty() && l.range.count == 0;
    case HChoiceKind::Table:
        if (l.entries.empty() || l.range.count != 0)
            return false;
        for (std::size_t i = 0; i < l.entries.size(); ++i) {
            if (l.entries[i].text.empty() || l.entries[i].text.size() > kChoiceTextMax)
                return false;
            for (std::size_t j = i + 1; j < l.entries.size(); ++j)
                if (l.entries[i].code == l.entries[j].code)
                    return false;
        }
        return true;
    case HChoiceKind::Range: {
        const HChoiceRange& r = l.range;
        if (!l.entries.empty() || r.count == 0 || r.count > 1000 ||
            r.unit.size() > kChoiceUnitMax || r.firstText.size() > kChoiceTextMax)
            return false;
        const std::int64_t last = std::int64_t(r.start) + std::int64_t(r.step) * (r.count - 1);
        return r.start > -1000000000 && r.start < 1000000000 && last > -1000000000 &&
               last < 1000000000;
    }
    }
    return false;
}

// The items a combo filled from the list shows, in order: only offered table
// entries; every generated range item.
[[nodiscard]] std::vector<HChoiceItem> HChoiceItems(const HChoiceList& list);

// Text of the first offered item with this code; empty when no item offers it.
[[nodiscard]] std::string HChoiceText(const HChoiceList& list, std::int32_t code);

// Text of generated item `position` of a kind 7 list (the first text for item 0
// when there is one); empty for a position outside the range.
[[nodiscard]] std::string HChoiceRangeText(const HChoiceRange& range, std::uint32_t position);
