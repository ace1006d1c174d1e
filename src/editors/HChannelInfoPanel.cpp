#include "HChannelInfoPanel.h"

#include "HChannelRules.h"
#include "HMemoryMap.h"

#include <cstdio>

namespace {

constexpr std::size_t kMarketingFirmware = 1;
constexpr std::size_t kMarketingSerial = 2;

std::string TrimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

} // namespace

HChannelInfoPanel BuildChannelInfoPanel(const HMarketingGroup& marketing, const HChannels& model,
                                        int group, std::string_view comPort,
                                        std::string_view printer) {
    HChannelInfoPanel p;
    p.serialNumber = TrimRight(marketing.GetText(kMarketingSerial));
    p.frequencyBand = HChannelRules::BandName(model.GetHardwareValue(HHardwareGroup::kRowBand));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%5.2f", marketing.GetValue(kMarketingFirmware) / 100.0);
    p.firmwareVersion = buf;
    // The device itself: a port number alone does not say which device it is.
    p.comPort = std::string(comPort);
    p.printer = std::string(printer);
    const std::int32_t count = model.GetGroupValue(group, HChannelTables::kGroupChannels);
    p.channels = std::to_string(count < 0 ? 0 : count);
    std::snprintf(buf, sizeof buf, "%d Channels Left", model.FreeChannels());
    p.channelsLeft = buf;
    p.productType =
        model.GetHardwareValue(HHardwareGroup::kRowProductType) != 0 ? "Handheld" : "Mobile";
    return p;
}
