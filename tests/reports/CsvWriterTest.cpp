// The CSV writer on real files in a temporary directory and on real devices.
#include "HFileUtil.h"
#include "HFileWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

// The front end's save-as dialog, answering with a fixed path or Cancel.
class FixedChooser : public HFileChooser {
public:
    explicit FixedChooser(std::optional<std::string> answer) : m_answer(std::move(answer)) {}
    std::optional<std::string> ChooseSaveFile(std::string_view extension,
                                              std::string_view filter) override {
        askedExtension = extension;
        askedFilter = filter;
        return m_answer;
    }
    std::string askedExtension;
    std::string askedFilter;

private:
    std::optional<std::string> m_answer;
};

bool OpenOn(HCsvWriter& w, const std::string& path, const char* mode = "w") {
    w.SetSetting("FilePath", path);
    w.SetSetting("FileOpenType", mode);
    return w.Open();
}

} // namespace

TEST(CsvWriter, LinesAreQuotedFieldsPartedBySeparator) {
    HCsvWriter w;
    EXPECT_EQ(w.BuildLine(Row{"A", "B", "C"}), "\"A\",\"B\",\"C\"\n");
    EXPECT_EQ(w.BuildLine(Row{""}), "\"\"\n");
    EXPECT_EQ(w.BuildLine(Row{}), "\n");
    // A quote inside a field is doubled, so a reader does not end the field there.
    EXPECT_EQ(w.BuildLine(Row{"say \"hi\"", "\""}), "\"say \"\"hi\"\"\",\"\"\"\"\n");
    // Commas and blanks stay inside their quotes as they are.
    EXPECT_EQ(w.BuildLine(Row{"5,6.25kHz", "On "}), "\"5,6.25kHz\",\"On \"\n");
}

TEST(CsvWriter, NamedSettingsDriveTheLine) {
    HCsvWriter w;
    EXPECT_EQ(w.GetSetting("ErrorCode"), "None");
    EXPECT_EQ(w.GetSetting("Extension"), ".csv");
    EXPECT_EQ(w.GetSetting("Filter"), "text Files(*.csv)|*.csv||");
    w.SetSetting("Separator", ";");
    w.SetSetting("Quotes", "'");
    w.SetSetting("DataEnd", "\r\n");
    EXPECT_EQ(w.BuildLine(Row{"it's", "b"}), "'it''s';'b'\r\n");
    w.SetSetting("Quotes", "");
    EXPECT_EQ(w.BuildLine(Row{"a\"b", "c"}), "a\"b;c\r\n");
}

TEST(CsvWriter, WritesTheFileWholeOnClose) {
    TempDir dir;
    dir.Write("out.csv", "old content\n");
    {
        HCsvWriter w;
        ASSERT_TRUE(OpenOn(w, dir.File("out.csv")));
        EXPECT_TRUE(w.WriteRow(Row{"A", "B"}));
        EXPECT_TRUE(w.WriteRow(Row{""}));
        // Until Close the old file is untouched.
        EXPECT_EQ(dir.Read("out.csv"), "old content\n");
        EXPECT_TRUE(w.Close());
        EXPECT_EQ(w.GetSetting("ErrorCode"), "None");
        EXPECT_TRUE(w.Close()); // closing again has nothing to do
    }
    EXPECT_EQ(dir.Read("out.csv"), "\"A\",\"B\"\n\"\"\n");

    // A writer dropped without Close (an export that failed) leaves the file.
    {
        HCsvWriter w;
        ASSERT_TRUE(OpenOn(w, dir.File("out.csv")));
        EXPECT_TRUE(w.WriteRow(Row{"half"}));
    }
    EXPECT_EQ(dir.Read("out.csv"), "\"A\",\"B\"\n\"\"\n");

    // "a" appends to what the file holds.
    {
        HCsvWriter w;
        ASSERT_TRUE(OpenOn(w, dir.File("out.csv"), "a"));
        EXPECT_TRUE(w.WriteRow(Row{"C"}));
        EXPECT_TRUE(w.Close());
    }
    EXPECT_EQ(dir.Read("out.csv"), "\"A\",\"B\"\n\"\"\n\"C\"\n");

    // The directory gone before Close: the write fails, with ErrorCode 01.
    std::filesystem::create_directory(dir.File("gone"));
    HCsvWriter w;
    ASSERT_TRUE(OpenOn(w, dir.File("gone/out.csv")));
    std::filesystem::remove(dir.File("gone"));
    EXPECT_FALSE(w.Close());
    EXPECT_EQ(w.GetSetting("ErrorCode"), "01");
}

TEST(CsvWriter, FilesThatCannotBeOpenedGiveErrorCode00) {
    TempDir dir;
    struct Case {
        const char* what;
        std::string path;
        const char* mode;
    };
    ::mkdir(dir.File("sub").c_str(), 0755);
    dir.Write("protected.csv", "keep\n");
    ::chmod(dir.File("protected.csv").c_str(), 0444);
    const std::vector<Case> cases = {
        {"missing directory", dir.File("none/out.csv"), "w"},
        {"a directory", dir.File("sub"), "w"},
        {"a protected file", dir.File("protected.csv"), "w"},
        {"no file name", "", "w"},
        {"a read mode", dir.File("out.csv"), "r"},
        {"a link to itself", dir.File("loop.csv"), "w"},
        {"a FIFO nobody reads", dir.File("fifo.csv"), "w"},
        {"appending to a file past the read limit", dir.File("huge.csv"), "a"},
    };
    std::filesystem::create_symlink("loop.csv", dir.File("loop.csv"));
    ASSERT_EQ(::mkfifo(dir.File("fifo.csv").c_str(), 0600), 0);
    dir.Write("huge.csv", "");
    // Sparse: the size without the bytes written.
    std::filesystem::resize_file(dir.File("huge.csv"), kMaxReadBytes + 1);
    for (const Case& c : cases) {
        HCsvWriter w;
        EXPECT_FALSE(OpenOn(w, c.path, c.mode)) << c.what;
        EXPECT_EQ(w.GetSetting("ErrorCode"), "00") << c.what;
        EXPECT_FALSE(w.Reason().empty()) << c.what;
        EXPECT_FALSE(w.IsOpen()) << c.what;
    }
    EXPECT_EQ(dir.Read("protected.csv"), "keep\n");
    EXPECT_EQ(std::filesystem::file_size(dir.File("huge.csv")), kMaxReadBytes + 1);
    EXPECT_FALSE(dir.Exists("out.csv"));
}

TEST(CsvWriter, AFullDeviceFailsTheFirstRowWithErrorCode01) {
    HCsvWriter w;
    ASSERT_TRUE(OpenOn(w, "/dev/full"));
    EXPECT_FALSE(w.WriteRow(Row{"A"}));
    EXPECT_EQ(w.GetSetting("ErrorCode"), "01");
    EXPECT_NE(w.Reason().find("No space"), std::string::npos) << w.Reason();

    // A device that takes the bytes is written as rows come.
    HCsvWriter null;
    ASSERT_TRUE(OpenOn(null, "/dev/null"));
    EXPECT_TRUE(null.WriteRow(Row{"A"}));
    EXPECT_TRUE(null.Close());
    EXPECT_EQ(null.GetSetting("ErrorCode"), "None");
}

TEST(CsvWriter, TheDialogChoosesThePath) {
    TempDir dir;
    {
        FixedChooser chooser(dir.File("picked.csv"));
        HCsvWriter w;
        w.SetSetting("Dialog", "ON");
        w.SetSetting("FileOpenType", "w");
        w.SetChooser(&chooser);
        ASSERT_TRUE(w.Open());
        EXPECT_EQ(chooser.askedExtension, ".csv");
        EXPECT_EQ(chooser.askedFilter, "text Files(*.csv)|*.csv||");
        EXPECT_EQ(w.GetSetting("FilePath"), dir.File("picked.csv"));
        EXPECT_TRUE(w.WriteRow(Row{"x"}));
        EXPECT_TRUE(w.Close());
    }
    EXPECT_EQ(dir.Read("picked.csv"), "\"x\"\n");

    // Cancel fails the open and leaves "ErrorCode" as it was: nothing to say.
    FixedChooser cancel(std::nullopt);
    HCsvWriter w;
    w.SetSetting("Dialog", "ON");
    w.SetSetting("FileOpenType", "w");
    w.SetChooser(&cancel);
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(w.GetSetting("ErrorCode"), "None");
    // No dialog to ask: refused, and said why.
    w.SetChooser(nullptr);
    EXPECT_FALSE(w.Open());
    EXPECT_NE(w.Reason(), "");

    // Writing to a writer that is not open is a write error.
    EXPECT_FALSE(w.WriteRow(Row{"x"}));
    EXPECT_EQ(w.GetSetting("ErrorCode"), "01");
}
