#pragma once
// One scratch file per fuzz process, on a RAM disk where there is one: the
// writers under test flush to the disk on every save, which on a real disk
// costs more than the parsing being fuzzed.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

inline const std::string& FuzzScratchPath() {
    static const std::string path = [] {
        const std::string dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string name = dir + "/rp57-fuzz-XXXXXX";
        const int fd = ::mkstemp(name.data());
        if (fd >= 0)
            ::close(fd);
        return name;
    }();
    return path;
}

// The bytes as the whole scratch file; false when it could not be written.
inline bool WriteFuzzScratch(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(FuzzScratchPath().c_str(), "wb");
    if (!f)
        return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
