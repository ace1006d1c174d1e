#pragma once
// Images for the report tests: a chosen number of channels in use over a
// chosen number of groups, of either signalling type, model and option unit.
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HOptionGroup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct ReportImageSpec {
    int inUse = 1;
    int groups = 1;
    bool twoTone = true;
    int productType = kProductMobile; // kProductMobile or kProductHandheld
    int optionUnit = 0;               // the option unit code
};

inline HMemoryImage ReportImage(const ReportImageSpec& spec) {
    HMemoryImage image = MakeImageForModel(kBandVhf, spec.productType, 1);
    if (spec.optionUnit != 0) {
        HOptionGroup option;
        option.Load(image);
        option.SetValue(HOptionGroup::kValueOptionUnit, spec.optionUnit);
        option.Save(image);
    }
    HChannels m;
    m.Load(image);
    const int per = (spec.inUse + spec.groups - 1) / spec.groups;
    int left = spec.inUse;
    for (int g = 0; g < 8; ++g) {
        const int count = g < spec.groups ? std::min(per, left) : 0;
        m.SetGroupValue(g, HChannelTables::kGroupChannels, count);
        left -= count;
        char tag[16];
        std::snprintf(tag, sizeof tag, "FLEET%d", g + 1);
        m.SetGroupTag(g, tag);
    }
    m.NormalizeGroups();
    for (int c = 0; c < spec.inUse; ++c) {
        m.SetField(c, HChannelTables::kFieldInUse, 1);
        m.SetFrequency(c, 0, 150000000 + 12500LL * c);
        m.SetFrequency(c, 1, 155000000 + 12500LL * c);
        char tag[16];
        std::snprintf(tag, sizeof tag, "UNIT%03d", c + 1);
        m.SetTag(c, tag);
    }
    m.Save(image);
    HChannelSignalling signalling;
    signalling.Load(image);
    signalling.SetValue(HChannelSignalling::kSignallingType, spec.twoTone ? 1 : 0);
    signalling.Save(image);
    return image;
}

// Sets settings as a user would, in one session confirmed at the end.
inline void SetSettings(HMemoryImage& image,
                        const std::vector<std::pair<std::string, std::string>>& changes) {
    HSettingsSession session(image, 0);
    for (const auto& [key, value] : changes) {
        const HSettingsSession::Setting* s = session.Find(key);
        if (s == nullptr) {
            ADD_FAILURE() << "no setting " << key;
            continue;
        }
        EXPECT_EQ(session.Set(*s, value), "") << key << " = " << value;
    }
    EXPECT_EQ(session.Confirm(MakeImageForModel), "");
}

// An image of either signalling type with a few records of each of its
// grids changed, the DTMF and paging codes too.
inline HMemoryImage SignallingImage(bool twoTone) {
    HMemoryImage image = ReportImage({.inUse = 3, .twoTone = twoTone});
    SetSettings(image, {{"dtmf_code.dtmf_1", "12*#"},
                        {"paging_code.3.code", "9C4"},
                        {"paging_code.3.action", "Kill"}});
    if (twoTone) {
        // The tone cells name the table's frequencies: the table first.
        SetSettings(image, {{"two_tone_table.3", "433.7"}});
        SetSettings(image, {{"two_tone_decode.2.tag", "GATE"},
                            {"two_tone_decode.2.1st_tone", "3"},
                            {"two_tone_decode.2.2nd_tone", "F"},
                            {"two_tone_decode.2.mute_mode", "Close"},
                            {"two_tone_system.5.monitor_sw", "Both"},
                            {"two_tone_system.5.auto_reset", "On"},
                            {"two_tone_encode.32.tag", "LAST"}});
    } else {
        SetSettings(image, {{"five_tone_table.1.tone_0", "2400"},
                            {"five_tone_decode.1.decode_no", "12345"},
                            {"five_tone_decode.1.tag", "BASE"},
                            {"five_tone_decode.1.transpond_code", "Enc-5"},
                            {"five_tone_system.16.flow", "ID+Call"},
                            {"five_tone_encode.7.input_digit_3", "Display & Selectable"},
                            {"five_tone_encode.32.encode_no", "ABCDE"}});
    }
    return image;
}
