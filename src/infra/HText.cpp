#include "HText.h"

namespace HText {

std::string_view TrimRight(std::string_view s, std::string_view strip) {
    const std::size_t last = s.find_last_not_of(strip);
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::string_view Trim(std::string_view s, std::string_view strip) {
    const std::size_t first = s.find_first_not_of(strip);
    return first == std::string_view::npos ? std::string_view() : TrimRight(s.substr(first), strip);
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace HText
