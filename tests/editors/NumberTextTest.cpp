// Number texts at the edges the C library's rules leave to the caller: a
// literal percent before the number, a text wider than the buffer, and texts
// that read as no finite number or end inside a longer line.
#include "HNumberText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

TEST(NumberText, FormatAndParseAtTheirEdges) {
    // The number's own conversion decides, not a letter after "%%".
    EXPECT_EQ(HFormatNumber("%% of %.2f", 12.5), "% of 12.50");
    // Wider than the 128-byte buffer: the first 127 characters, as snprintf leaves them.
    char full[400];
    std::snprintf(full, sizeof full, "%.0f", 1e200);
    EXPECT_EQ(HFormatNumber("%.0f", 1e200), std::string(full).substr(0, 127));
    // Infinity and not-a-number read as 0, as unreadable texts do.
    for (const char* text : {"inf", "-infinity", "nan"})
        EXPECT_EQ(HParseNumber(text), 0.0) << text;
    // A blank field cut from a tab-separated line: the tab after it is not read.
    EXPECT_EQ(HParseNumber(std::string_view(" \t5").substr(0, 1)), 0.0);
}
