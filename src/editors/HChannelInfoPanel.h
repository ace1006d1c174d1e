#pragma once
// The information panel above the channel grid: the radio's identity and the
// channel budget, as texts.
#include "HChannels.h"
#include "HCommonGroups.h"

#include <array>
#include <string>
#include <string_view>

struct HChannelInfoPanel {
    std::string serialNumber;    // Marketing serial number, "%s"
    std::string frequencyBand;   // the band's name, "%s"
    std::string firmwareVersion; // "%5.2f" of the stored value / 100
    std::string comPort;         // the serial device transfers use
    std::string printer;         // the default printer's name, may be empty
    std::string channels;        // the current group's channel count
    std::string channelsLeft;    // "%d Channels Left"
    std::string productType;     // "Mobile" or "Handheld"
};

// The panel's labels, in the order of the members above.
inline constexpr std::array<std::string_view, 8> kInfoPanelLabels = {
    "Serial No", "Freq Band", "FW Version",     "COM Port",
    "Printer",   " Channels", " Channels Left", "ProductType"};

// The panel for group g of the model, with the serial device and printer in use.
[[nodiscard]] HChannelInfoPanel BuildChannelInfoPanel(const HMarketingGroup& marketing,
                                                      const HChannels& model, int group,
                                                      std::string_view comPort,
                                                      std::string_view printer);
