#include "HChannelImport.h"

#include "HChannelGrid.h"
#include "HChannelSheet.h"
#include "HCsvReader.h"
#include "HFileUtil.h"
#include "HLogPrint.h"
#include "HStringTable.h"
#include "HText.h"
#include "HTextExport.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace HChannelImport {

namespace {

namespace Cols = HChannelColumns;
using HCsvReader::HCsvRecord;
using HText::Trim;
namespace S = HStringTable;

// Where each column of a title row goes: a grid column, or -1 (not imported).
struct HLayout {
    std::vector<int> columns;
    std::vector<std::string> titles; // as the file writes them
    std::size_t channelField = 0;    // the field of "Chn"
    int recognised = 0;
};

bool IsBlank(const HCsvRecord& r) {
    return std::all_of(r.fields.begin(), r.fields.end(),
                       [](const std::string& f) { return Trim(f).empty(); });
}

// A row of column titles: the channel number's title, at least one other
// column's, and titles in at least half of its filled cells (a settings row
// of the export that happens to name a column is none).
std::optional<HLayout> TitleLayout(const HCsvRecord& r) {
    HLayout l;
    bool channel = false;
    int filled = 0;
    for (std::size_t i = 0; i < r.fields.size(); ++i) {
        const std::string_view title = Trim(r.fields[i]);
        const int column = title.empty() ? -1 : HChannelSheet::ColumnOfTitle(title);
        filled += title.empty() ? 0 : 1;
        if (column >= 0)
            ++l.recognised;
        if (column == 0 && !channel) {
            channel = true;
            l.channelField = i;
        }
        l.columns.push_back(column);
        l.titles.emplace_back(title);
    }
    if (!channel || l.recognised < 2 || 2 * l.recognised < filled)
        return std::nullopt;
    return l;
}

// Where the channel list starts: after the export's "***CHANNEL DATA***" row
// when there is one (the settings sections before it are no channels).
std::size_t ListStart(const std::vector<HCsvRecord>& records) {
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!records[i].fields.empty() && Trim(records[i].fields[0]) == HTextExport::kChannelTitle)
            return i + 1;
    return 0;
}

struct HParsed {
    std::vector<HCsvRecord> records;
    std::size_t firstTitle = 0;
    int recognised = 0;
};

// The text read with the separator whose first title row names the most
// columns; nothing when neither finds one.
std::optional<HParsed> ParseList(std::string_view text) {
    std::optional<HParsed> best;
    for (const char separator : {',', ';'}) {
        HParsed p;
        p.records = HCsvReader::Read(text, separator);
        for (std::size_t i = ListStart(p.records); i < p.records.size(); ++i) {
            if (const std::optional<HLayout> l = TitleLayout(p.records[i])) {
                p.firstTitle = i;
                p.recognised = l->recognised;
                if (!best || p.recognised > best->recognised)
                    best = std::move(p);
                break;
            }
        }
    }
    return best;
}

// A channel number as the list writes it ("  7"); -1 when the cell is none.
int ChannelNumber(std::string_view cell) {
    const std::string_view t = Trim(cell);
    if (t.empty() || t.size() > 3)
        return -1;
    int n = 0;
    for (const char ch : t) {
        if (ch < '0' || ch > '9')
            return -1;
        n = n * 10 + (ch - '0');
    }
    return n;
}

std::string Text(int id, const std::vector<std::string>& args = {}) {
    return S::Format(id, args);
}

class HImporter {
public:
    explicit HImporter(const HImportBase& base)
        : m_accessLevel(base.AccessLevel()), m_before(base.Image()), m_grid(base.Grid()),
          m_beforeModel(base.Grid().Model()), m_facts(Cols::FactsOf(m_beforeModel)) {}

    HImportResult Run(const HParsed& parsed) {
        for (std::size_t i = parsed.firstTitle; i < parsed.records.size(); ++i)
            Row(parsed.records[i]);
        m_result.ok = true;
        m_result.image = m_before;
        m_grid.SaveEdits(m_result.image);
        m_result.changed = m_result.image != m_before;
        Changes();
        return std::move(m_result);
    }

private:
    void Row(const HCsvRecord& r) {
        if (IsBlank(r))
            return;
        if (std::optional<HLayout> l = TitleLayout(r)) {
            Layout(std::move(*l));
            return;
        }
        // A group's tag row: one cell; the groups are the allocation's.
        const auto filled = std::count_if(r.fields.begin(), r.fields.end(),
                                          [](const std::string& f) { return !Trim(f).empty(); });
        if (filled == 1 && !Trim(r.fields.front()).empty())
            return;
        if (const std::optional<std::string> why = ChannelRow(r)) {
            m_result.skipped.push_back({r.line, *why});
            HLOG_D1("import line %d skipped: %s", r.line, why->c_str());
        }
    }

    void Layout(HLayout l) {
        std::set<int> seen;
        for (std::size_t i = 0; i < l.columns.size(); ++i) {
            const std::string& title = l.titles[i];
            int& column = l.columns[i];
            if (title.empty())
                continue;
            if (column < 0) {
                Note(Text(S::kImportUnknownColumn, {title}));
            } else if (!seen.insert(column).second) {
                Note(Text(S::kImportColumnTwice, {title}));
                column = -1;
            } else if (!Cols::ReportShowsColumn(column, m_facts, m_accessLevel)) {
                Note(Text(S::kImportColumnNotShown, {title}));
                column = -1;
            }
        }
        m_layout = std::move(l);
    }

    void Note(std::string text) {
        if (std::find(m_result.notes.begin(), m_result.notes.end(), text) == m_result.notes.end())
            m_result.notes.push_back(std::move(text));
    }

    // Stores a channel row on a copy of the grid, which replaces the grid
    // only when every cell was taken; otherwise why the row was skipped.
    std::optional<std::string> ChannelRow(const HCsvRecord& r) {
        if (r.unterminated)
            return Text(S::kImportQuoteOpen);
        const std::size_t width = m_layout.columns.size();
        const bool extra = std::any_of(
            r.fields.begin() + static_cast<std::ptrdiff_t>(std::min(width, r.fields.size())),
            r.fields.end(), [](const std::string& f) { return !Trim(f).empty(); });
        if (r.fields.size() < width || extra)
            return Text(S::kImportFieldCount,
                        {std::to_string(r.fields.size()), std::to_string(width)});
        const int capacity = m_grid.Model().GetCapacity();
        const std::string& numberCell = r.fields[m_layout.channelField];
        const int number = ChannelNumber(numberCell);
        if (number < 1 || number > capacity)
            return Text(S::kImportNoChannel,
                        {std::string(Trim(numberCell)), std::to_string(capacity)});
        const int c = number - 1;

        HChannelGrid probe = m_grid;
        const int g = Cols::GroupOfChannel(probe.Model(), c);
        if (g < 0 || !probe.SelectGroup(g) || probe.RowOfChannel(c) < 0)
            return Text(S::kImportNoGroup, {std::to_string(number)});
        const int row = probe.RowOfChannel(c);
        // A listed channel is one in use: the double click on its number
        // puts it in use, as in the grid.
        if (!probe.Model().IsChannelEnabled(c))
            probe.CellAction(row, 0, HCellActionMode::DoubleClick);
        if (!probe.Model().IsChannelEnabled(c))
            return Text(S::kImportNoGroup, {std::to_string(number)});

        // Column order, as a paste stores a row: the receive frequency before
        // the transmit one it also sets, the signalling kind before its number.
        std::vector<std::pair<int, std::size_t>> cells;
        for (std::size_t i = 0; i < width; ++i)
            if (m_layout.columns[i] > 0)
                cells.emplace_back(m_layout.columns[i], i);
        std::sort(cells.begin(), cells.end());
        for (const auto& [column, field] : cells) {
            const std::string& text = r.fields[field];
            // A cell the channel already shows is no change: storing it again
            // could only disturb what the text does not show (a tag's padding).
            if (Trim(text) == Trim(Cols::ReportText(column, probe.Model(), c, g)))
                continue;
            const HCellWrite write{row, column, text};
            if (probe.StoreCells(std::span(&write, 1)).cellsRefused > 0)
                return Text(S::kImportCellRefused, {m_layout.titles[field], text});
            m_typed[{c, column}] = text;
        }
        m_grid = std::move(probe);
        ++m_result.channelRows;
        return std::nullopt;
    }

    // What changed, by channel and column, in the list's order.
    void Changes() {
        const HChannels& before = m_beforeModel;
        // A load replaces what a default model would hold; copying one is cheaper.
        HChannels after = m_beforeModel;
        after.Load(m_result.image);
        for (int c = 0; c < after.GetCapacity(); ++c) {
            const bool wasInUse = before.IsChannelEnabled(c);
            const bool inUse = after.IsChannelEnabled(c);
            if (!wasInUse && !inUse)
                continue;
            if (wasInUse != inUse)
                m_result.changes.push_back({c + 1,
                                            std::string(Cols::Column(0)->more.reportTitle),
                                            S::Get(wasInUse ? S::kImportInUse : S::kImportNotInUse),
                                            S::Get(inUse ? S::kImportInUse : S::kImportNotInUse),
                                            {}});
            const int g = Cols::GroupOfChannel(after, c);
            for (const int column : Cols::kReportOrder) {
                if (column == 0)
                    continue;
                const std::string old(Trim(Cols::ReportText(column, before, c, g)));
                const std::string now(Trim(Cols::ReportText(column, after, c, g)));
                if (old == now)
                    continue;
                HImportChange change{
                    c + 1, std::string(Cols::Column(column)->more.reportTitle), old, now, {}};
                if (const auto typed = m_typed.find({c, column});
                    typed != m_typed.end() && Trim(typed->second) != now)
                    change.typed = typed->second;
                m_result.changes.push_back(std::move(change));
            }
        }
    }

    int m_accessLevel = 0;
    const HMemoryImage& m_before;
    HChannelGrid m_grid;
    const HChannels& m_beforeModel; // the image as loaded, before any row
    Cols::HModelFacts m_facts;
    HLayout m_layout;
    std::map<std::pair<int, int>, std::string> m_typed; // (channel, column) -> the file's cell
    HImportResult m_result;
};

HImportResult Failure(int id, std::vector<std::string> args, std::string detail = {}) {
    HImportResult r;
    r.messageId = id;
    r.args = std::move(args);
    r.detail = std::move(detail);
    return r;
}

} // namespace

HImportBase::HImportBase(const HMemoryImage& image, int accessLevel)
    : m_image(image), m_accessLevel(accessLevel) {
    m_grid.Settings().accessLevel = accessLevel;
    m_grid.Refresh(image);
}

namespace {

// The list read, and the image loaded only when the text is one.
template <class LoadBase>
HImportResult ImportList(std::string_view text, const std::string& name, LoadBase&& base) {
    HLOG_D1("[FUNC IN]ImportChannels");
    const std::optional<HParsed> parsed = ParseList(text);
    if (!parsed) {
        HLOG_D1("[FUNC OUT]ImportChannels: not a channel list");
        return Failure(S::kImportNotChannelList, {name});
    }
    HImportResult r = HImporter(base()).Run(*parsed);
    HLOG_D1("[FUNC OUT]ImportChannels rows %d changes %zu skipped %zu", r.channelRows,
            r.changes.size(), r.skipped.size());
    return r;
}

} // namespace

HImportResult Import(const HMemoryImage& image, std::string_view text, int accessLevel,
                     const std::string& name) {
    return ImportList(text, name, [&] { return HImportBase(image, accessLevel); });
}

HImportResult Import(const HImportBase& base, std::string_view text, const std::string& name) {
    return ImportList(text, name, [&]() -> const HImportBase& { return base; });
}

HImportResult ImportFile(const HMemoryImage& image, const std::string& path, int accessLevel) {
    const HFileRead read = ReadRegularFile(path, kMaxListBytes);
    const std::string reason = Text(S::kDetailReason, {read.reason});
    switch (read.status) {
    case HFileReadStatus::Ok:
        break;
    case HFileReadStatus::Missing:
        return Failure(S::kFileOpenError, {path}, S::Get(S::kDetailMissing));
    case HFileReadStatus::NotRegular: {
        std::error_code ec;
        return Failure(S::kFileOpenError, {path},
                       S::Get(std::filesystem::is_directory(path, ec) ? S::kDetailDirectory
                                                                      : S::kDetailNotAFile));
    }
    case HFileReadStatus::TooLarge:
        return Failure(S::kImportNotChannelList, {path},
                       Text(S::kImportTooLarge, {std::to_string(kMaxListBytes)}));
    case HFileReadStatus::Failed:
        return Failure(S::kFileReadError, {path}, reason);
    }
    const std::string_view text(reinterpret_cast<const char*>(read.bytes.data()),
                                read.bytes.size());
    return Import(image, text, accessLevel, path);
}

std::string ChangeLine(const HImportChange& change) {
    const std::string number = std::to_string(change.channel);
    if (change.typed.empty())
        return Text(S::kImportChange, {number, change.column, change.before, change.after});
    return Text(S::kImportChangeTyped,
                {number, change.column, change.before, change.after, change.typed});
}

std::string IssueLine(const HImportIssue& issue) {
    return Text(S::kImportRowSkipped, {std::to_string(issue.line), issue.text});
}

int ChannelsChanged(const HImportResult& result) {
    std::set<int> channels;
    for (const HImportChange& change : result.changes)
        channels.insert(change.channel);
    return static_cast<int>(channels.size());
}

std::string Summary(const HImportResult& result) {
    if (!result.changed && result.skipped.empty())
        return S::Get(S::kImportNothing);
    return Text(S::kImportSummary,
                {std::to_string(result.changes.size()), std::to_string(ChannelsChanged(result)),
                 std::to_string(result.skipped.size())});
}

} // namespace HChannelImport
