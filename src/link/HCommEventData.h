#pragma once
// The communication event: carries one radio operation to the communication
// controller and its outcome (error code, message text) back.
#include "HBackupSource.h"
#include "HBackups.h"
#include "HCheckFinding.h"
#include "HDlgBase.h"
#include "HMemoryImage.h"
#include "HTransferRanges.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Event ids of the controller's matrix.
enum class HCommEvent : int {
    Upload = 0,
    Download = 1,
    BasicAlignStart = 2,
    BasicAlignStartFailure = 3,
    BasicAlignEnd = 4,
    FineAlignStart = 5,
    FineAlignEnd = 6,
    FineAlignCancel = 7,
    RecoveryStart = 8,
    RecoveryEnd = 9,
    Reserved = 10,
    AddedChannelUpload = 11,
};

// What a transfer read from the radio and wrote into it, for the record the
// front end keeps of it (the link keeps none).
struct HTransferImages {
    // The radio's memory as read whole: the upload, or the backup before a
    // download (an earlier read when one stood for it).
    std::shared_ptr<const HMemoryImage> read;
    // The words a download read of the radio (its identity), when it read them.
    std::shared_ptr<const HMemoryImage> radio;
    // The image whose blocks were sent, once the first one was (also when the
    // download then failed: the radio may hold part of it).
    std::shared_ptr<const HMemoryImage> written;
    // The backup was this earlier read, not read again (its description).
    std::string reusedBackup;
};

struct HCommEventData : HEventData {
    HCommEventData() : HEventData(0, kEventKindComm) {}
    explicit HCommEventData(HCommEvent id) : HEventData(static_cast<int>(id), kEventKindComm) {}

    int errorCode = 0;      // last serial result: 0, 1 = line error, 2 = time-out
    int connectionMode = 0; // 0 direct cable, 1 interface unit
    std::string message;    // the user's final message, filled by the handler
    int byteSize = 8;
    int stopBits = 2; // device-control code: 2 = two stop bits
    int parity = 0;
    int baudRate = 9600;
    int baudRate2 = 9600; // not used by the clone transfers
    int portNumber = 1;
    std::string devicePath; // explicit serial device; wins over the port number
    int echoOff = 0;        // 0 = the cable echoes, read back every write
    // Not owned. workBuffer: zero-filled by the sender, receives what is read.
    HMemoryImage* workBuffer = nullptr;
    HMemoryImage* editorImage = nullptr;
    void* further = nullptr; // alignment only
    // The shell's access level (0 dealer, 1 manufacture, 2 all) at the time of the
    // request; the core keeps no process-wide shell state of its own.
    int accessLevel = 0;
    // Bounds included; a FLASH "to" of kFlashToChannels (0xFF) means "up to the
    // last page that holds channel data".
    HRangeList readEeprom;
    HRangeList readFlash;
    HRangeList writeEeprom;
    HRangeList writeFlash;

    // Basic alignment end only: the steps that failed (as the front end names
    // them). None: the alignment is finished.
    std::vector<std::string> failedSteps;

    // Download only. The check that needs the radio's identity (the editor image
    // as it is to be written, the radio's data as read, the access level);
    // errors stop the write unless the prompt overrides them. None: no such check.
    std::function<std::vector<HCheckFinding>(const HMemoryImage&, const HMemoryImage&, int)>
        radioCheck;
    // Download only. When set, the radio's memory is first read as an upload at
    // the same level would read it and handed here, away from the transfer so
    // that a slow or failing disk never holds up or stops the download.
    std::function<HBackupResult(const HMemoryImage&)> backupSink;
    // What backupSink answered, once the download is over.
    HBackupResult backupResult;
    // Download without backupSink: why no backup is kept, for the final
    // message (empty: none was asked for).
    std::string noBackupWhy;
    // Download with a backup only: asked for an earlier read of the radio that
    // may stand for the backup. Not owned; null: the radio is always read.
    HBackupSource* backupSource = nullptr;
    // Download only: makes the image for this radio once its data are read
    // (`radio`: the words read; `whole`: the radio read whole, when it was).
    // False stops the download before anything is written, with `why` as its
    // message.
    std::function<bool(HMemoryImage& target, const HMemoryImage& radio, const HMemoryImage* whole,
                       std::string& why)>
        prepareTarget;
    // Filled by the handler: what it read and wrote.
    HTransferImages images;

    // The access level and the transfer dialog's ranges for it, as every
    // sender of an upload or download sets them.
    void UseRanges(HTransferDirection direction, int level) {
        accessLevel = level;
        HTransferRanges r = HTransferRangeTable::For(direction, level);
        readEeprom = std::move(r.readEeprom);
        readFlash = std::move(r.readFlash);
        writeEeprom = std::move(r.writeEeprom);
        writeFlash = std::move(r.writeFlash);
    }
};
