#pragma once
// A fleet roster: for each radio, by its serial number, the settings it is
// given on top of the fleet's file (an ANI or selective-call ID, a power-on
// tag). A CSV file whose first line names the columns, "serial" and setting
// keys as rp57cli show lists them; each further line is one radio. An empty
// cell leaves that setting as the file has it.
#include "HMemoryImage.h"
#include "HSettingAssignments.h"

#include <string>
#include <string_view>
#include <vector>

struct HRosterRow {
    int line = 0; // of the file, from 1
    std::string serial;
    HSettingAssignments::Values values;
};

class HRoster {
public:
    static constexpr const char* kSerialColumn = "serial";

    // Reads the roster and tries every row on `image` at `accessLevel`
    // through the rules of rp57cli set, so that a value the rules refuse
    // stops a run before its first radio. The `keep` keys (read from each
    // radio) must be settings and no column of the roster. False with
    // `error` naming the file, line and key.
    [[nodiscard]] bool Load(const std::string& path, const HMemoryImage& image, int accessLevel,
                            const std::vector<std::string>& keep, std::string& error);
    [[nodiscard]] const HRosterRow* Find(std::string_view serial) const;
    [[nodiscard]] const std::vector<HRosterRow>& Rows() const { return m_rows; }
    [[nodiscard]] const std::string& Path() const { return m_path; }

    // The `keep` keys are settings of `image`: empty, else why not.
    [[nodiscard]] static std::string CheckKeep(const HMemoryImage& image, int accessLevel,
                                               const std::vector<std::string>& keep);
    // The image one radio is given: its roster row (null: none) applied to
    // `image`, then each `keep` setting as `radio` (the radio read whole)
    // shows it. Empty on success, else why. `received`: "key=shown text", a
    // line for each setting the row and keep gave.
    [[nodiscard]] static std::string ImageFor(HMemoryImage& image, int accessLevel,
                                              const HRosterRow* row,
                                              const std::vector<std::string>& keep,
                                              const HMemoryImage* radio, std::string& received);

private:
    std::string m_path;
    std::vector<HRosterRow> m_rows;
};
