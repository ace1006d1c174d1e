#include "HVersionInfo.h"

#include "HProgramDir.h"

#include <filesystem>
#include <system_error>

#ifndef RP57_FILE_VERSION
#define RP57_FILE_VERSION "0.0.0.0"
#endif
#ifndef RP57_VERSION_TEXT
#define RP57_VERSION_TEXT "-"
#endif

namespace {

bool IsOurProgramFile(const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string self = HProgramDir::ExecutablePath();
    if (fileName.empty() || self.empty())
        return false;
    return fs::equivalent(fs::path(fileName), fs::path(self), ec) && !ec;
}

} // namespace

const char* HVersionInfo::VersionText() {
    return RP57_VERSION_TEXT;
}

void HVersionInfo::Read(const std::string& fileName) {
    if (!IsOurProgramFile(fileName)) {
        m_texts.fill("-");
        return;
    }
    const std::string exe = HProgramDir::ExecutableName();
    m_texts = {"Orvane Systems",
               "RP57 programming software",
               RP57_FILE_VERSION,
               exe,
               "Copyright (C) Orvane Systems",
               exe,
               "RP57",
               RP57_FILE_VERSION,
               "-",
               "-",
               "-",
               "-"};
}
