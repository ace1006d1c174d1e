#include "HCommandLine.h"

#include "HAccessLevel.h"

#include <algorithm>
#include <cctype>

bool HCommandLine::IsSwitch(const std::string& word) {
    if (word.size() < 2)
        return false;
    if (word[0] == '-')
        return true;
    if (word[0] != '/')
        return false;
    return std::all_of(word.begin() + 1, word.end(),
                       [](unsigned char c) { return std::isalpha(c) != 0; });
}

HCommandLine HCommandLine::Parse(std::span<const std::string> arguments) {
    HCommandLine line;
    for (const std::string& word : arguments) {
        if (!line.m_text.empty())
            line.m_text += ' ';
        if (word.find(' ') != std::string::npos || word.empty())
            line.m_text += '"' + word + '"';
        else
            line.m_text += word;
        if (line.m_fileName.empty() && !word.empty() && !IsSwitch(word))
            line.m_fileName = word;
    }
    line.m_requestedLevel = HAccessLevel::FromCommandLine(line.m_text);
    return line;
}
