#include "HFiveToneGrids.h"

#include "HNumberText.h"

#include <cmath>

std::int32_t HFiveToneTableRecords::GetField(int record, int field) const {
    if (record < 0 || record >= RecordCount())
        return -1;
    const auto set = std::size_t(record);
    if (field >= 0 && field < int(HFiveToneTables::kTonesPerSet))
        return m_table.ToneValue(set, std::size_t(field));
    if (field == kFieldPeriod)
        return m_table.Period(set);
    if (field == kFieldSecond)
        return m_table.Second(set);
    return -1;
}

void HFiveToneTableRecords::SetField(int record, int field, std::int32_t value) {
    if (record < 0 || record >= RecordCount())
        return;
    const auto set = std::size_t(record);
    if (field >= 0 && field < int(HFiveToneTables::kTonesPerSet))
        m_table.SetValue(m_table.ToneIndex(set, std::size_t(field)), value);
    else if (field == kFieldPeriod)
        m_table.SetPeriod(set, value);
    else if (field == kFieldSecond)
        m_table.SetSecond(set, value);
}

namespace HFiveToneCells {

namespace {
// Digits with at most one '.', not empty.
bool IsDecimal(std::string_view text, bool point) {
    if (text.empty())
        return false;
    int points = 0;
    for (char c : text) {
        if (c == '.' && point)
            ++points;
        else if (c < '0' || c > '9')
            return false;
    }
    return points <= 1 && text != ".";
}
} // namespace

std::string ToneText(const HFiveToneTableRecords& m, int record, int tone) {
    if (record < 0 || record >= m.RecordCount())
        return {};
    const double hz = m.Data().Frequency(std::size_t(record), std::size_t(tone));
    if (hz <= 0.0)
        return {};
    return HFormatNumber("%d", std::round(hz));
}

bool StoreTone(HFiveToneTableRecords& m, int record, int tone, std::string_view text) {
    if (record < 0 || record >= m.RecordCount() || tone < 0 ||
        tone >= int(HFiveToneTables::kTonesPerSet))
        return false;
    double hz = 0.0;
    if (!text.empty()) {
        if (!IsDecimal(text, true))
            return false;
        hz = HParseNumber(text);
    }
    m.Data().SetFrequency(std::size_t(record), std::size_t(tone), hz);
    return true;
}

bool ParseByte(std::string_view text, std::int32_t& value) {
    if (!IsDecimal(text, false) || text.size() > 3)
        return false;
    const double v = HParseNumber(text);
    if (v > 255)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

} // namespace HFiveToneCells

namespace HFiveToneGrids {

std::string SetNameText(const HGridColumn<TM>&, const TM&, int record, int) {
    if (record < 0 || std::size_t(record) >= I::kToneSetTexts.size())
        return {};
    return std::string(I::kToneSetTexts[std::size_t(record)]);
}

std::string ToneColumnText(const HGridColumn<TM>& col, const TM& m, int record, int) {
    return HFiveToneCells::ToneText(m, record, col.field);
}

bool StoreToneColumn(const HGridColumn<TM>& col, TM& m, int record, int, std::string_view text) {
    return HFiveToneCells::StoreTone(m, record, col.field, text);
}

std::string ByteColumnText(const HGridColumn<TM>& col, const TM& m, int record, int) {
    const std::int32_t v = m.GetField(record, col.field);
    return v < 0 ? std::string() : HFormatNumber("%d", v);
}

bool StoreByteColumn(const HGridColumn<TM>& col, TM& m, int record, int, std::string_view text) {
    std::int32_t v = 0;
    if (record < 0 || record >= m.RecordCount() || !HFiveToneCells::ParseByte(text, v))
        return false;
    m.SetField(record, col.field, v);
    return true;
}

} // namespace HFiveToneGrids
