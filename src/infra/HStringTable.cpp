#include "HStringTable.h"

#include "HVersionInfo.h"

#include <map>

namespace HStringTable {
namespace {

const std::map<int, std::string>& Table() {
    static const std::map<int, std::string> table = {
        {32, "Problem opening file\r\nFile Name = %1"},
        {33, "Problem writing to file"},
        {34, "Problem reading from file\r\nFile Name = %1"},
        {35, "Problem opening file\r\n%1"},
        {36, "Do  you want to write default file?"},
        {37, "The File cannot be Opened.\r\nThe File's format is invalid or not Supported"},
        {49, "The File's attribute is Read_Only.\r\nFile Name = %1"},
        {50, "Change frequency band?\r\nFrequencies will be invalid"},
        {51, "Change product type?\r\nSome channels will be invalid"},
        {52, "One of key function is set to Dual Watch,\r\nPlease make sure at least one Group "
             "is PRI\r\nEnabled.  To set PRI, please click ChAnnel\r\nfrom top of main screen, "
             "next select Channel\r\nAllocations, then press <SPACE> to Enable PRI."},
        {2601, "The programming password must be 6 digits (0-9).\r\nType 6 digits, or turn "
               "Programming off."},
        {2602, "Change display type?\r\nA new image is made for the new display: channels "
               "and settings start from its defaults"},
        {53, "Do you copy Ch%1 data to Ch %2?"},
        {85, "Frequency Band mismatched!"},
        {86, "Product type mismatched!Continue to Download. "},
        {88, "Channel Step mismatched!"},
        {96, "Adjustment Data Checksum Error!"},
        {97, "Adjustment Data Checksum Error! It will be overwritten with data of the Adjustment "
             "Backup Area."},
        {119, "Mobile Tx Power mismatched! "},
        {120, HVersionInfo::VersionText()},
        {123, "Password mismatched! "},
        {128, "RP57Win for OR-3200 Series"},
        {130, "RP57Win for OR-3200 Series(M)"},
        {132, "File for alignment is not found!(%1)"},
        {133, "Adjustment data has benn defected.\r\nPlease Contact to Orvane Systems."},
        {134, "Lot Number NG!"},
        {135, "Lot Number NG!Do you continue to this work?"},
        {136, "Stop adjustment recovery!"},
        {137, "Adjustment Data is NOT defected.\r\nRecover to Shipping Default?"},
        {138, "Adjustment Data is defected.\r\nRecover to Shipping Default?"},
        {139, "Shipping Default is defected.\r\nLoad a Saved Data File?"},
        {142, "There may be possibility to have fatal damage to the radio control when using the "
              "Manufacture Mode.\r\nOrvane Systems does not have any responsibility for the "
              "defected radio by using Manufacture Mode."},
        {144, "RP57Win for OR-5200 Series(A)"},
        {145, "It failed in downloading for adjustment data file.\r\nPlease Switch  radio "
              "OFF,then back ON to start downloading former data."},
        {146, "Do you want to save changes ?"},
        {2701, "File Name = %1"},
        {2702, "The file does not exist."},
        {2703, "This is a folder, not a file."},
        {2704, "This is not a regular file (a device, pipe or socket)."},
        {2705, "The file holds %1 bytes; a data file holds exactly %2 bytes."},
        {2706, "The file is read-only."},
        {2707, "Reason: %1"},
        {900, "The radio holds a partial write and must be downloaded again."},
        {2401, "Channel %1 %2"},
        {2402, "%1: typed %2, stored %3 (%4)"},
        {2403, "band %1 to %2 MHz"},
        {2404, "step %1 kHz"},
        {2405, "CTCSS 67.0 to 254.1 Hz"},
        {2406, "TX Frequency followed RX: %1 (was %2)"},
        {2407, "%1: \"%2\" not understood, kept %3"},
        {2408, "TAG: \"%1\" not stored: the radio shows %, < and > as blanks"},
        {2409, "not in use: its pasted cells are not stored"},
        {2410, "Rows past Ch %1, the group's last channel, are not stored"},
        {2411, "%1 of %2 pasted cells not stored: %3"},
        {2412, "Do you paste %1 into Ch %2?"},
        {2501, "Programming password of the radio:"},
        {2502, "The programming password is wrong.\r\nTries left: %1"},
        {2801, "The adjustment data in this file is damaged (its checksum is wrong): a "
               "download at this level would write damaged alignment values into the radio."},
        {2802, "The adjustment data in this file is damaged (its checksum is wrong); a download "
               "at this level keeps the radio's own adjustment data."},
        {2803, "Channel %1: %2 %3 MHz lies outside the %4 band (%5 to %6 MHz)."},
        {2804, "The groups hold %1 channels; this radio holds at most %2, so the channels past "
               "%2 would be lost."},
        {2805, "%1 is set to Dual Watch, but no group has a priority channel to watch."},
        {2806, "%1 \"%2\" holds characters the radio cannot show (%3); they show as blanks."},
        {2807, "Channel %1: %2 %3 is no standard tone or code."},
        {2808, "Channel %1: %2 refers to %3 %4, which does not exist (%3 runs %5 to %6)."},
        {2809, "This file is for the %1 band, the radio is a %2 radio: its channels and band "
               "limits do not fit this radio."},
        {2810, "This file is for a %1 set, the radio is a %2 set."},
        {2811, "The check before writing found errors:\r\n%1\r\nDownload anyway?"},
        {2812, "Download stopped: the check before writing found errors. Nothing was written."},
        {2813, "The backup could not be written: %1"},
        {2814, "Backup kept: %1"},
        {2815, "Reading the radio for a backup"},
        {2816, "Radio found on %1"},
        {2817, "No radio sent its Check byte on %1. Switch the radio on in clone mode and try "
               "again."},
        {2818, "Waiting for the next radio (Ctrl-C ends the run)"},
        {2819, "%1 names %2, which is empty (%3), so %4 would send nothing. Set up %2 in %5 "
               "or choose another entry."},
        {2820, "%1 names encode entry %2, which does not exist (the entries run ENC No.1 to "
               "ENC No.32), so what %3 would send is undefined. Choose an entry from the list."},
        {2821, "Backup kept: %1 (%2; the radio was not read again)."},
        {2822, "Backup kept: %1 (the radio as read before writing)."},
        {2831, "The radio's Hardware values differ from this file's: %1. A download at this "
               "level keeps the radio's; the channels keep the frequencies this file shows."},
        {2832, "%1: no decode window of %2 fits the radio's table with the window scale %3, "
               "so the download leaves the windows the radio holds for them."},
        {2841, "No backup kept: %1."},
        {2842, "none was asked for"},
        {2843, "BeforeDownload is 0 in section [Backup] of %1"},
        {2901, "It failed in initial processing. "},
        {2902, "It failed in the change processing. \n"},
        {2903, "It failed in Tune Alignment,"},
        {2904, "VCV Alignment failed!"},
        {2905, "Change Channel Erro!"},
        {2906, "The program keeps the aligned value, but the radio did not take %1.\r\nCheck "
               "the cable and repeat this adjustment before leaving alignment."},
        {2907, "Basic Alignment is NOT finished: these steps failed, and the radio keeps its "
               "former values for them: %1.\r\nRepeat them."},
        {2908, "The radio did not answer the A/D reading, so nothing was measured or stored."
               "\r\nCheck the cable and press Start again."},
        {3101, "%1 is not a channel list: no row of channel column titles (\"Chn\", \"Pri\", "
               "\"W/N\" ...) was found.\r\nImport a file made by Export to CSV, or a sheet with "
               "those titles above its channels. Nothing was changed."},
        {3102, "The file is larger than a channel list can be (%1 bytes)."},
        {3103, "Line %1: %2; the row was skipped."},
        {3104, "\"%1\" is no channel number (1 to %2)"},
        {3105, "channel %1 lies in no group in use (see Channel Allocations/Group Alpha Tag)"},
        {3106, "%1 does not take \"%2\""},
        {3107, "the row has %1 fields, its title row %2"},
        {3108, "a quoted field is not closed before the end of the file"},
        {3109, "Channel %1, %2: %3 -> %4"},
        {3110, "Channel %1, %2: %3 -> %4 (the file says %5)"},
        {3111, "Column \"%1\" is no channel column; it was not imported."},
        {3112, "Column \"%1\" is not shown for this radio at this access level; it was not "
               "imported."},
        {3113, "Column \"%1\" appears twice; only the first was imported."},
        {3114, "Changes: %1 (channels: %2); rows skipped: %3."},
        {3115, "The channel list changes nothing in this image."},
        {3116, "in use"},
        {3117, "not in use"},
        {3201, "The history cannot take the record of this transfer (%1). It is kept on this "
               "bench in %2 and sent when the history answers again; the radio work goes on."},
        {3202, "%1 records kept on this bench while the history could not be reached were sent "
               "to it."},
        {3203, "The record of this transfer could not be kept (history: %1; spool on this "
               "bench: %2)."},
        {3204, "The settings file's History Url holds a password. Put the password into "
               "~/.pgpass (or PGPASSFILE) and take it out of the Url."},
        {3205, "Serial %1 is not in the roster %2: the radio was not written."},
        {3301, "Saved %1"},
        {3302, "Exported %1 rows to %2"},
        {3303, "Printed %1 pages to %2"},
        {3304, "Sent %1 pages to the printer %2"},
        {3305, "Imported %1: %2"},
    };
    return table;
}

} // namespace

const std::string& Get(int id) {
    static const std::string empty;
    const auto& t = Table();
    const auto it = t.find(id);
    return it == t.end() ? empty : it->second;
}

std::string Format(int id, const std::vector<std::string>& args) {
    const std::string& text = Get(id);
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t n = std::size_t(text[i + 1] - '1');
            if (n < args.size())
                out += args[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<int> Ids() {
    std::vector<int> ids;
    for (const auto& [id, text] : Table())
        ids.push_back(id);
    return ids;
}

} // namespace HStringTable
