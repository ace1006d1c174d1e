#include "HTextExport.h"

#include "HChannelColumns.h"
#include "HLogPrint.h"
#include "HStringTable.h"

namespace HTextExport {

namespace {

HReportRow TitleRow(std::string_view title) {
    return {std::string(title), std::string()};
}

HReportRow EmptyRow() {
    return {std::string()};
}

// An item's rows: [caption, value], or a grid's header row and one row per
// record.
void ItemRows(const HReportItem& item, bool keepEmpty, std::vector<HReportRow>& rows) {
    if (item.table) {
        rows.push_back(item.table->headers);
        rows.insert(rows.end(), item.table->rows.begin(), item.table->rows.end());
    } else if (keepEmpty || !item.value.empty()) {
        rows.push_back({item.caption, item.value});
    }
}

void HeaderRows(HMemoryImage& image, const HReportContext& context, std::vector<HReportRow>& rows) {
    rows.push_back(TitleRow(kHeaderTitle));
    rows.push_back({"File Name", HReportSource::FileNameOf(context.filePath)});
    // Market application and serial number say which radio this is: listed
    // even when empty.
    if (auto editor =
            HReportSource::OpenEditor(HReportSections::kHeaderCaption, image, context.accessLevel))
        for (const HReportItem& item : editor->ReportItems())
            ItemRows(item, true, rows);
    rows.push_back(EmptyRow());
}

void SettingsRows(HMemoryImage& image, const HReportContext& context,
                  std::vector<HReportRow>& rows) {
    const bool twoTone = HReportSource::IsTwoTone(image);
    bool open = false;
    for (const HReportSection& section : HReportSections::Sections()) {
        if (!HReportSource::Includes(section, twoTone))
            continue;
        if (!section.exportTitle.empty()) {
            if (open)
                rows.push_back(EmptyRow());
            rows.push_back(TitleRow(section.exportTitle));
            open = true;
        }
        auto editor = HReportSource::OpenEditor(section.caption, image, context.accessLevel);
        if (!editor)
            continue;
        for (const HReportItem& item : editor->ReportItems())
            ItemRows(item, false, rows);
    }
    if (open)
        rows.push_back(EmptyRow());
}

} // namespace

std::vector<HReportRow> ChannelListRows(const HMemoryImage& image, int accessLevel) {
    HChannels model;
    model.Load(image);
    const HChannelColumns::HModelFacts facts = HChannelColumns::FactsOf(model);
    std::vector<HReportRow> rows;
    rows.push_back(TitleRow(kChannelTitle));
    int group = -1;
    for (const HReportSource::HChannelInUse& ch : HReportSource::ChannelsInUse(model)) {
        if (ch.group != group) {
            group = ch.group;
            rows.push_back({HReportSource::GroupTag(model, group)});
            rows.push_back(HChannelColumns::ReportTitles(facts, accessLevel));
        }
        rows.push_back(HChannelColumns::ReportRow(model, ch.channel, facts, accessLevel));
    }
    return rows;
}

std::vector<HReportRow> Rows(const HMemoryImage& image, const HReportContext& context) {
    // The editors read a copy: nothing they do on opening reaches the image.
    HMemoryImage copy = image;
    std::vector<HReportRow> rows;
    HeaderRows(copy, context, rows);
    SettingsRows(copy, context, rows);
    for (HReportRow& row : ChannelListRows(image, context.accessLevel))
        rows.push_back(std::move(row));
    return rows;
}

bool ExportText(HRowWriter& writer, const HMemoryImage& image, const HReportContext& context,
                int* rows) {
    for (const HReportRow& row : Rows(image, context)) {
        if (!writer.WriteRow(row))
            return false;
        if (rows)
            ++*rows;
    }
    return true;
}

HExportResult ExportToCsv(const HMemoryImage& image, const HReportContext& context,
                          const std::string& path, HFileChooser* chooser) {
    HLOG_D1("[FUNC IN]ExportToCsv");
    HCsvWriter writer;
    writer.SetSetting("FileOpenType", "w");
    if (chooser != nullptr) {
        writer.SetSetting("Dialog", "ON");
        writer.SetChooser(chooser);
    }
    writer.SetSetting("FilePath", path);
    HExportResult result;
    result.ok = writer.Open() && ExportText(writer, image, context, &result.rows) && writer.Close();
    if (result.ok) {
        result.path = writer.GetSetting("FilePath");
    } else {
        const std::string code = writer.GetSetting("ErrorCode");
        if (code == "00") {
            result.messageId = HStringTable::kFileOpenError;
            result.args = {writer.GetSetting("FilePath")};
        } else if (code == "01") {
            result.messageId = HStringTable::kFileWriteError;
        }
        result.reason = writer.Reason();
    }
    HLOG_D1("[FUNC OUT]ExportToCsv %d", result.ok ? 1 : 0);
    return result;
}

} // namespace HTextExport
