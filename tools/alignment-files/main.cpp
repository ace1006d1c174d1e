// rp57-alignment-files: writes the default alignment files of every model the
// alignment file table names into a directory. Each is the model's new image
// with the alignment test channels (band low edge, centre, high edge, centre
// narrow, CTCSS and DCS test) and signal-generator settings for the steps.
#include "HAlignmentData.h"
#include "HAlignmentImage.h"
#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kBands[] = {kBandVhf, kBandUhfA, kBandUhfD};

HMemoryImage MakeFile(int band, int productType, int mobilePower) {
    HMemoryImage m = MakeImageForModel(band, productType, 1);
    HHardwareGroup hw;
    hw.Load(m);
    // The handheld keypad row shares the mobile TX power's bit.
    hw.SetValue(HHardwareGroup::kRowTxPower, mobilePower);
    hw.SetValue(HHardwareGroup::kRowHandheldKey, mobilePower);
    hw.Save(m);
    const std::int64_t low = hw.GetValue(HHardwareGroup::kRowBandLow);
    const std::int64_t high = hw.GetValue(HHardwareGroup::kRowBandHigh);
    // On a 100 kHz grid, so every channel step takes it.
    const std::int64_t centre = (low + high) / 2 / 100000 * 100000;

    HChannels model;
    model.Load(m);
    const std::pair<int, std::int64_t> test[] = {{0, low},    {1, centre},  {2, high},
                                                 {4, centre}, {12, centre}, {14, centre}};
    for (auto [channel, hz] : test) {
        model.SetFrequency(channel, 0, hz);
        model.SetFrequency(channel, 1, hz);
    }
    model.SetField(4, 4, 0); // narrow
    model.SetField(12, 67, 1);
    model.SetField(12, 68, 1); // CTCSS
    model.SetField(14, 67, 2);
    model.SetField(14, 68, 2); // DCS
    model.Save(m);

    // Signal-generator settings (sign-magnitude dBuV, deviation in 0.1 kHz).
    HAlignmentData data;
    data.Load(m);
    const std::pair<int, int> generator[] = {
        {28, 0x86}, {29, 0x86}, {30, 30}, {31, 15}, {32, 10},   {33, 10},   {34, 0x8A}, {35, 0x8A},
        {40, 0x84}, {41, 0x84}, {42, 40}, {43, 40}, {44, 0x86}, {45, 0x86}, {46, 0x86}};
    for (auto [index, value] : generator)
        data.SetValue(std::size_t(index), value);
    data.Store(m);
    data.RecomputeChecksum(m);
    return m;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: rp57-alignment-files DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    int written = 0;
    for (int type : {kProductMobile, kProductHandheld})
        for (int band : kBands)
            for (int power : {0, 1}) {
                const HMemoryImage image = MakeFile(band, type, power);
                const auto name = HAlignmentImage::DefaultFileName(image);
                if (!name)
                    continue;
                const HDataFileResult r = HDataFile::Write(dir + *name, image);
                if (!r.Ok()) {
                    std::fprintf(stderr, "rp57-alignment-files: %s: %s\n", name->c_str(),
                                 r.message.c_str());
                    return 1;
                }
                ++written;
            }
    return written > 0 ? 0 : 1;
}
