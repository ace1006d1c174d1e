#include "HNumberText.h"

#include "HEditRules.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

char ConversionOf(std::string_view format) {
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
            continue;
        }
        for (++i; i < format.size(); ++i)
            if (std::string_view("diuxXofFeEgG").find(format[i]) != std::string_view::npos)
                return format[i];
    }
    return 'g';
}

// The C library writes the locale's decimal point; put '.' back.
void UseDotDecimalPoint(std::string& text) {
    const std::lconv* lc = std::localeconv();
    if (lc == nullptr || lc->decimal_point == nullptr)
        return;
    const std::string point = lc->decimal_point;
    if (point.empty() || point == ".")
        return;
    for (std::size_t pos = text.find(point); pos != std::string::npos;
         pos = text.find(point, pos + 1))
        text.replace(pos, point.size(), ".");
}

} // namespace

std::string HFormatNumber(std::string_view format, double value) {
    std::string fmt(format);
    if (!HEditFormatIsSound(format))
        fmt = "%g";
    const char conv = ConversionOf(fmt);
    char buf[128];
    int n = 0;
    if (std::string_view("di").find(conv) != std::string_view::npos ||
        std::string_view("uxXo").find(conv) != std::string_view::npos) {
        double r = std::isnan(value) ? 0.0 : std::nearbyint(value);
        if (std::string_view("di").find(conv) != std::string_view::npos) {
            r = std::fmax(r, double(std::numeric_limits<int>::min()));
            r = std::fmin(r, double(std::numeric_limits<int>::max()));
            n = std::snprintf(buf, sizeof buf, fmt.c_str(), static_cast<int>(r));
        } else {
            r = std::fmax(r, 0.0);
            r = std::fmin(r, double(std::numeric_limits<unsigned>::max()));
            n = std::snprintf(buf, sizeof buf, fmt.c_str(), static_cast<unsigned>(r));
        }
    } else {
        n = std::snprintf(buf, sizeof buf, fmt.c_str(), value);
    }
    if (n < 0)
        return {};
    std::string text(buf, std::size_t(std::min<int>(n, int(sizeof buf) - 1)));
    UseDotDecimalPoint(text);
    return text;
}

double HParseNumber(std::string_view text, int base) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::string s(text.substr(i));
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    if (base == 8 || base == 16) {
        long long v = 0;
        const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
        return ec == std::errc() ? double(v) : 0.0;
    }
    for (char& c : s)
        if (c == ',')
            c = '.';
    double v = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || !std::isfinite(v))
        return 0.0;
    return v;
}
