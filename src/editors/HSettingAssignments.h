#pragma once
// Settings changed by key as a user would change them in the dialogs, one after
// the other: what rp57cli set does with its KEY=VALUE words, and what a fleet
// roster does with a radio's row.
#include "HMemoryImage.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class HSettingsSession;

namespace HSettingAssignments {

using Values = std::vector<std::pair<std::string, std::string>>;

struct Result {
    std::string error;                 // empty: every value was taken
    std::vector<std::string> warnings; // what the editors' rules said on the way
};

// Each value in turn through its setting's rules (a list entry's text, or
// what one types into an edit), each editor confirmed before the next value,
// so that a later value sees what an earlier one enabled. On an error the
// image may hold the values before it.
[[nodiscard]] Result Apply(HMemoryImage& image, int accessLevel, const Values& values);
// The text a setting shows in `image`; none (with `error`) for a key no
// dialog shows.
[[nodiscard]] std::optional<std::string> Shown(const HMemoryImage& image, int accessLevel,
                                               const std::string& key, std::string& error);
// "unknown setting 'KEY'", with the keys of its section when there is one.
[[nodiscard]] std::string UnknownKey(const HSettingsSession& session, const std::string& key);

} // namespace HSettingAssignments
