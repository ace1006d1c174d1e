#include "HChannelSheet.h"

#include "HStringTable.h"
#include "HText.h"

#include <algorithm>
#include <array>

namespace Cols = HChannelColumns;

namespace HChannelSheet {

int ColumnOfTitle(std::string_view title) {
    const std::string_view wanted = HText::Trim(title);
    if (wanted.empty())
        return -1;
    const auto table = Cols::Table();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (HText::SameIgnoringCase(table[i].header, wanted) ||
            HText::SameIgnoringCase(table[i].more.reportTitle, wanted))
            return static_cast<int>(i);
    return -1;
}

HSheet ParseTabbed(std::string_view text, int firstColumn) {
    HSheet sheet;
    for (std::string_view line : HText::Lines(text)) {
        std::vector<std::string_view> raw = HText::Split(line, '\t');
        // Spreadsheets end a copied row with a tab: an empty cell at the end
        // is none (a blank is a ticked cell).
        while (raw.size() > 1 && raw.back().empty())
            raw.pop_back();
        std::vector<std::string> cells;
        for (std::string_view cell : raw)
            cells.emplace_back(HText::Trim(cell));
        sheet.rows.push_back(std::move(cells));
    }
    if (sheet.rows.empty())
        return sheet;
    const std::vector<std::string>& first = sheet.rows.front();
    int titles = 0;
    int filled = 0;
    for (const std::string& cell : first) {
        if (cell.empty())
            continue;
        ++filled;
        if (ColumnOfTitle(cell) >= 0)
            ++titles;
    }
    // A sheet may carry columns of its own (notes, a site): at least half
    // of the first row's cells name columns.
    sheet.header = titles > 0 && 2 * titles >= filled;
    std::size_t width = 0;
    for (const auto& row : sheet.rows)
        width = std::max(width, row.size());
    if (sheet.header) {
        for (const std::string& cell : first)
            sheet.columns.push_back(ColumnOfTitle(cell));
        sheet.rows.erase(sheet.rows.begin());
    } else {
        for (std::size_t i = 0; i < width; ++i) {
            const int column = firstColumn + static_cast<int>(i);
            sheet.columns.push_back(column >= 0 && column < kChannelColumnCount ? column : -1);
        }
    }
    return sheet;
}

std::vector<HCellWrite> Writes(const HSheet& sheet, int targetRow) {
    std::vector<HCellWrite> writes;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r)
        for (std::size_t i = 0; i < sheet.rows[r].size() && i < sheet.columns.size(); ++i)
            if (sheet.columns[i] > 0)
                writes.push_back(
                    {targetRow + static_cast<int>(r), sheet.columns[i], sheet.rows[r][i]});
    return writes;
}

std::vector<int> ChannelNumbers(const HSheet& sheet) {
    const auto at = std::find(sheet.columns.begin(), sheet.columns.end(), 0);
    if (at == sheet.columns.end())
        return {};
    const auto i = static_cast<std::size_t>(at - sheet.columns.begin());
    std::vector<int> numbers;
    for (const auto& row : sheet.rows) {
        if (i >= row.size())
            return {};
        int n = 0;
        for (char ch : row[i]) {
            if (ch < '0' || ch > '9' || n > 999)
                return {};
            n = n * 10 + (ch - '0');
        }
        if (n == 0)
            return {};
        numbers.push_back(n);
    }
    return numbers;
}

std::string PasteQuestion(const HSheet& sheet, const HChannelGrid& grid, int targetRow) {
    const std::string target = std::to_string(grid.ChannelOfRow(targetRow) + 1);
    const std::vector<int> numbers = ChannelNumbers(sheet);
    if (!numbers.empty()) {
        std::string source = std::to_string(numbers.front());
        if (numbers.size() > 1)
            source += " - " + std::to_string(numbers.back());
        return HStringTable::Format(HStringTable::kCopyChannel, {source, target});
    }
    const std::size_t n = sheet.rows.size();
    std::string targets = target;
    const int lastRow = std::min(targetRow + static_cast<int>(n) - 1, grid.RowCount() - 1);
    if (lastRow > targetRow)
        targets += " - " + std::to_string(grid.ChannelOfRow(lastRow) + 1);
    return HStringTable::Format(HStringTable::kPasteRows,
                                {std::to_string(n) + (n == 1 ? " row" : " rows"), targets});
}

std::vector<std::string> RefusalLines(const HPasteResult& result) {
    std::vector<std::string> lines;
    for (const HCellRefusal& refusal : result.refused)
        if (std::find(lines.begin(), lines.end(), refusal.why) == lines.end())
            lines.push_back(refusal.why);
    return lines;
}

std::string RefusalSummary(const HPasteResult& result) {
    if (result.cellsRefused == 0)
        return {};
    // The status bar holds one line: the first reasons, the box the rest.
    constexpr std::size_t kShown = 3;
    const std::vector<std::string> lines = RefusalLines(result);
    std::string why;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i)
        why += (i > 0 ? "; " : "") + lines[i];
    if (lines.size() > kShown)
        why += "; ...";
    return HStringTable::Format(HStringTable::kPasteRefused,
                                {std::to_string(result.cellsRefused),
                                 std::to_string(result.cellsRefused + result.cellsStored), why});
}

namespace {
constexpr std::array<int, 9> kBulkColumns = {2, 6, 7, 8, 9, 10, 11, 12, 13};
} // namespace

std::span<const int> BulkColumns() {
    return kBulkColumns;
}

std::vector<HBulkChoice> BulkChoices(int column, const HChannels& model) {
    std::vector<HBulkChoice> out;
    if (std::find(kBulkColumns.begin(), kBulkColumns.end(), column) == kBulkColumns.end())
        return out;
    const HChannelColumn& c = *Cols::Column(column);
    if (c.style == HCellStyle::Tick) {
        // A report's tick and an empty cell, as the paste rules take them.
        out.push_back({"On", "v"});
        out.push_back({"Off", std::string(kUntickedText)});
    } else if (c.keys == HKeyFilter::Tone) {
        for (const std::string& choice :
             Cols::ToneChoices(c.parseField == HChannelTables::kFieldTxToneType))
            out.push_back({choice, choice});
    } else {
        const std::span<const std::string_view> texts =
            c.edit == HCellEdit::List ? Cols::ListTexts(column, model) : c.values;
        for (std::string_view text : texts)
            out.push_back({std::string(text), std::string(text)});
    }
    return out;
}

std::vector<HCellWrite> SetColumn(std::span<const int> rows, int column, std::string_view text) {
    std::vector<HCellWrite> writes;
    for (int row : rows)
        writes.push_back({row, column, std::string(text)});
    return writes;
}

} // namespace HChannelSheet
