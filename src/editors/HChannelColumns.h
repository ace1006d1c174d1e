#pragma once
// The 26 columns of the channel grid as one table of objects. Each column knows
// its item (for visibility), its header, the channel field it shows, how its
// cell text is made, how it is edited (text, list, or not at all), which keys
// its editor takes, its list texts, the field Space and double click toggle,
// the field the cell text parser stores, which columns must be re-drawn after
// it changes, and how a cell text pasted into it is stored. The grid, the paste
// parser, the CSV channel list and the printed channel lines all walk this
// table; nothing branches on a column number.
//
// Tick cells: the text is " " (ticked) or "-" (not ticked) as in the grid; the
// picture a front end draws comes from CellTick(). Reports use ReportText(),
// where ticks are "v" and "-".
#include "HChannels.h"
#include "HGridColumn.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The 18 channel-grid items, in the order of the View > Item menu (index =
// command id minus 32821) and of the ITEM0..ITEM17 settings.
enum class HChannelItem : std::int8_t {
    None = -1, // column 0: always shown
    Pri = 0,
    WideNarrow,
    Tag,
    Frequency,
    SubAudio,
    Power,
    Scan,
    Tot,
    Squelch,
    Ani,
    Encr,
    LockOut,
    PageSignal,
    ClockShift,
    Arts,
    FlatAf,
    ExtMic,
    DtmfAniMonitor,
};
inline constexpr std::size_t kChannelItemCount = 18;
inline constexpr std::array<std::string_view, kChannelItemCount> kChannelItemNames = {
    "Pri",         "W/N",         "TAG",     "Frequency", "Sub Audio", "Power",
    "Scan",        "TOT",         "Squelch", "ANI",       "Encr",      "Lock Out",
    "Page/Signal", "Clock Shift", "ARTS",    "Flat AF",   "Ext Mic",   "DTMF ANI Monitor"};

// Item visibility flags (1 shown, 0 hidden), by item index.
using HItemFlags = std::array<std::int32_t, kChannelItemCount>;
[[nodiscard]] constexpr HItemFlags AllItemsShown() {
    HItemFlags f{};
    for (auto& v : f)
        v = 1;
    return f;
}

inline constexpr int kChannelColumnCount = 26;
inline constexpr std::uint32_t kAllColumns = (1u << kChannelColumnCount) - 1;

// What only the channel grid's columns carry beyond a grid column.
struct HChannelColumnMore {
    HChannelItem item = HChannelItem::None; // the View > Item entry that shows it
    std::string_view reportTitle{};         // title in the CSV channel list
    std::uint8_t mobileValues = 0;          // list entries offered to a mobile set; 0 all
};

// A channel column: `aux` of its formatter and parser is the group shown (it
// decides the priority tick).
using HChannelColumn = HGridColumn<HChannels, HChannelColumnMore>;

namespace HChannelColumns {

// Value texts of the list and two-state columns.
inline constexpr std::array<std::string_view, 3> kBandwidthTexts = {"N", "W5", "W4"};
inline constexpr std::array<std::string_view, 2> kPowerTexts = {"H", "L"};
inline constexpr std::array<std::string_view, 3> kPowerLevelTexts = {"LH", "LM", "EL"};
inline constexpr std::array<std::string_view, 13> kSquelchTexts = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
inline constexpr std::array<std::string_view, 4> kEncryptionTexts = {"OFF", "Key ON", "Power On",
                                                                     "All On"};
inline constexpr std::array<std::string_view, 3> kLockOutTexts = {"--", "BC", "BT"};
inline constexpr std::array<std::string_view, 4> kSignalKindTexts = {"------", "Option", "Signal",
                                                                     "Page"};

inline constexpr std::string_view kNoTransmitText = "---.-----";
inline constexpr std::string_view kNoToneText = "-----";

// The table, indexed by column number.
[[nodiscard]] std::span<const HChannelColumn, kChannelColumnCount> Table();
// The column at a number; null for a number outside the table.
[[nodiscard]] const HChannelColumn* Column(int column);

// Columns of an item (Frequency: 4 and 5).
[[nodiscard]] std::vector<int> ColumnsOfItem(HChannelItem item);
[[nodiscard]] constexpr std::uint32_t Bit(int column) {
    return 1u << column;
}

// Order of the CSV channel list and printed lines: the grid order with the
// receive tone ("Dec") before the transmit tone ("Enc").
inline constexpr std::array<int, kChannelColumnCount> kReportOrder = {
    0, 1, 2, 3, 4, 5, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};

// ---- cells ----
[[nodiscard]] std::string CellText(int column, const HChannels& model, int c, int g);
[[nodiscard]] HTickState CellTick(int column, const HChannels& model, int c, int g);
// Ticks as "v" / "-", every other cell as the grid shows it.
[[nodiscard]] std::string ReportText(int column, const HChannels& model, int c, int g);
// Sub-audio text of a type (0 none, 1 CTCSS, 2 DCS), value and DCS flags.
[[nodiscard]] std::string SubAudioText(int type, int value, bool inverted, bool flagB);
// The tone alone, as channel fine alignment shows it: "%s%5.1f" of a CTCSS
// tone, "%s%03o" of a DCS code, with no DCS polarity suffix.
[[nodiscard]] std::string SubAudioTone(int type, int value);
// "%9.5f" of a frequency in Hz, as MHz.
[[nodiscard]] std::string FrequencyText(std::int64_t hz);

// ---- editing ----
// The group whose channel lies at c, or -1 (by allocation only, no in-use test).
[[nodiscard]] int GroupOfChannel(const HChannels& model, int c);
// List texts a column offers for this model ("EL" only for a handheld set).
[[nodiscard]] std::span<const std::string_view> ListTexts(int column, const HChannels& model);
// The drop-down description of a list column: "#0;N|#1;W5|#2;W4|".
[[nodiscard]] std::string ListDescription(int column, const HChannels& model);
// Stores a pasted (or otherwise given) cell text through the column's rule.
bool StoreCellText(int column, HChannels& model, int c, int g, std::string_view text);

using ::HKeyResult;
using ::HKeyVerdict;
// One key typed at `position` (characters before the caret) in an edit of the column.
[[nodiscard]] HKeyResult FilterKey(int column, std::size_t position, char32_t key);
// Whether the tag cell's key filter takes every character of a text, so that
// the radio keeps the tag as written (lower case counts as upper case).
[[nodiscard]] bool TagTextTaken(std::string_view text);

// ---- visibility ----
// The image facts the visibility rules read.
struct HModelFacts {
    int productType = 0;     // Hardware row 2
    int displayHandheld = 0; // Hardware row 3
    int displayMobile = 0;   // Hardware row 4
    int optionUnit = 0;      // Option row 5 (identity value 7)
};
[[nodiscard]] HModelFacts FactsOf(const HChannels& model);

struct HColumnVisibility {
    std::array<bool, kChannelColumnCount> shown{};
    HItemFlags flags{}; // the item flags after the rules forced some
    bool loadFlag = false;
};
// Item flags first, then the model rules: TAG follows the display type (off
// without a display; switched on after a load of a set with one), column 11
// only for a handheld set, Encr and DTMF ANI Monitor forced on/off by the
// option unit, Ext Mic off at access level 0.
[[nodiscard]] HColumnVisibility ApplyVisibility(const HModelFacts& facts, int accessLevel,
                                                const HItemFlags& flags, bool loadFlag);
// View > Item toggle: invert the item's flag, then the rules.
[[nodiscard]] HColumnVisibility ToggleItem(HChannelItem item, const HModelFacts& facts,
                                           int accessLevel, const HItemFlags& flags, bool loadFlag);

// F2: the next group in use after g (g itself when no other is in use).
[[nodiscard]] int NextGroup(const HChannels& model, int g);

// ---- CSV channel list and printed lines ----
// Whether the channel list of the reports has the column: Auto Scan only for a
// handheld set, Encr and ANI Moni only with option unit code 1, Ext MIC only
// above access level 0; every other column always (TAG included).
[[nodiscard]] bool ReportShowsColumn(int column, const HModelFacts& facts, int accessLevel);
// The title row and a channel's row of the CSV channel list, in kReportOrder
// with the columns the model has.
[[nodiscard]] std::vector<std::string> ReportTitles(const HModelFacts& facts, int accessLevel);
[[nodiscard]] std::vector<std::string> ReportRow(const HChannels& model, int c,
                                                 const HModelFacts& facts, int accessLevel);

// ---- tone selection dialog ----
// The choices of the dialog for one side: "-----", the 50 standard CTCSS tones
// ("C- 67.0" ...), the 104 standard DCS codes normal and inverted ("D-023 N",
// "D-023 I"), on the transmit side also "D-023 B". A pick is stored by giving
// its text to the cell text parser.
[[nodiscard]] std::span<const std::string> ToneChoices(bool transmit);
// Index of the choice equal to a cell text; -1 when the value is no standard one.
[[nodiscard]] int FindToneChoice(bool transmit, std::string_view cellText);

inline constexpr std::size_t kCtcssToneCount = 50;
inline constexpr std::size_t kDcsCodeCount = 104;

} // namespace HChannelColumns
