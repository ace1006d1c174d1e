// rp57cli info FILE [--json]
#include "CmdImage.h"

#include "CliJson.h"

#include "HAlignmentData.h"
#include "HChannelRules.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HHardwareGroup.h"
#include "HText.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct GroupInfo {
    int number = 0; // from 1
    std::string tag;
    std::vector<std::pair<int, std::string>> channels; // channel number from 1, tag
};

struct ImageInfo {
    std::string file;
    int band = 0;
    std::string bandName;
    std::string productType;
    std::string displayType;
    std::string serialNumber;
    std::string firmware;
    std::string signalling;
    int capacity = 0;
    int used = 0;
    std::vector<GroupInfo> groups;
    bool workingChecksumOk = false;
    bool shippingChecksumOk = false;
};

// Fixed-length texts from the image without their padding.
std::string Unpadded(const std::string& text) {
    return std::string(HText::TrimRight(text, HText::kPadding));
}

ImageInfo Describe(const std::string& path, const HMemoryImage& img) {
    ImageInfo info;
    info.file = path;
    HHardwareGroup hw;
    hw.Load(img);
    info.band = hw.GetValue(HHardwareGroup::kRowBand);
    info.bandName = HChannelRules::BandName(info.band);
    if (info.bandName.empty())
        info.bandName = "code " + std::to_string(info.band);
    const bool handheld = hw.GetValue(HHardwareGroup::kRowProductType) != 0;
    info.productType = handheld ? "Handheld" : "Mobile";
    if (handheld)
        info.displayType = hw.GetValue(HHardwareGroup::kRowDisplayHandheld) != 0 ? "13Seg LCD Type"
                                                                                 : "Non-LCD Type";
    else
        info.displayType =
            hw.GetValue(HHardwareGroup::kRowDisplayMobile) != 0 ? "LCD Type" : "LED Type";

    HMarketingGroup marketing;
    marketing.Load(img);
    info.serialNumber = Unpadded(marketing.GetText(2));
    char fw[32];
    std::snprintf(fw, sizeof fw, "%5.2f", marketing.GetValue(1) / 100.0);
    info.firmware = fw;

    HChannels channels;
    channels.Load(img);
    info.signalling = channels.Signalling().GetValue(HChannelSignalling::kSignallingType) != 0
                          ? "2-TONE"
                          : "5-TONE";
    info.capacity = channels.GetCapacity();
    info.used = channels.UsedChannels();
    for (int g = 0; g < channels.GetGroupCount(); ++g) {
        if (channels.GetGroupValue(g, HChannelTables::kGroupInUse) == 0)
            continue;
        GroupInfo gi;
        gi.number = g + 1;
        gi.tag = Unpadded(channels.GetGroupTag(g));
        const int first = channels.FirstChannelOfGroup(g);
        const int count = channels.GetGroupValue(g, HChannelTables::kGroupChannels);
        for (int c = first; c < first + count; ++c)
            if (channels.IsChannelEnabled(c))
                gi.channels.emplace_back(c + 1, Unpadded(channels.GetTag(c)));
        info.groups.push_back(std::move(gi));
    }
    info.workingChecksumOk = HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(img);
    info.shippingChecksumOk =
        HAlignmentData(HAlignmentData::HCopy::ShippingDefault).VerifyChecksum(img);
    return info;
}

void PrintText(const ImageInfo& i) {
    std::printf("File:            %s\n", i.file.c_str()); // the user's own words
    std::printf("Model:           %s, %s, %s\n", i.bandName.c_str(), i.productType.c_str(),
                i.displayType.c_str());
    std::printf("Serial number:   %s\n", TerminalText(i.serialNumber).c_str());
    std::printf("FW version:      %s\n", i.firmware.c_str());
    std::printf("Signalling:      %s\n", i.signalling.c_str());
    std::printf("Channels:        %d allocated of %d\n", i.used, i.capacity);
    for (const GroupInfo& g : i.groups) {
        std::printf("Group %d %-8s  %zu channels in use\n", g.number, TerminalText(g.tag).c_str(),
                    g.channels.size());
        for (const auto& [number, tag] : g.channels)
            std::printf("  %3d %s\n", number, TerminalText(tag).c_str());
    }
    std::printf("Adjustment checksum (working copy):     %s\n", i.workingChecksumOk ? "OK" : "BAD");
    std::printf("Adjustment checksum (shipping default): %s\n",
                i.shippingChecksumOk ? "OK" : "BAD");
}

void PrintJsonInfo(const ImageInfo& i) {
    CliJson groups = CliJson::array();
    for (const GroupInfo& g : i.groups) {
        CliJson channels = CliJson::array();
        for (const auto& [number, tag] : g.channels)
            channels.push_back({{"channel", number}, {"tag", JsonText(tag)}});
        groups.push_back({{"group", g.number}, {"tag", JsonText(g.tag)}, {"channels", channels}});
    }
    const CliJson out = {
        {"file", JsonText(i.file)},
        {"model",
         {{"band", i.band},
          {"bandName", i.bandName},
          {"productType", i.productType},
          {"displayType", i.displayType}}},
        {"serialNumber", JsonText(i.serialNumber)},
        {"firmwareVersion", i.firmware.substr(i.firmware.find_first_not_of(' '))},
        {"signallingType", i.signalling},
        {"capacity", i.capacity},
        {"allocatedChannels", i.used},
        {"groups", groups},
        {"checksums",
         {{"working", i.workingChecksumOk}, {"shippingDefault", i.shippingChecksumOk}}},
    };
    PrintJson(out);
}

struct InfoOptions {
    std::string path;
    bool json = false;
};

int RunInfo(const InfoOptions& o) {
    HMemoryImage img{};
    const HDataFileResult r = HDataFile::Open(o.path, img);
    if (!r.Ok()) {
        FileError(r);
        return kExitBadInput;
    }
    const ImageInfo info = Describe(o.path, img);
    if (o.json)
        PrintJsonInfo(info);
    else
        PrintText(info);
    return kExitOk;
}

} // namespace

void AddInfoCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<InfoOptions>();
    CLI::App* command =
        AddCommand(app, "info",
                   "  info FILE [--json]        show model, serial number, firmware, channels per\n"
                   "                            group, signalling type and adjustment checksums\n",
                   status, [o] { return RunInfo(*o); });
    command->add_option("FILE", o->path, "the data file")->required();
    command->add_flag("--json", o->json, "one JSON object instead of text");
}
