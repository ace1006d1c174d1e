#include "HRadioCommands.h"

#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HAlignmentFlows.h"
#include "HChannelAllocationDlg.h"
#include "HChannels.h"
#include "HComInstructionDialog.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HSafetyCommands.h"
#include "HSignallingSteps.h"

#include <algorithm>

namespace {

// Channel pages start 12 pages into the image (EEPROM 4 pages, FLASH pages 0-7).
constexpr std::size_t kChannelPageBase = 12;
constexpr std::size_t kPageBytes = 128;
static_assert(kChannelPageBase * kPageBytes == HImageMap::FlashPageOffset(8));

int RunUpload(CMainFrame& frame, CRP57App& app, CRP57Doc& doc) {
    HLOG_D1("%s", "Upload開始");
    HMemoryImage& image = doc.Image();
    int result = HComInstructionDialog::kResultCancel;
    // The radio's memory replaces the image: unsaved edits are asked about
    // first, as New and Open do, before anything goes to the radio. The view
    // has committed its cell already, so the flag is current.
    const int modifiedBefore = app.ModifiedFlag();
    bool discarded = false;
    if (modifiedBefore != 0 && !doc.SaveModified(&discarded)) {
        HLOG_D1("Upload終了[STATUS:%d]", result);
        return result;
    }
    // A modified document the radio's memory replaces is kept in the backups.
    const HMemoryImage before = image;
    {
        HComInstructionDialog dialog(HComInstructionDialog::SettingsOf(app), image, &frame);
        dialog.SetCommand(HComInstructionDialog::kCommandUpload);
        result = dialog.DoModal();
    }
    frame.activateWindow();
    HSignallingMode mode = HSignallingMode::TwoTone;
    if (result == HComInstructionDialog::kResultOk) {
        if (modifiedBefore != 0)
            HSafetyCommands::KeepDocument(&frame, before);
        mode = HTransferSteps::CorrectAfterUpload(image);
        // The image is the radio's now, not the file's.
        app.SetCurrentFilePath(CRP57App::kNoFile);
        doc.UpdateTitle();
    } else {
        // A failed upload left the image as it was: it keeps its file, and the
        // user's own band limits and Miscellaneous values stay untouched.
        mode = HTransferSteps::ReadSignallingMode(image);
        // Edits the user agreed to drop for the radio's memory are still there
        // and still unsaved.
        if (discarded)
            app.SetModifiedFlag(modifiedBefore);
    }
    frame.SetSignallingMenuMode(static_cast<int>(mode));
    if (result == HComInstructionDialog::kResultOk)
        emit doc.ImageLoaded();
    HLOG_D1("Upload終了[STATUS:%d]", result);
    return result;
}

int RunDownload(CMainFrame& frame, CRP57App& app, CRP57Doc& doc) {
    HLOG_D1("%s", "Download開始");
    HMemoryImage& image = doc.Image();
    const HSignallingMode mode =
        frame.SignallingMenuMode() == 0 ? HSignallingMode::FiveTone : HSignallingMode::TwoTone;
    HTransferSteps::PrepareForDownload(image, mode, HSignallingSteps::WriteCompiledTables);
    int result = HComInstructionDialog::kResultCancel;
    if (!HSafetyCommands::ConfirmDownload(&frame, image, app.AccessLevel())) {
        HLOG_D1("Download終了[STATUS:%d]", result);
        return result;
    }
    {
        HComInstructionDialog dialog(HComInstructionDialog::SettingsOf(app), image, &frame);
        dialog.SetCommand(HComInstructionDialog::kCommandDownload);
        result = dialog.DoModal();
    }
    frame.activateWindow();
    HLOG_D1("Download終了[STATUS:%d]", result);
    return result;
}

// The built-in image of the model the image holds.
HMemoryImage DefaultImageFor(const HMemoryImage& image) {
    HHardwareGroup hw;
    hw.Load(image);
    const bool handheld = hw.GetValue(HHardwareGroup::kRowProductType) != 0;
    const int lcdType = hw.GetValue(handheld ? HHardwareGroup::kRowDisplayHandheld
                                             : HHardwareGroup::kRowDisplayMobile);
    return MakeImageForModel(hw.GetValue(HHardwareGroup::kRowBand),
                             handheld ? kProductHandheld : kProductMobile, lcdType);
}

} // namespace

namespace HRadioCommands {

void Install(CMainFrame& frame, CRP57App& app) {
    frame.SetCommandHandler(HCmd::kUpload,
                            [&frame, &app] { OnMenuRadio(frame, app, HCmd::kUpload); });
    frame.SetCommandHandler(HCmd::kDownload,
                            [&frame, &app] { OnMenuRadio(frame, app, HCmd::kDownload); });
    frame.SetCommandHandler(HCmd::kChannelAllocation,
                            [&frame, &app] { OnChannelAllocation(frame, app); });
    HAlignmentFlows::Install(frame, app);
}

int ChannelPagesInUse(int usedChannels) {
    return usedChannels <= 0 ? 0 : (usedChannels + 2) / 3;
}

int OnMenuRadio(CMainFrame& frame, CRP57App& app, int id) {
    CRP57Doc* doc = app.Document();
    if (!doc) {
        HLOG_ER("OnMenuRadio(%d): no document", id);
        return 0;
    }
    HLOG_D1("[FUNC IN]OnMenuRadio");
    frame.SendViewSaveData();
    int result = 0;
    if (id == HCmd::kUpload)
        result = RunUpload(frame, app, *doc);
    else if (id == HCmd::kDownload)
        result = RunDownload(frame, app, *doc);
    frame.SendViewRefresh();
    HLOG_D1("[FUNC OUT]OnMenuRadio");
    return result;
}

bool OnChannelAllocation(CMainFrame& frame, CRP57App& app) {
    CRP57Doc* doc = app.Document();
    if (!doc) {
        HLOG_ER("%s", "OnChannelAllocation: no document");
        return false;
    }
    HLOG_D1("[FUNC IN]OnChannelAllocation");
    frame.SendViewSaveData();
    HMemoryImage& image = doc->Image();
    HChannels model;
    model.Load(image);
    const int p0 = ChannelPagesInUse(model.UsedChannels());

    bool accepted = false;
    {
        HChannelAllocationDlg dialog(image, &frame);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted) {
        app.SetModifiedFlag(1);
        model.Load(image);
        const int p1 = ChannelPagesInUse(model.UsedChannels());
        HLOG_D1("channel pages [BEFORE:%d][AFTER:%d]", p0, p1);
        if (p1 > p0) {
            // The added pages start from the model's defaults in both the
            // work buffer and the image; the radio's own pages then replace
            // them when the added-channel upload goes through.
            HMemoryImage work = image;
            const HMemoryImage defaults = DefaultImageFor(image);
            const std::size_t first = (std::size_t(p0) + kChannelPageBase) * kPageBytes;
            const std::size_t end =
                std::min((std::size_t(p1) + kChannelPageBase) * kPageBytes, image.size());
            std::copy(defaults.begin() + long(first), defaults.begin() + long(end),
                      work.begin() + long(first));
            std::copy(defaults.begin() + long(first), defaults.begin() + long(end),
                      image.begin() + long(first));

            HComInstructionDialog dialog(HComInstructionDialog::SettingsOf(app), image, &frame);
            dialog.SetAddedChannelUpload(HTransferRangeTable::AddedChannelPages(p0, p1), work);
            const int result = dialog.DoModal();
            HLOG_D1("added channel upload [STATUS:%d]", result);
            frame.activateWindow();
        }
    }
    frame.SendViewRefresh();
    HLOG_D1("[FUNC OUT]OnChannelAllocation");
    return accepted;
}

} // namespace HRadioCommands
