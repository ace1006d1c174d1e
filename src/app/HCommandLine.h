#pragma once
// The program's command line: the whole text after the program name (which the
// access switches are compared against) and the data file it names, if any.
#include <span>
#include <string>

class HCommandLine {
public:
    // `arguments` are the words after the program name.
    static HCommandLine Parse(std::span<const std::string> arguments);

    // The words joined by single blanks; a word that holds a blank is quoted so
    // it can never read as a bare switch.
    [[nodiscard]] const std::string& Text() const { return m_text; }
    [[nodiscard]] int RequestedAccessLevel() const { return m_requestedLevel; }
    // The first word that is not a switch; empty when there is none.
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }

    // "-x..." is always a switch. "/x" is a switch only when only letters follow
    // the slash, because here an absolute file path also starts with "/".
    [[nodiscard]] static bool IsSwitch(const std::string& word);

private:
    std::string m_text;
    int m_requestedLevel = 0;
    std::string m_fileName;
};
