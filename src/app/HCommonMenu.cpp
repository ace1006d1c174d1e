#include "HCommonMenu.h"

#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HDialog.h"
#include "HEditorRegistry.h"
#include "HLogPrint.h"
#include "HPropertyPage.h"
#include "HPropertySheet.h"
#include "HSignallingSteps.h"
#include "HTransferSteps.h"

#include <memory>
#include <vector>

namespace HCommonMenu {

namespace {

bool ShowEditors(CMainFrame& frame, const HEditorEntry& entry,
                 std::vector<std::unique_ptr<HEditor>>& editors) {
    if (!entry.sheet) {
        HDialog dialog(*editors.front(), &frame);
        return dialog.exec() == QDialog::Accepted;
    }
    HPropertySheet sheet(
        QString::fromUtf8(entry.caption.data(), static_cast<qsizetype>(entry.caption.size())),
        static_cast<std::uint32_t>(entry.command), &frame);
    for (auto& editor : editors)
        sheet.AddPage(new HPropertyPage(*editor));
    return sheet.exec() == QDialog::Accepted;
}

} // namespace

bool Run(CMainFrame& frame, CRP57App& app, const HEditorEntry& entry) {
    HLOG_D1("[FUNC IN]OnCommon(%d)", entry.command);
    CRP57Doc* doc = app.Document();
    HMemoryImage* image = doc ? &doc->Image() : nullptr;
    frame.SendViewSaveData();
    std::vector<std::unique_ptr<HEditor>> editors;
    for (const HEditorPageEntry& page : entry.pages)
        editors.push_back(page.make(page, {image, app.AccessLevel()}));
    const bool confirmed = ShowEditors(frame, entry, editors);
    if (confirmed) {
        auto* hardware = dynamic_cast<HHardwareEditor*>(editors.front().get());
        if (hardware != nullptr && hardware->ModelChanged() && doc != nullptr) {
            // Another model is another image: the document makes it, the
            // chosen display type goes into it, and the signalling commands
            // follow it.
            doc->LoadForModel(hardware->Band(), hardware->ProductType(), hardware->DisplayType());
            hardware->WriteDisplayType(doc->Image());
            frame.SetSignallingMenuMode(
                static_cast<int>(HTransferSteps::ReadSignallingMode(doc->Image())));
            emit doc->ImageLoaded();
        } else {
            app.SetModifiedFlag(1);
            // A confirmed signalling type other than the menu's resets the
            // new type's tables and switches the Signalling menu.
            if (entry.family == HEditorFamily::Signalling && image != nullptr)
                frame.SetSignallingMenuMode(static_cast<int>(HSignallingSteps::FollowTypeChange(
                    *image, static_cast<HSignallingMode>(frame.SignallingMenuMode()))));
        }
    }
    frame.SendViewRefresh();
    HLOG_D1("[FUNC OUT]OnCommon(%d)", entry.command);
    return confirmed;
}

void Install(CMainFrame& frame, CRP57App& app) {
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        frame.SetCommandHandler(entry.command, [&frame, &app, &entry] { Run(frame, app, entry); });
}

} // namespace HCommonMenu
