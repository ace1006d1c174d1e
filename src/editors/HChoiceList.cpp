#include "HChoiceList.h"

#include "HNumberText.h"

#include <array>

namespace {

struct FixedPair {
    std::string_view first;  // code 0
    std::string_view second; // code 1
};

// The trailing blanks belong to the texts: the lists were always drawn so.
constexpr std::array<FixedPair, 6> kFixed{{
    {"Disable", "Enable "},
    {"Enable", "Disable "},
    {"Off", "On "},
    {"On ", "Off"},
    {"No", "Yes "},
    {"Yes", "No "},
}};

} // namespace

std::string HChoiceRangeText(const HChoiceRange& range, std::uint32_t position) {
    if (position >= range.count)
        return {};
    if (position == 0 && !range.firstText.empty())
        return std::string(range.firstText);
    const std::int64_t tenths = std::int64_t(range.start) + std::int64_t(range.step) * position;
    // "%3.1f  %s" or "%d  %s" of the value in tenths, with the unit.
    std::string text = range.oneDecimal ? HFormatNumber("%3.1f", double(tenths) / 10.0)
                                        : HFormatNumber("%d", double(tenths / 10));
    text += "  ";
    text += range.unit;
    return text;
}

std::vector<HChoiceItem> HChoiceItems(const HChoiceList& list) {
    std::vector<HChoiceItem> items;
    switch (list.kind) {
    case HChoiceKind::Table:
        for (const HChoiceEntry& e : list.entries)
            if (e.offered)
                items.push_back({std::string(e.text), e.code});
        break;
    case HChoiceKind::Range:
        items.reserve(list.range.count);
        for (std::uint32_t j = 0; j < list.range.count; ++j)
            items.push_back({HChoiceRangeText(list.range, j), std::int32_t(j)});
        break;
    default: {
        const auto k = static_cast<std::size_t>(list.kind);
        if (k < kFixed.size()) {
            items.push_back({std::string(kFixed[k].first), 0});
            items.push_back({std::string(kFixed[k].second), 1});
        }
        break;
    }
    }
    return items;
}

std::string HChoiceText(const HChoiceList& list, std::int32_t code) {
    switch (list.kind) {
    case HChoiceKind::Table:
        for (const HChoiceEntry& e : list.entries)
            if (e.offered && e.code == code)
                return std::string(e.text);
        return {};
    case HChoiceKind::Range:
        if (code < 0)
            return {};
        return HChoiceRangeText(list.range, std::uint32_t(code));
    default: {
        const auto k = static_cast<std::size_t>(list.kind);
        if (k >= kFixed.size())
            return {};
        if (code == 0)
            return std::string(kFixed[k].first);
        if (code == 1)
            return std::string(kFixed[k].second);
        return {};
    }
    }
}
