// The channel grid's two heaviest everyday updates, each as the time it takes
// until the grid has painted the result, over one frame at 60 Hz (16 ms):
//   - a full refresh of the 128-row grid (message 2024: model, relayout, widths);
//   - a paste of 128 whole channels over the first row.
// The program runs as a technician starts it, in a program data directory of
// its own. Run under xvfb-run (or QT_QPA_PLATFORM=offscreen) on an idle machine.
#include "BenchUtil.h"
#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57View.h"
#include "HEditorPrompt.h"
#include "HGridTableModel.h"
#include "HRpFlexgrid.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

constexpr double kFrameMs = 16.0;
constexpr int kRuns = 21;

class AlwaysYes : public HEditorPrompt {
public:
    bool AskYesNo(std::string_view) override { return true; }
    void ShowMessage(std::string_view) override {}
};

template <class Fn> double Time(Fn&& work, QWidget* painted) {
    QElapsedTimer timer;
    timer.start();
    work();
    painted->repaint(); // synchronous: the paint is part of the update
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const std::string home = bench::MakeHome();
    if (home.empty() || !bench::WriteLcdSettings(home)) {
        std::fprintf(stderr, "grid: cannot make a temporary program data directory\n");
        return 1;
    }
    setenv("RP57_HOME", home.c_str(), 1);
    int status = 0;
    {
        QApplication application(argc, argv);
        CRP57App app;
        if (!app.InitInstance({})) {
            std::fprintf(stderr, "grid: the program did not start\n");
            return 1;
        }
        CMainFrame* frame = app.MainFrame();
        auto* view = qobject_cast<CRP57View*>(frame->centralWidget());
        if (!view) {
            std::fprintf(stderr, "grid: no channel view\n");
            return 1;
        }
        QApplication::processEvents();
        QWidget* viewport = view->GridView()->viewport();
        HChannelGrid& grid = view->Grid();
        if (grid.RowCount() < 128)
            std::fprintf(stderr, "grid: only %d rows shown\n", grid.RowCount());

        std::vector<double> refresh;
        for (int i = 0; i <= kRuns; ++i) {
            const double ms = Time([&] { view->OnRefresh(); }, viewport);
            if (i > 0) // the first one warms the caches
                refresh.push_back(ms);
        }

        // Rows 64..127 and then 0..63: every channel changes on each paste.
        const std::string text = grid.CopyText(64, 127) + grid.CopyText(0, 63);
        AlwaysYes yes;
        std::vector<double> paste;
        int refused = 0;
        for (int i = 0; i <= kRuns; ++i) {
            const double ms = Time(
                [&] {
                    const HPasteResult result = grid.Paste(text, 0, &yes);
                    refused += result.cellsRefused;
                    if (result.status != HPasteStatus::Pasted)
                        status = 1;
                    view->Model()->Redraw(result.change);
                },
                viewport);
            if (i > 0)
                paste.push_back(ms);
        }
        if (status != 0)
            std::fprintf(stderr, "grid: a paste was not taken\n");

        const double r = bench::Median(refresh);
        const double p = bench::Median(paste);
        std::printf("grid refresh, %d rows: %.2f ms  ratio to one frame (16 ms) %.3f\n",
                    grid.RowCount(), r, r / kFrameMs);
        std::printf("paste of 128 channels: %.2f ms  ratio to one frame (16 ms) %.3f%s\n", p,
                    p / kFrameMs, refused ? "  (cells refused!)" : "");
        app.ExitInstance(0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
