// The text export over real images, written through the real CSV writer into
// real files, and read back as a CSV reader would.
#include "CsvRead.h"
#include "HChannelColumns.h"
#include "HCommonGroups.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HStringTable.h"
#include "HTextExport.h"
#include "ReportImages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Rows Exported(const HMemoryImage& image, const HReportContext& context) {
    TempDir dir;
    const HTextExport::HExportResult r =
        HTextExport::ExportToCsv(image, context, dir.File("out.csv"));
    EXPECT_TRUE(r.ok) << r.reason;
    std::string error;
    Rows rows = ReadCsv(dir.Read("out.csv"), &error);
    EXPECT_EQ(error, "");
    return rows;
}

bool IsTitle(const std::vector<std::string>& row) {
    return row.size() == 2 && row[0].size() > 6 && row[0].rfind("***", 0) == 0 && row[1].empty();
}

std::vector<std::string> Titles(const Rows& rows) {
    std::vector<std::string> out;
    for (const auto& row : rows)
        if (IsTitle(row))
            out.push_back(row[0]);
    return out;
}

// A 5-tone handheld image with the option unit that adds the encryption
// columns, two groups, and settings changed through the editors as a user
// would change them.
HMemoryImage VariedFiveToneImage() {
    HMemoryImage image = ReportImage({.inUse = 12,
                                      .groups = 2,
                                      .twoTone = false,
                                      .productType = kProductHandheld,
                                      .optionUnit = 1});
    HSettingsSession session(image, 1);
    const std::vector<std::pair<std::string, std::string>> changes = {
        {"scanning.dual_watch_timer", "1 sec"},
        {"power_saving.mic_gain", "+6dB"},
        {"power_saving.power_on_tag", "HELLO"},
        {"key_function.p4_short_press", "SCAN"},
        {"miscellaneous.bell", "On"},
        {"password.programming_password", "123456"},
        {"five_tone_decode.2.tag", "DEPOT"},
        {"five_tone_system.1.monitor_sw", "Open"},
        {"five_tone_encode.1.encode_no", "1234"},
    };
    for (const auto& [key, value] : changes) {
        const HSettingsSession::Setting* s = session.Find(key);
        if (s == nullptr) {
            ADD_FAILURE() << "no setting " << key;
            continue;
        }
        EXPECT_EQ(session.Set(*s, value), "") << key;
    }
    EXPECT_EQ(session.Confirm(MakeImageForModel), "");
    return image;
}

// The golden file, or writes it when RP57_UPDATE_GOLDEN is set.
void ExpectGolden(const std::string& name, const std::string& produced) {
    const std::string path = std::string(RP57_REPORTS_GOLDEN_DIR) + "/" + name;
    if (std::getenv("RP57_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << produced;
        return;
    }
    const std::string golden = Slurp(path);
    ASSERT_FALSE(golden.empty()) << path;
    std::istringstream want(golden), got(produced);
    std::string w, g;
    int line = 0;
    while (true) {
        const bool moreWant = static_cast<bool>(std::getline(want, w));
        const bool moreGot = static_cast<bool>(std::getline(got, g));
        ++line;
        if (!moreWant && !moreGot)
            break;
        EXPECT_EQ(g, w) << name << " line " << line;
        if (!moreWant || !moreGot)
            break;
    }
    EXPECT_EQ(produced, golden) << name;
}

// Every settings row of the export is a setting of the editors, in their
// order, with the text the editor's control shows.
void ExpectRowsAreTheEditorsTexts(const Rows& rows, HMemoryImage image, int level) {
    HSettingsSession session(image, level);
    const auto& settings = session.Settings();
    std::size_t next = 0;
    bool inSettings = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        if (IsTitle(row)) {
            // The header's own rows are checked elsewhere.
            inSettings =
                row[0] != HTextExport::kChannelTitle && row[0] != HTextExport::kHeaderTitle;
            continue;
        }
        if (!inSettings || row.size() != 2 || row[0] == "File Name")
            continue;
        // Items without a setting of their own (table cells) are not in the
        // session: only rows named like a setting are matched.
        const bool named = std::any_of(settings.begin(), settings.end(),
                                       [&](const auto& s) { return s.label == row[0]; });
        if (!named)
            continue;
        std::size_t found = next;
        while (found < settings.size() &&
               !(settings[found].label == row[0] && session.Shown(settings[found]) == row[1]))
            ++found;
        ASSERT_LT(found, settings.size())
            << "row " << r + 1 << " [" << row[0] << "] = [" << row[1]
            << "] is no editor's shown setting after " << settings[next].key;
        next = found + 1;
    }
}

} // namespace

TEST(TextExport, GoldenFilesOfTheDefaultAndAVariedFiveToneImage) {
    struct Case {
        const char* golden;
        HMemoryImage image;
        HReportContext context;
    };
    const std::vector<Case> cases = {
        {"default.csv", BuildDefaultImage(), {0, "/home/tech/radios/default.R57"}},
        {"fivetone.csv", VariedFiveToneImage(), {1, "fleet 5T.R57"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const auto r = HTextExport::ExportToCsv(c.image, c.context, dir.File("out.csv"));
        ASSERT_TRUE(r.ok) << r.reason;
        const std::string text = dir.Read("out.csv");
        ExpectGolden(c.golden, text);
        std::string error;
        const Rows rows = ReadCsv(text, &error);
        ASSERT_EQ(error, "") << c.golden;
        ExpectRowsAreTheEditorsTexts(rows, c.image, c.context.accessLevel);
    }
}

TEST(TextExport, HeaderSectionsAndTitlesInOrder) {
    // A radio without a serial number.
    HMemoryImage image = BuildDefaultImage();
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, "");
    marketing.Save(image);
    const Rows rows = Exported(image, {0, "/tmp/some dir/radio one.R57"});
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"***  Orvane Systems OR3200/3100 SERIES  ***", ""}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"File Name", "radio one.R57"}));
    // Both marketing items are listed even when empty.
    EXPECT_EQ(rows[2][0], "Market Application");
    EXPECT_EQ(rows[3], (std::vector<std::string>{"Serial Number", ""}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{""}));

    // The titles, in order, and the blank row closing each section are the
    // golden files' to check.
}

TEST(TextExport, SignallingSectionsFollowTheSignallingType) {
    // Which sections each type writes, by the dialog captions of the editors
    // that fill them; a section appears once its editor is registered.
    const std::vector<std::pair<std::string, std::string>> twoTone = {
        {"2Tone Table", "***2-Tone Table***"},
        {"2-Tone System", "***2-Tone System***"},
        {"2-TONE Decode", "***2-Tone Decode***"},
        {"2-Tone Encode", "***2-Tone Encode***"}};
    const std::vector<std::pair<std::string, std::string>> fiveTone = {
        {"Common1", "***5-Tone Common Paramerters1***"},
        {"Common2", "***5-Tone Common Paramerters2***"},
        {"5-Tone Table", "***5-Tone Table***"},
        {"5-Tone System", "***5-Tone System***"},
        {"5-Tone Decode", "***5-Tone Decode***"},
        {"5Tone Encode", "***5-Tone Encode***"}};
    for (const bool isTwoTone : {true, false}) {
        const std::vector<std::string> titles =
            Titles(Exported(ReportImage({.twoTone = isTwoTone}), {}));
        auto has = [&](const std::string& t) {
            return std::find(titles.begin(), titles.end(), t) != titles.end();
        };
        for (const auto& [caption, title] : twoTone)
            EXPECT_EQ(has(title), isTwoTone && HReportSource::FindPage(caption).page != nullptr)
                << title;
        for (const auto& [caption, title] : fiveTone)
            EXPECT_EQ(has(title), !isTwoTone && HReportSource::FindPage(caption).page != nullptr)
                << title;
    }
}

TEST(TextExport, EmptyValuesAreLeftOut) {
    const HMemoryImage image = BuildDefaultImage();
    HMemoryImage copy = image;
    HSettingsSession session(copy, 0);
    const Rows rows = Exported(image, {});
    int emptyOnes = 0;
    for (const auto& s : session.Settings()) {
        if (!session.Shown(s).empty() || s.section == "marketing")
            continue;
        ++emptyOnes;
        for (const auto& row : rows)
            EXPECT_FALSE(row.size() == 2 && row[0] == s.label && row[1].empty()) << s.key;
    }
    // The built-in image has no DTMF emergency code: at least that one is empty.
    EXPECT_GT(emptyOnes, 0);
    for (const auto& row : rows) {
        if (row.size() == 2 && !IsTitle(row) && row[0] != "Market Application" &&
            row[0] != "Serial Number" && row[0] != "File Name") {
            EXPECT_FALSE(row[1].empty()) << row[0];
        }
    }
}

TEST(TextExport, ChannelListGroupsAndDisabledChannels) {
    HMemoryImage image = ReportImage({.inUse = 10, .groups = 2});
    HChannels m;
    m.Load(image);
    m.SetField(2, HChannelTables::kFieldInUse, 0); // channel 3
    m.Save(image);

    const Rows rows = HTextExport::ChannelListRows(image, 0);
    const std::vector<std::string> titles =
        HChannelColumns::ReportTitles(HChannelColumns::FactsOf(m), 0);
    ASSERT_EQ(rows.size(), 1u + 2 + 4 + 2 + 5);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"***CHANNEL DATA***", ""}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"FLEET1"}));
    EXPECT_EQ(rows[2], titles);
    EXPECT_EQ(rows[3][0], "  1");
    EXPECT_EQ(rows[4][0], "  2");
    EXPECT_EQ(rows[5][0], "  4"); // channel 3 is not in use
    EXPECT_EQ(rows[7], (std::vector<std::string>{"FLEET2"}));
    EXPECT_EQ(rows[8], titles);
    EXPECT_EQ(rows[9][0], "  6");
    EXPECT_EQ(rows.back()[0], " 10");

    // The first channel's cells as the grid shows them.
    EXPECT_EQ(titles[0], "Chn");
    EXPECT_EQ(titles[3], "TAG");
    EXPECT_EQ(rows[3][3], "UNIT001");
    EXPECT_EQ(titles[4], "FREQUENCY Receive");
    EXPECT_EQ(rows[3][4], "150.00000");
    EXPECT_EQ(titles[5], "FREQUENCY Transmit");
    EXPECT_EQ(rows[3][5], "155.00000");
    EXPECT_EQ(rows[4][4], "150.01250");
}

TEST(TextExport, ConditionalChannelColumnsForEachModelAndOptionUnit) {
    for (const int product : {kProductMobile, kProductHandheld})
        for (const int unit : {0, 1, 3})
            for (const int level : {0, 1}) {
                const std::string where = "product " + std::to_string(product) + " unit " +
                                          std::to_string(unit) + " level " + std::to_string(level);
                const Rows rows = HTextExport::ChannelListRows(
                    ReportImage({.inUse = 3, .productType = product, .optionUnit = unit}), level);
                ASSERT_EQ(rows.size(), 6u) << where;
                const std::vector<std::string>& t = rows[2];
                auto has = [&](const char* title) {
                    return std::find(t.begin(), t.end(), title) != t.end();
                };
                EXPECT_EQ(has("Auto Scan"), product == kProductHandheld) << where;
                EXPECT_EQ(has("Encr"), unit == 1) << where;
                EXPECT_EQ(has("ANI Moni"), unit == 1) << where;
                EXPECT_EQ(has("Ext MIC"), level != 0) << where;
                EXPECT_TRUE(has("TAG")) << where;
                EXPECT_EQ(t.size(),
                          22u + (product == kProductHandheld) + 2u * (unit == 1) + (level != 0))
                    << where;
                for (std::size_t r = 3; r < rows.size(); ++r)
                    EXPECT_EQ(rows[r].size(), t.size()) << where << " row " << r;
            }
}

TEST(TextExport, WriteAndOpenErrorsGiveTheWritersMessages) {
    const HMemoryImage image = BuildDefaultImage();
    const auto full = HTextExport::ExportToCsv(image, {}, "/dev/full");
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.messageId, HStringTable::kFileWriteError);
    EXPECT_FALSE(full.reason.empty());

    TempDir dir;
    const std::string missing = dir.File("no such dir/out.csv");
    const auto open = HTextExport::ExportToCsv(image, {}, missing);
    EXPECT_FALSE(open.ok);
    EXPECT_EQ(open.messageId, HStringTable::kFileOpenError);
    EXPECT_EQ(open.args, (std::vector<std::string>{missing}));

    // The export stops at the first row the writer refuses.
    HCsvWriter writer;
    writer.SetSetting("FilePath", "/dev/full");
    writer.SetSetting("FileOpenType", "w");
    ASSERT_TRUE(writer.Open());
    EXPECT_FALSE(HTextExport::ExportText(writer, image, {}));
    EXPECT_EQ(writer.GetSetting("ErrorCode"), "01");
}

namespace {

std::vector<std::string> ShownHeaders(const HGridSource& grid) {
    std::vector<std::string> headers;
    for (int c = 0; c < grid.ColumnCount(); ++c)
        if (grid.IsColumnShown(c))
            headers.emplace_back(grid.HeaderText(c));
    return headers;
}

// The records a grid's header row heads in the export; empty when no row is
// that header row.
Rows TableOf(const Rows& rows, const std::vector<std::string>& headers, std::size_t records) {
    const auto at = std::find(rows.begin(), rows.end(), headers);
    if (at == rows.end() || static_cast<std::size_t>(rows.end() - at) <= records)
        return {};
    return Rows(at + 1, at + 1 + static_cast<std::ptrdiff_t>(records));
}

// One record's row of a table; an empty row when the table has none.
const std::vector<std::string>& Record(const Rows& table, std::size_t record) {
    static const std::vector<std::string> none;
    return record < table.size() ? table[record] : none;
}

} // namespace

TEST(TextExport, EveryGridRecordIsExportedAsTheGridShowsIt) {
    for (const bool twoTone : {true, false}) {
        const HMemoryImage image = SignallingImage(twoTone);
        const Rows rows = Exported(image, {0, "grids.R57"});
        HMemoryImage copy = image;
        int grids = 0;
        for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
            const bool active = entry.family == HEditorFamily::Common ||
                                entry.family == HEditorFamily::Signalling ||
                                (entry.family == HEditorFamily::TwoTone) == twoTone;
            for (const HEditorPageEntry& page : entry.pages) {
                auto editor = page.make(page, {&copy, 0});
                editor->Open();
                for (std::size_t i = 0; i < editor->ItemCount(); ++i) {
                    const HGridSource* grid = editor->Grid(i);
                    if (grid == nullptr)
                        continue;
                    const std::vector<std::string> headers = ShownHeaders(*grid);
                    const std::size_t records = static_cast<std::size_t>(grid->RowCount());
                    const Rows table = TableOf(rows, headers, records);
                    if (!active) {
                        EXPECT_TRUE(table.empty())
                            << page.caption << " is listed for the other signalling type";
                        continue;
                    }
                    ++grids;
                    ASSERT_EQ(table.size(), records) << page.caption << " has no table";
                    for (int r = 0; r < grid->RowCount(); ++r) {
                        const auto& row = table[static_cast<std::size_t>(r)];
                        ASSERT_EQ(row.size(), headers.size()) << page.caption << " " << r + 1;
                        int shown = 0;
                        for (int c = 0; c < grid->ColumnCount(); ++c) {
                            if (!grid->IsColumnShown(c))
                                continue;
                            const std::string& cell = row[static_cast<std::size_t>(shown++)];
                            const std::string where = std::string(page.caption) + " record " +
                                                      std::to_string(r + 1) + " " +
                                                      std::string(grid->HeaderText(c));
                            if (grid->IsTickColumn(c)) {
                                EXPECT_EQ(cell,
                                          grid->CellTick(r, c) == HTickState::Unticked ? "-" : "v")
                                    << where;
                            } else {
                                EXPECT_EQ(cell, grid->CellText(r, c)) << where;
                            }
                        }
                    }
                }
            }
        }
        // Paging Code, and the three 2-tone or the four 5-tone grids.
        EXPECT_EQ(grids, twoTone ? 4 : 5);
    }
}

// The cells of every grid are checked against the grids above; here the item
// rows, and that the values set by key reached the tables at all (else the
// comparison above would compare defaults with defaults).
TEST(TextExport, SignallingRecordsSetByKeyShowInTheirTables) {
    const Rows two = Exported(SignallingImage(true), {});
    const Rows five = Exported(SignallingImage(false), {});
    for (const Rows* rows : {&two, &five}) {
        // DTMF codes are items: caption without '&', two blanks kept.
        EXPECT_NE(
            std::find(rows->begin(), rows->end(), std::vector<std::string>{"DTMF  1", "12*#"}),
            rows->end());
        const Rows paging = TableOf(*rows, {"No.", "Code", "Status", "Action"}, 10);
        ASSERT_EQ(paging.size(), 10u);
        EXPECT_EQ(paging[2][0], "Page  3");
        EXPECT_EQ(paging[2][1], "9C4");
        EXPECT_EQ(paging[2][3], "Kill");
    }
    const Rows encode = TableOf(two, {"ENC No.", "TAG", "1st Tone", "2nd Tone"}, 32);
    EXPECT_EQ(Record(encode, 31)[1], "LAST");
    const auto has = [&five](const std::string& cell) {
        return std::any_of(five.begin(), five.end(), [&](const auto& row) {
            return std::find(row.begin(), row.end(), cell) != row.end();
        });
    };
    for (const char* cell : {"ZVEI1", "BASE", "Enc-5", "ABCDE", "ID+Call"})
        EXPECT_TRUE(has(cell)) << cell;
}
