#include "HGridColumn.h"

#include "HFieldTable.h"
#include "HFiveToneGroups.h"
#include "HText.h"

#include <algorithm>

namespace {

char32_t UpperKey(char32_t k) {
    return (k >= 'a' && k <= 'z') ? k - 'a' + 'A' : k;
}

bool LetterOrDigit(char32_t k) {
    return (k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9');
}

bool OneOf(char32_t k, std::string_view signs) {
    return k < 128 && signs.find(static_cast<char>(k)) != std::string_view::npos;
}

HKeyResult Insert(char32_t k) {
    return HKeyResult{HKeyVerdict::Insert, k, std::string()};
}

} // namespace

HKeyResult HFilterKey(HKeyFilter filter, std::size_t position, char32_t key) {
    if (key == 8 || key == 27 || key == 13)
        return HKeyResult{HKeyVerdict::Pass, key, std::string()};
    const HKeyResult r;
    const auto digitOrPoint = [](char32_t k) { return (k >= '0' && k <= '9') || k == '.'; };
    const char32_t k = UpperKey(key);
    switch (filter) {
    case HKeyFilter::None:
        return r;
    case HKeyFilter::Tag:
        // The radio keeps '%', '<' and '>' of a channel tag as blanks, so they
        // are not offered there.
        if (LetterOrDigit(k) || OneOf(k, "[]_ *+-/"))
            return Insert(k);
        return r;
    case HKeyFilter::SignalTag:
        if (LetterOrDigit(k) || OneOf(k, "[]_ %<>*+-/"))
            return Insert(k);
        return r;
    case HKeyFilter::ToneDigits:
        if (k < 128 && HToneDigits::IsDigit(static_cast<char>(k)))
            return Insert(k);
        return r;
    case HKeyFilter::PageDigits:
        // The DTMF digits but * and #.
        if (OneOf(k, HFieldCoding::kDigitSymbols.substr(0, 14)))
            return Insert(k);
        return r;
    case HKeyFilter::Frequency:
        if (digitOrPoint(key))
            return Insert(key);
        return r;
    case HKeyFilter::Tone:
        if (position == 0) {
            if (k == 'C')
                return HKeyResult{HKeyVerdict::Replace, 0, "C-"};
            if (k == 'D')
                return HKeyResult{HKeyVerdict::Replace, 0, "D-"};
        } else if (position == 1) {
            if (k == '-')
                return Insert(k);
        } else if (digitOrPoint(k)) {
            return Insert(k);
        }
        return r;
    }
    return r;
}

bool HFilterTakesText(HKeyFilter filter, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (HFilterKey(filter, i, static_cast<unsigned char>(text[i])).verdict !=
            HKeyVerdict::Insert)
            return false;
    return true;
}

std::string HFilterText(HKeyFilter filter) {
    switch (filter) {
    case HKeyFilter::None:
        return "nothing";
    case HKeyFilter::Tag:
        return "letters, digits and \"[]_ *+-/\"";
    case HKeyFilter::SignalTag:
        return "letters, digits and \"[]_ %<>*+-/\"";
    case HKeyFilter::ToneDigits:
        return "of 0-9 and A-E";
    case HKeyFilter::PageDigits:
        return "of 0-9 and A-D";
    case HKeyFilter::Frequency:
        return "digits and '.'";
    case HKeyFilter::Tone:
        return "of \"C-\" or \"D-\" and digits";
    }
    return {};
}

std::string HTextCellAccepts(std::uint32_t minLength, std::uint32_t maxLength, HKeyFilter filter) {
    std::string count;
    if (minLength == maxLength)
        count = "exactly " + std::to_string(maxLength);
    else if (minLength > 0)
        count = std::to_string(minLength) + " to " + std::to_string(maxLength);
    else
        count = "up to " + std::to_string(maxLength);
    return count + " " + HFilterText(filter);
}

namespace HGridCells {

std::string Number(int n) {
    char buf[16];
    const int len = std::snprintf(buf, sizeof buf, "%d", n);
    return std::string(buf, static_cast<std::size_t>(std::clamp(len, 0, 15)));
}

std::string Shown(std::string_view stored) {
    return std::string(HText::TrimRight(stored, HText::kPadding));
}

int TickValue(std::string_view text) {
    const std::string_view t = HText::Trim(text);
    if (t.empty() || t == "v" || t == "V")
        return 1;
    if (t == kUntickedText)
        return 0;
    return -1;
}

int FindValue(std::span<const std::string_view> values, std::string_view text) {
    const std::string wanted = HText::Upper(HText::Trim(text));
    for (std::size_t i = 0; i < values.size(); ++i)
        if (HText::Upper(HText::Trim(values[i])) == wanted)
            return static_cast<int>(i);
    return -1;
}

} // namespace HGridCells
