#pragma once
// Version texts of a program file. Ours are compiled in from the build's
// project version; any other file reads "-" for all twelve.
#include <array>
#include <string>

class HVersionInfo {
public:
    static constexpr std::array<const char*, 12> kNames = {
        "CompanyName",    "FileDescription",  "FileVersion",  "InternalName",
        "LegalCopyright", "OriginalFileName", "ProductName",  "ProductVersion",
        "Comments",       "LegalTrademarks",  "PrivateBuild", "SpecialBuild"};

    // Program version text (string 120).
    static const char* VersionText();

    void Read(const std::string& fileName);
    [[nodiscard]] const std::string& Get(std::size_t index) const { return m_texts.at(index); }

    [[nodiscard]] const std::string& GetCompanyName() const { return m_texts[0]; }
    [[nodiscard]] const std::string& GetFileDescription() const { return m_texts[1]; }
    [[nodiscard]] const std::string& GetFileVersion() const { return m_texts[2]; }
    [[nodiscard]] const std::string& GetInternalName() const { return m_texts[3]; }
    [[nodiscard]] const std::string& GetLegalCopyright() const { return m_texts[4]; }
    [[nodiscard]] const std::string& GetOriginalFileName() const { return m_texts[5]; }
    [[nodiscard]] const std::string& GetProductName() const { return m_texts[6]; }
    [[nodiscard]] const std::string& GetProductVersion() const { return m_texts[7]; }
    [[nodiscard]] const std::string& GetComments() const { return m_texts[8]; }
    [[nodiscard]] const std::string& GetLegalTrademarks() const { return m_texts[9]; }
    [[nodiscard]] const std::string& GetPrivateBuild() const { return m_texts[10]; }
    [[nodiscard]] const std::string& GetSpecialBuild() const { return m_texts[11]; }

private:
    std::array<std::string, 12> m_texts{}; // empty until Read
};
