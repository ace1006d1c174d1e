#include "HText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Text, TrimUpperAndFoldTouchOnlyWhatTheyName) {
    const struct {
        const char* what;
        std::string got;
        std::string want;
    } rows[] = {
        {"trim both ends", std::string(HText::Trim(" \t146.0 \r")), "146.0"},
        {"trim all", std::string(HText::Trim("\t \r")), ""},
        {"trim empty", std::string(HText::Trim("")), ""},
        {"nothing inside", std::string(HText::Trim(" C- 88.5 ")), "C- 88.5"},
        {"a narrower set", std::string(HText::Trim("\t67.0 ", " ")), "\t67.0"},
        {"padding with NUL", std::string(HText::TrimRight("GROUP1 \0\0 "s, HText::kPadding)),
         "GROUP1"},
        {"left kept", std::string(HText::TrimRight(" A"s, HText::kPadding)), " A"},
        {"all padding", std::string(HText::TrimRight("\0\0"s, HText::kPadding)), ""},
        {"upper", HText::Upper("chan-1 ab"), "CHAN-1 AB"},
        // Bytes above 127 stay as they are whatever the locale.
        {"upper ASCII only", HText::Upper("\xe9z"), "\xe9Z"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.got, row.want) << row.what;
    EXPECT_TRUE(HText::SameIgnoringCase("RX Freq", "rx FREQ"));
    EXPECT_FALSE(HText::SameIgnoringCase("RX Freq", "RX Fre"));
    // '@' and '`' sit next to the letters; bytes above 127 are not folded.
    EXPECT_FALSE(HText::SameIgnoringCase("@", "`"));
    EXPECT_FALSE(HText::SameIgnoringCase("\xc9", "\xe9"));
}
