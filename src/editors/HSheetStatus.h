#pragma once
// The two panes of a property sheet's status bar. A prompt text holds the
// first pane's text, a line feed and the second pane's; without a line feed
// the whole text goes into the first pane. Prompt id 0 blanks both panes.
#include <string>
#include <string_view>

struct HStatusPanes {
    std::string first;
    std::string second;

    friend bool operator==(const HStatusPanes&, const HStatusPanes&) = default;
};

[[nodiscard]] HStatusPanes HSplitStatusText(std::string_view text);

// The panes for a numbered prompt of the string table (id 0: blank panes).
[[nodiscard]] HStatusPanes HStatusPanesFor(int stringId);

// What SetStatusMessage keeps: the prompt shown now. Show returns the id shown
// before, as the sheet's call does.
class HSheetStatus {
public:
    int Show(int stringId);
    // A prompt the page formats itself (texts with numbers in them).
    void ShowText(std::string_view text);
    [[nodiscard]] const HStatusPanes& Panes() const { return m_panes; }
    [[nodiscard]] int Current() const { return m_id; }

private:
    int m_id = 0;
    HStatusPanes m_panes{" ", " "};
};
