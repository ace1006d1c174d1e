// Any bytes as a settings file: reads never fail or crash, and a write keeps
// every other key readable with the value it had.
#include "FuzzScratch.h"
#include "HIniFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WriteFuzzScratch(data, size))
        return 0;
    const std::string& path = FuzzScratchPath();

    HIniFile ini(path);
    const int port = ini.GetInt("Initialize", "COM_PORT", 1);
    const std::string rate = ini.GetString("Initialize", "BAUDRATE", "9600");
    for (const auto& section : ini.Sections())
        for (const auto& key : ini.Keys(section))
            (void)ini.GetString(section, key, "");
    if (!ini.WriteInt("ITEM", "ITEM0", 0))
        return 0;
    HIniFile again(path);
    if (again.GetInt("ITEM", "ITEM0", 1) != 0)
        std::abort();
    // A key of another section keeps its value through the write.
    if (again.GetInt("Initialize", "COM_PORT", 1) != port ||
        again.GetString("Initialize", "BAUDRATE", "9600") != rate)
        std::abort();
    return 0;
}
