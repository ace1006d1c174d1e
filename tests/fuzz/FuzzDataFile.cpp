// Any bytes as a data file: the reader accepts exactly the image size and
// leaves the image alone otherwise; an accepted image loads and saves through
// the channel model without touching memory outside it, and settles.
#include "HChannels.h"
#include "HDataFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char name[] = "/tmp/rp57-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0)
            ::close(fd);
        return std::string(name);
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    if (size != 0 && std::fwrite(data, 1, size, f) != size) {
        std::fclose(f);
        return 0;
    }
    std::fclose(f);

    HMemoryImage img;
    img.fill(0xA5);
    const HMemoryImage before = img;
    const HDataFileResult r = HDataFile::Open(path, img);
    if (r.Ok() != (size == kImageSize))
        std::abort();
    if (!r.Ok()) {
        if (img != before)
            std::abort();
        return 0;
    }
    // The first save may settle what a damaged image cannot hold (a frequency
    // of 0 becomes "no frequency"); after that, load and save agree.
    for (int round = 0; round < 2; ++round) {
        HChannels channels;
        channels.Load(img);
        channels.Save(img);
    }
    HChannels again;
    again.Load(img);
    HMemoryImage next = img;
    again.Save(next);
    if (next != img)
        std::abort();
    return 0;
}
