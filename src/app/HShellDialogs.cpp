#include "HShellDialogs.h"

#include "CConfigurationDlg.h"
#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "CVisibleDlg.h"
#include "HCommonMenu.h"
#include "HDialog.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HMainCommands.h"

#include <QApplication>

#include <vector>

namespace HShellDialogs {

namespace {

HMemoryImage* ImageOf(CRP57App& app) {
    return app.Document() ? &app.Document()->Image() : nullptr;
}

// F1 in the main window: the help of the window, or of a dialog or window
// over it that does not answer F1 itself.
void OnHelp(CMainFrame& frame) {
    HHelpWindow::Show(kMainWindowHelp, &frame);
}

} // namespace

bool RunEditor(CMainFrame& frame, CRP57App& app, HEditor& editor) {
    frame.SendViewSaveData();
    bool confirmed = false;
    {
        HDialog dialog(editor, &frame);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (confirmed)
        app.SetModifiedFlag(1);
    frame.SendViewRefresh();
    return confirmed;
}

void OnConfigure(CMainFrame& frame, CRP57App& app) {
    HLOG_D1("[FUNC IN]OnConfigure");
    CConfigurationDlg dialog(app, &frame);
    if (dialog.exec() == QDialog::Accepted) {
        // The information panel shows the serial device in use.
        frame.SendViewSaveData();
        frame.SendViewRefresh();
    }
    HLOG_D1("[FUNC OUT]OnConfigure");
}

void OnItemVisible(CMainFrame& frame, CRP57App& app) {
    HLOG_D1("[FUNC IN]OnItemVisible");
    frame.SendViewSaveData();
    const std::array<int, CRP57App::kItemCount> before = app.Items();
    CVisibleDlg dialog(app, ImageOf(app), &frame);
    if (dialog.exec() == QDialog::Accepted) {
        // The changed items first: the view may apply its model rules to the
        // flags while it hears of each one.
        std::vector<int> changed;
        for (int i = 0; i < CRP57App::kItemCount; ++i)
            if (app.Item(i) != before[static_cast<std::size_t>(i)])
                changed.push_back(i);
        for (int i : changed)
            emit frame.ItemVisibilityToggled(i);
        frame.SendViewRefresh();
        frame.UpdateCommandUI();
    }
    HLOG_D1("[FUNC OUT]OnItemVisible");
}

void Install(CMainFrame& frame, CRP57App& app) {
    frame.SetCommandHandler(HCmd::kConfigure, [&frame, &app] { OnConfigure(frame, app); });
    frame.SetCommandHandler(HCmd::kItemVisible, [&frame, &app] { OnItemVisible(frame, app); });
    HCommonMenu::Install(frame, app);
    frame.SetCommandHandler(HCmd::kGetStarted,
                            [&frame] { HHelpWindow::Show(kGetStartedHelp, &frame); });
    frame.SetCommandHandler(HCmd::kHelp, [&frame] { OnHelp(frame); });
    frame.SetCommandHandler(HCmd::kHelpFinder, [&frame] {
        HHelpWindow::Show(0, &frame)->OpenPage(QString::fromLatin1(HHelpWindow::kIndexPage));
    });
    frame.SetCommandHandler(HCmd::kDefaultHelp, [&frame] { OnHelp(frame); });
}

} // namespace HShellDialogs
