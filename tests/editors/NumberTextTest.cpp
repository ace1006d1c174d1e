// Number texts at the edges the C library's rules leave to the caller: a
// literal percent before the number, a text wider than the buffer, and texts
// that read as no finite number.
#include "HNumberText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(NumberText, ALiteralPercentAHugeNumberAndNonFiniteTexts) {
    // The number's own conversion decides, not a letter after "%%".
    EXPECT_EQ(HFormatNumber("%% of %.2f", 12.5), "% of 12.50");
    // Wider than the 128-byte buffer: the first 127 characters, as snprintf leaves them.
    char full[400];
    std::snprintf(full, sizeof full, "%.0f", 1e200);
    EXPECT_EQ(HFormatNumber("%.0f", 1e200), std::string(full).substr(0, 127));
    // Infinity and not-a-number read as 0, as unreadable texts do.
    for (const char* text : {"inf", "-infinity", "nan"})
        EXPECT_EQ(HParseNumber(text), 0.0) << text;
}
