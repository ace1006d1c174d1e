#pragma once
// The program's numbered messages and strings, shown by the Qt program in
// message boxes and by the command-line tool on stderr.
#include <string>
#include <vector>

namespace HStringTable {

// Message numbers used across the program.
enum Id : int {
    kFileOpenError = 32, // %1 = path
    kFileWriteError = 33,
    kFileReadError = 34,         // %1 = path
    kFileOpenForWriteError = 35, // %1 = path
    kWriteDefaultFile = 36,
    kFileFormatInvalid = 37,
    kFileReadOnly = 49, // %1 = path
    kChangeBand = 50,
    kChangeProductType = 51,
    kDualWatchNoPriority = 52,
    kProgrammingPasswordDigits = 2601,
    kChangeDisplayType = 2602,
    kCopyChannel = 53, // %1 = source channel(s), %2 = target channel
    kBandMismatch = 85,
    kProductTypeMismatch = 86,
    kChannelStepMismatch = 88,
    kAdjChecksumError = 96,
    kAdjChecksumBackup = 97,
    kMobileTxPowerMismatch = 119,
    kVersion = 120,
    kPasswordMismatch = 123,
    kTitleLevel0 = 128,
    kTitleLevel1 = 130,
    kAlignmentFileMissing = 132, // %1 = path
    kAdjDefected = 133,
    kLotNumberNg = 134,
    kLotNumberNgContinue = 135,
    kStopAdjRecovery = 136,
    kAdjNotDefected = 137,
    kAdjDefectedRecover = 138,
    kShippingDefaultDefected = 139,
    kManufactureModeWarning = 142,
    kTitleLevel2 = 144,
    kAdjDownloadFailed = 145,
    kSaveChanges = 146,
    // The lines under a file message that say which file and what was wrong.
    kDetailFileName = 2701, // %1 = path
    kDetailMissing = 2702,
    kDetailDirectory = 2703,
    kDetailNotAFile = 2704,
    kDetailWrongSize = 2705, // %1 = bytes found, %2 = bytes of a data file
    kDetailReadOnly = 2706,
    kDetailReason = 2707, // %1 = the system's reason
    kPartialWrite = 900,  // follows the reason a download stopped after its first write
    // What the channel grid's rules made of a typed value (status bar).
    kNoteChannel = 2401, // %1 = channel number, %2 = what happened
    kNoteStored = 2402,  // %1 = column, %2 = typed, %3 = stored, %4 = why
    kNoteBand = 2403,    // %1, %2 = band limits in MHz
    kNoteStep = 2404,    // %1 = step in kHz
    kNoteToneRange = 2405,
    kNoteTxFollowed = 2406, // %1 = transmit frequency now, %2 = before
    kNoteRefused = 2407,    // %1 = column, %2 = typed, %3 = the value kept
    kNoteTagSigns = 2408,   // %1 = typed
    // What a paste did not store, and the question of spreadsheet rows.
    kNoteNotInUse = 2409,
    kNotePastGroup = 2410, // %1 = the group's last channel
    kPasteRefused = 2411,  // %1 = cells not stored, %2 = cells pasted, %3 = why
    kPasteRows = 2412,     // %1 = "2 rows", %2 = target channel(s)
    // The programming password asked during a transfer.
    kProgrammingPasswordPrompt = 2501,
    kPasswordWrong = 2502, // %1 = tries left
    // The check before writing: its findings, the override and the backups.
    kCheckAdjustmentWritten = 2801,
    kCheckAdjustmentKept = 2802,
    kCheckFrequencyBand = 2803,    // %1 channel, %2 column, %3 MHz, %4 band, %5, %6 limits
    kCheckGroupCapacity = 2804,    // %1 channels allocated, %2 capacity
    kCheckDualWatch = 2805,        // %1 = the key's caption
    kCheckTagChars = 2806,         // %1 = whose tag, %2 = the tag, %3 = the characters
    kCheckToneMissing = 2807,      // %1 channel, %2 column, %3 the cell text
    kCheckSignalMissing = 2808,    // %1 channel, %2 column, %3 kind, %4 number, %5, %6 range
    kCheckRadioBand = 2809,        // %1 file's band, %2 radio's band
    kCheckRadioProductType = 2810, // %1 file's, %2 radio's
    kCheckOverride = 2811,         // %1 = the errors, one a line
    kCheckStopped = 2812,
    kBackupFailed = 2813,  // %1 = why
    kBackupWritten = 2814, // %1 = path
    kBackupReading = 2815,
    kDetectFound = 2816, // %1 = device
    kDetectNone = 2817,  // %1 = devices listened to
    kFleetWaiting = 2818,
    kCheckEncodeEmpty = 2819,   // %1 setting, %2 entry, %3 why empty, %4 its users, %5 editor
    kCheckEncodeMissing = 2820, // %1 setting, %2 entry number, %3 its users
    kBackupReused = 2821,       // %1 = the backup file, %2 = which earlier read it holds
    kBackupReadNow = 2822,      // %1 = the backup file
    kBackupNone = 2841,         // %1 = why
    kBackupNotAsked = 2842,
    kBackupSwitchedOff = 2843,  // %1 = the settings file
    kCheckRadioHardware = 2831, // %1 = the values: the radio's, then the file's
    kCheckToneWindow = 2832,    // %1 table, %2 the tones, %3 the window scale
    // The alignment steps.
    kAlignInitFailed = 2901,
    kAlignChangeFailed = 2902,
    kTuneAlignFailed = 2903,
    kVcvAlignFailed = 2904,
    kChangeChannelError = 2905,
    kAlignWordsNotWritten = 2906, // %1 = the words and pages
    kAlignStepsFailed = 2907,     // %1 = the steps
    kAlignReadFailed = 2908,
    // File > Import Channels and rp57cli import: the channel list read back.
    kImportNotChannelList = 3101, // %1 = path
    kImportTooLarge = 3102,       // %1 = bytes a channel list may hold
    kImportRowSkipped = 3103,     // %1 = line, %2 = why
    kImportNoChannel = 3104,      // %1 = the cell, %2 = the last channel
    kImportNoGroup = 3105,        // %1 = channel
    kImportCellRefused = 3106,    // %1 = column title, %2 = the cell
    kImportFieldCount = 3107,     // %1 = fields of the row, %2 = of its title row
    kImportQuoteOpen = 3108,
    kImportChange = 3109,         // %1 = channel, %2 = column, %3 = before, %4 = after
    kImportChangeTyped = 3110,    // as 3109, %5 = the file's text
    kImportUnknownColumn = 3111,  // %1 = title
    kImportColumnNotShown = 3112, // %1 = title
    kImportColumnTwice = 3113,    // %1 = title
    kImportSummary = 3114,        // %1 = changes, %2 = channels, %3 = rows skipped
    kImportNothing = 3115,
    kImportInUse = 3116,
    kImportNotInUse = 3117,
    // The history of transfers.
    kHistorySpooled = 3201,   // %1 = why, %2 = the spool
    kHistoryDelivered = 3202, // %1 = how many
    kHistoryLost = 3203,      // %1 = why the database did not take it, %2 = why the spool did not
    kHistoryPassword = 3204,
    kRosterUnknownSerial = 3205, // %1 = serial, %2 = the roster
    // The status bar's word on what a command wrote, and where.
    kNoteSaved = 3301,         // %1 = path
    kNoteExported = 3302,      // %1 = rows, %2 = path
    kNotePrintedFile = 3303,   // %1 = pages, %2 = path
    kNotePrintedDevice = 3304, // %1 = pages, %2 = the printer
    kNoteImported = 3305,      // %1 = path, %2 = the import's summary
};

// The text of a number; empty when the table has none.
const std::string& Get(int id);
// The text with "%1", "%2", ... replaced by the arguments in order.
std::string Format(int id, const std::vector<std::string>& args);
// Every number the table holds, ascending.
std::vector<int> Ids();

} // namespace HStringTable
