#pragma once
// Images for the report tests: a chosen number of channels in use over a
// chosen number of groups, of either signalling type, model and option unit.
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HOptionGroup.h"

#include <cstdio>
#include <string>

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
