// A fleet roster read and checked before the first radio, and one radio's
// image made from its row and the settings kept from the radio itself.
#include "HDefaultImage.h"
#include "HRoster.h"
#include "HSettingAssignments.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kTag = "power_saving.power_on_tag";
constexpr const char* kAni = "dtmf_ani.ani_code";

std::string Shown(const HMemoryImage& image, const std::string& key) {
    std::string error;
    std::string text = HSettingAssignments::Shown(image, 0, key, error).value_or(error);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

TEST(Roster, ReadsEachRadiosValuesAndLeavesEmptyCellsAlone) {
    TempDir dir;
    dir.Write("r.csv", std::string("\xEF\xBB\xBF") + "serial, " + kTag + "," + kAni +
                           "\r\n 4711 ,CAR 7,123\r\n\r\n\"0815\",\"VAN 2\",\n");
    HRoster roster;
    std::string error;
    ASSERT_TRUE(roster.Load(dir.File("r.csv"), BuildDefaultImage(), 0, {}, error)) << error;
    ASSERT_EQ(roster.Rows().size(), 2u);
    const HRosterRow* first = roster.Find("4711");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->line, 2);
    EXPECT_EQ(first->values, (HSettingAssignments::Values{{kTag, "CAR 7"}, {kAni, "123"}}));
    const HRosterRow* second = roster.Find("0815 ");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->line, 4);
    EXPECT_EQ(second->values, (HSettingAssignments::Values{{kTag, "VAN 2"}}));
    EXPECT_EQ(roster.Find("9999"), nullptr);
    EXPECT_EQ(roster.Find(""), nullptr);
}

TEST(Roster, RefusesWhatCannotBeAppliedNamingTheLineAndKey) {
    const struct {
        const char* text;
        std::vector<std::string> keep;
        const char* error;
    } cases[] = {
        {"id,power_saving.power_on_tag\n1,A\n", {}, "no serial column"},
        {"serial,power_saving.power_on_tag\n1,A\n2,B\n1,C\n", {}, "line 4: serial 1 is on line 2"},
        {"serial,power_saving.power_on_tag\n1,A\n2,TOOLONGTAGX\n",
         {},
         "line 3 (serial 2), power_saving.power_on_tag: \"TOOLONGTAGX\" is not allowed"},
        {"serial,power_saving.no_such\n1,A\n",
         {},
         "line 2 (serial 1), power_saving.no_such: unknown setting 'power_saving.no_such'; "
         "power_saving has "},
        {"serial,nothing.here\n1,A\n",
         {},
         "unknown setting 'nothing.here' (rp57cli show FILE lists every key)"},
        {"power_saving.power_on_tag,serial\nA\n", {}, "line 2: no serial number"},
        {"serial,serial\n1,2\n", {}, "column serial is there twice"},
        {"serial,power_saving.power_on_tag\n1,A,extra\n", {}, "line 2: more fields"},
        {"serial,power_saving.power_on_tag\n,A\n", {}, "line 2: no serial number"},
        {"serial,power_saving.power_on_tag\n1,\"A\n", {}, "a quoted field is not closed"},
        {"serial,power_saving.power_on_tag,power_saving.power_on_tag\n1,A,B\n",
         {},
         "column power_saving.power_on_tag is there twice"},
        {"serial,power_saving.power_on_tag\n1,A\n",
         {kTag},
         "power_saving.power_on_tag is a column of the roster and kept"},
        {"serial,power_saving.power_on_tag\n1,A\n",
         {"dtmf_ani.nothing"},
         "--keep: unknown setting 'dtmf_ani.nothing'; dtmf_ani has "},
        {"", {}, "empty"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        dir.Write("r.csv", c.text);
        HRoster roster;
        std::string error;
        EXPECT_FALSE(roster.Load(dir.File("r.csv"), BuildDefaultImage(), 0, c.keep, error))
            << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << "\n" << error;
    }
    HRoster missing;
    std::string error;
    EXPECT_FALSE(missing.Load(dir.File("none.csv"), BuildDefaultImage(), 0, {}, error));
    // Not a roster but something else taken by mistake: refused before it is read.
    dir.Write("big.csv", "serial\n" + std::string(4 * 1024 * 1024, '1'));
    EXPECT_FALSE(missing.Load(dir.File("big.csv"), BuildDefaultImage(), 0, {}, error));
    EXPECT_NE(error.find("larger than 4194304 bytes"), std::string::npos) << error;
}

TEST(Roster, ARadiosImageTakesItsRowThenKeepsItsOwnSettings) {
    HMemoryImage radio = BuildDefaultImage();
    ASSERT_EQ(HSettingAssignments::Apply(radio, 0, {{kAni, "555"}, {kTag, "OWN"}}).error, "");
    const HRosterRow row{2, "4711", {{kTag, "CAR 7"}}};

    HMemoryImage image = BuildDefaultImage();
    std::string received;
    EXPECT_EQ(HRoster::ImageFor(image, 0, &row, {kAni}, &radio, received), "");
    EXPECT_EQ(Shown(image, kTag), "CAR 7");
    EXPECT_EQ(Shown(image, kAni), "555");
    EXPECT_EQ(received, std::string(kTag) + "=CAR 7\n" + kAni + "=555");

    // No row, nothing kept: the file's image as it is, nothing received.
    HMemoryImage plain = BuildDefaultImage();
    EXPECT_EQ(HRoster::ImageFor(plain, 0, nullptr, {}, nullptr, received), "");
    EXPECT_TRUE(plain == BuildDefaultImage());
    EXPECT_EQ(received, "");

    // Keeping needs the radio read whole.
    HMemoryImage unread = BuildDefaultImage();
    EXPECT_NE(HRoster::ImageFor(unread, 0, &row, {kAni}, nullptr, received), "");
}
