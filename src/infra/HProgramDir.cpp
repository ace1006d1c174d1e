#include "HProgramDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#ifndef RP57_INSTALL_DATADIR
#define RP57_INSTALL_DATADIR "/usr/local/share/rp57"
#endif

namespace fs = std::filesystem;

namespace HProgramDir {

std::string ExecutablePath() {
    std::error_code ec;
    const fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string ExecutableDir() {
    return fs::path(ExecutablePath()).parent_path().string();
}

std::string ExecutableName() {
    const std::string stem = fs::path(ExecutablePath()).stem().string();
    return stem.empty() ? std::string("rp57") : stem;
}

std::string WithSlash(const std::string& dir) {
    if (dir.empty())
        return "./";
    return dir.back() == '/' ? dir : dir + "/";
}

std::string DataDir() {
    std::error_code ec;
    std::string dir;
    if (const char* home = std::getenv("RP57_HOME"); home && *home) {
        dir = home;
    } else if (const std::string exeDir = ExecutableDir();
               !exeDir.empty() && ::access(exeDir.c_str(), W_OK) == 0) {
        dir = exeDir;
    } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        dir = std::string(xdg) + "/rp57";
    } else {
        const char* h = std::getenv("HOME");
        dir = std::string(h ? h : ".") + "/.config/rp57";
    }
    fs::create_directories(dir, ec);
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::string SettingsPath() {
    return WithSlash(DataDir()) + "RP57Win.ini";
}

std::string FindShared(const std::string& relativePath) {
    std::error_code ec;
    for (const std::string& base : {DataDir(), ExecutableDir(), ExecutableDir() + "/../share/rp57",
                                    std::string(RP57_INSTALL_DATADIR)}) {
        const fs::path p = fs::path(base) / relativePath;
        if (fs::exists(p, ec))
            return p.lexically_normal().string();
    }
    return {};
}

} // namespace HProgramDir
