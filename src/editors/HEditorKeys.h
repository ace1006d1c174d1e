#pragma once
// Stable setting keys: "section.name". The name comes from the control's label:
// '&' dropped, lower case, every run of other characters one '_', no '_' at
// either end. A label that repeats in a section takes "_2", "_3" in dialog
// order; a record field adds its own word ("direct_ch_1_group"). Everything
// here is constexpr so that a table of items proves its keys at compile time.
#include "HEditor.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr std::size_t kKeyNameMax = 48;

struct HKeyName {
    std::array<char, kKeyNameMax> chars{};
    std::size_t size = 0;

    [[nodiscard]] constexpr std::string_view View() const { return {chars.data(), size}; }
};

[[nodiscard]] constexpr bool HIsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The name a label gives, before any repeat suffix.
[[nodiscard]] constexpr HKeyName HKeyNameOf(std::string_view label) {
    HKeyName out;
    bool gap = false;
    for (char c : label) {
        if (c == '&')
            continue;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (!HIsKeyChar(c)) {
            gap = out.size != 0;
            continue;
        }
        if (gap && out.size < kKeyNameMax)
            out.chars[out.size++] = '_';
        gap = false;
        if (out.size < kKeyNameMax)
            out.chars[out.size++] = c;
    }
    return out;
}

// Lower-case letters, digits and single '_' inside; not empty.
[[nodiscard]] constexpr bool HKeyPartIsWellFormed(std::string_view s) {
    if (s.empty() || s.size() > kKeyNameMax || s.front() == '_' || s.back() == '_')
        return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_') {
            if (s[i + 1] == '_')
                return false;
        } else if (!HIsKeyChar(s[i])) {
            return false;
        }
    }
    return true;
}

// The name an item may carry: its label's name, with "_n" when the label is
// the n-th of its name in the section, or with a field word of letters
// ("_group", "_short_press_star") for record fields and marks the label
// cannot spell.
[[nodiscard]] constexpr bool HKeyNameFollowsLabel(std::string_view name, std::string_view label,
                                                  std::size_t repeat) {
    const HKeyName base = HKeyNameOf(label);
    const std::string_view b = base.View();
    if (!HKeyPartIsWellFormed(name))
        return false;
    if (b.empty())
        return true; // "[*]": nothing to follow
    if (name.substr(0, b.size()) != b)
        return false;
    const std::string_view rest = name.substr(b.size());
    if (rest.empty())
        return repeat == 1;
    if (rest[0] != '_')
        return false;
    const std::string_view word = rest.substr(1);
    bool digits = true;
    bool letters = true;
    for (char c : word) {
        digits = digits && c >= '0' && c <= '9';
        letters = letters && ((c >= 'a' && c <= 'z') || c == '_');
    }
    if (digits) {
        std::size_t n = 0;
        for (char c : word)
            n = n * 10 + std::size_t(c - '0');
        return repeat > 1 && n == repeat;
    }
    return letters;
}

// A name that adds a field word to its label's name ("direct_ch_1_group").
[[nodiscard]] constexpr bool HKeyNameIsField(std::string_view name, std::string_view label) {
    const HKeyName base = HKeyNameOf(label);
    if (base.size == 0 || name.size() <= base.size + 1 || name[base.size] != '_' ||
        name.substr(0, base.size) != base.View())
        return false;
    for (char c : name.substr(base.size + 1))
        if (!((c >= 'a' && c <= 'z') || c == '_'))
            return false;
    return true;
}

// Every named item of a section (all its pages, in dialog order) follows its
// label, repeats are numbered in dialog order, and no name is there twice.
template <std::size_t N>
[[nodiscard]] constexpr bool
HSectionKeysAreSound(const std::array<std::span<const HEditorItem>, N>& pages) {
    for (std::size_t p = 0; p < N; ++p) {
        for (std::size_t i = 0; i < pages[p].size(); ++i) {
            const HEditorItem& item = pages[p][i];
            if (item.name.empty())
                continue;
            const bool field = HKeyNameIsField(item.name, item.label);
            std::size_t repeat = 1;
            for (std::size_t q = 0; q <= p; ++q)
                for (std::size_t j = 0; j < (q == p ? i : pages[q].size()); ++j) {
                    const HEditorItem& other = pages[q][j];
                    if (other.name.empty())
                        continue;
                    if (other.name == item.name)
                        return false;
                    if (!HKeyNameIsField(other.name, other.label) &&
                        HKeyNameOf(other.label).View() == HKeyNameOf(item.label).View())
                        ++repeat;
                }
            if (!field && !HKeyNameFollowsLabel(item.name, item.label, repeat))
                return false;
        }
    }
    return true;
}

// A row of a group that no dialog item shows. The editor keeps it as loaded;
// it is still named, by its row number in the group: "row_<n>".
struct HUnshownRow {
    std::int32_t value = -1; // the group value, numbered as items bind them
    std::string_view name;
};

// "row_" and the value's index in decimal, without leading zeros.
[[nodiscard]] constexpr bool HUnshownRowIsNamed(const HUnshownRow& row) {
    const std::string_view n = row.name;
    if (row.value < 0 || n.size() < 5 || n.substr(0, 4) != "row_" || (n[4] == '0' && n.size() > 5))
        return false;
    std::int64_t v = 0;
    for (const char c : n.substr(4)) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    return v == row.value;
}

// The key of an item in a section: "section.name".
[[nodiscard]] inline std::string HSettingKey(std::string_view section, std::string_view name) {
    std::string key(section);
    key += '.';
    key += name;
    return key;
}
