#include "HText.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(Text, TrimTakesOnlyTheGivenCharactersAtTheEnds) {
    EXPECT_EQ(HText::Trim(" \t146.0 \r"), "146.0");
    EXPECT_EQ(HText::Trim("\t \r"), "");
    EXPECT_EQ(HText::Trim(""), "");
    // Inside the text nothing is taken.
    EXPECT_EQ(HText::Trim(" C- 88.5 "), "C- 88.5");
    // A narrower set leaves the others alone.
    EXPECT_EQ(HText::Trim("\t67.0 ", " "), "\t67.0");
}

TEST(Text, TrimRightTakesImagePaddingIncludingNul) {
    EXPECT_EQ(HText::TrimRight("GROUP1 \0\0 "s, HText::kPadding), "GROUP1");
    EXPECT_EQ(HText::TrimRight(" A"s, HText::kPadding), " A");
    EXPECT_EQ(HText::TrimRight("\0\0"s, HText::kPadding), "");
}

TEST(Text, UpperChangesAsciiLettersOnly) {
    EXPECT_EQ(HText::Upper("chan-1 ab"), "CHAN-1 AB");
    // Bytes above 127 stay as they are whatever the locale.
    EXPECT_EQ(HText::Upper("\xe9z"), "\xe9Z");
}

TEST(Text, SameIgnoringCaseFoldsAsciiLettersOnly) {
    EXPECT_TRUE(HText::SameIgnoringCase("RX Freq", "rx FREQ"));
    EXPECT_FALSE(HText::SameIgnoringCase("RX Freq", "RX Fre"));
    // '@' and '`' sit next to the letters; bytes above 127 are not folded.
    EXPECT_FALSE(HText::SameIgnoringCase("@", "`"));
    EXPECT_FALSE(HText::SameIgnoringCase("\xc9", "\xe9"));
}
