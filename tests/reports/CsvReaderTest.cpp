// The CSV reader against texts as the CSV writer and spreadsheets write them.
#include "HCsvReader.h"
#include "HFileWriter.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Fields = std::vector<std::string>;

} // namespace

TEST(CsvReader, ReadsBackWhatTheWriterWrites) {
    HCsvWriter writer;
    const std::array<std::string, 4> row = {"A \"quoted\" word", "x,y", "two\nlines", ""};
    const std::string line = writer.BuildLine(row);
    const auto records = HCsvReader::Read(line + line, ',');
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, Fields(row.begin(), row.end()));
    EXPECT_EQ(records[0].line, 1);
    // The field with a line end made the first record two lines long.
    EXPECT_EQ(records[1].line, 3);
    EXPECT_FALSE(records[1].unterminated);
}

TEST(CsvReader, SpreadsheetForms) {
    // Semicolons, unquoted fields, CRLF and a byte order mark; empty fields kept.
    const auto semi = HCsvReader::Read("\xEF\xBB\xBF"
                                       "Chn;TAG;SQ\r\n1;\"A;B\";\r\n\r\n2;;5",
                                       ';');
    ASSERT_EQ(semi.size(), 4u);
    EXPECT_EQ(semi[0].fields, (Fields{"Chn", "TAG", "SQ"}));
    EXPECT_EQ(semi[1].fields, (Fields{"1", "A;B", ""}));
    EXPECT_EQ(semi[2].fields, (Fields{""}));
    EXPECT_EQ(semi[3].fields, (Fields{"2", "", "5"}));
    EXPECT_EQ(semi[3].line, 4);

    // A lone CR ends a record too; a comma is text when the separator is ';'.
    const auto cr = HCsvReader::Read("a,b\rc", ';');
    ASSERT_EQ(cr.size(), 2u);
    EXPECT_EQ(cr[0].fields, (Fields{"a,b"}));
    EXPECT_EQ(cr[1].line, 2);

    // A trailing separator is one more empty field; the final line end adds no record.
    const auto trailing = HCsvReader::Read("1,2,\n", ',');
    ASSERT_EQ(trailing.size(), 1u);
    EXPECT_EQ(trailing[0].fields, (Fields{"1", "2", ""}));
    // The same as the last line, with no line end after it.
    const auto last = HCsvReader::Read("0\n1,2,", ',');
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[1].fields, (Fields{"1", "2", ""}));

    // A blank first line is one empty record, its CRLF one line end.
    const auto blank = HCsvReader::Read("\r\nx", ',');
    ASSERT_EQ(blank.size(), 2u);
    EXPECT_EQ(blank[1].line, 2);

    EXPECT_TRUE(HCsvReader::Read("", ',').empty());
}

TEST(CsvReader, BrokenQuotes) {
    // Text after a closing quote stays with its field; an open quote runs to
    // the end and is marked.
    const auto records = HCsvReader::Read("\"ab\"c,d\n\"open,e\nf", ',');
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, (Fields{"abc", "d"}));
    EXPECT_FALSE(records[0].unterminated);
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[1].fields, (Fields{"open,e\nf"}));
    EXPECT_TRUE(records[1].unterminated);

    // A quote inside an unquoted field is text.
    EXPECT_EQ(HCsvReader::Read("a\"b\",c", ',').front().fields, (Fields{"a\"b\"", "c"}));
    // A last line of one empty quoted field is a record.
    const auto empty = HCsvReader::Read("x\n\"\"", ',');
    ASSERT_EQ(empty.size(), 2u);
    EXPECT_EQ(empty[1].fields, Fields{""});
    // The reader stops at the end of the text it is given, whatever follows
    // it in memory: a closing quote there is no doubled one.
    const std::string buffer = "\"ab\"\"x";
    const auto closed = HCsvReader::Read(std::string_view(buffer).substr(0, 4), ',');
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].fields, Fields{"ab"});
    EXPECT_FALSE(closed[0].unterminated);
}
