// Start-up: the time from entering main() until the main window has painted
// its grid of 128 channels, over the same for a bare Qt main window holding a
// filled 128 x 26 table built in this tree (the least a Qt program showing
// that much can take). Each start is a process of its own; the figure is the
// median of several starts after one warm-up. Run under xvfb-run on an idle
// machine: bench/startup [starts]
#include "BenchUtil.h"
#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57View.h"
#include "HRpFlexgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMainWindow>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kGoal = 1.3;

// Ends the event loop once `watched` has painted, and records when.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* watched, const QElapsedTimer& clock) : m_clock(clock) {
        watched->installEventFilter(this);
    }
    [[nodiscard]] double Ms() const { return m_ms; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_ms < 0)
            // The paint runs after the filter: take the time once it is done.
            QTimer::singleShot(0, this, [this] {
                m_ms = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
                QApplication::quit();
            });
        return false;
    }

private:
    const QElapsedTimer& m_clock;
    double m_ms = -1;
};

int RunProgram(int argc, char** argv, const QElapsedTimer& clock) {
    QApplication application(argc, argv);
    CRP57App app;
    if (!app.InitInstance({}))
        return 1;
    auto* view = qobject_cast<CRP57View*>(app.MainFrame()->centralWidget());
    if (!view || view->Grid().RowCount() < 128)
        return 1;
    FirstPaint painted(view->GridView()->viewport(), clock);
    QApplication::exec();
    std::printf("%.3f\n", painted.Ms());
    app.ExitInstance(0);
    return 0;
}

int RunBare(int argc, char** argv, const QElapsedTimer& clock) {
    QApplication application(argc, argv);
    QMainWindow window;
    auto* table = new QTableWidget(128, 26, &window);
    for (int r = 0; r < 128; ++r)
        for (int c = 0; c < 26; ++c)
            table->setItem(r, c, new QTableWidgetItem(QStringLiteral("%1.%2").arg(r).arg(c)));
    table->resizeColumnsToContents();
    window.setCentralWidget(table);
    window.resize(860, 640);
    window.show();
    FirstPaint painted(table->viewport(), clock);
    QApplication::exec();
    std::printf("%.3f\n", painted.Ms());
    return 0;
}

// One start of this program in `mode`; its time in ms, or a negative number.
double Start(const char* self, const char* mode) {
    const std::string command = std::string("'") + self + "' --child " + mode;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    double ms = -1;
    if (!pipe || std::fscanf(pipe.get(), "%lf", &ms) != 1)
        return -1;
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return std::strcmp(argv[2], "bare") == 0 ? RunBare(argc, argv, clock)
                                                 : RunProgram(argc, argv, clock);

    const int starts = argc >= 2 ? std::max(3, std::atoi(argv[1])) : 9;
    const std::string home = bench::MakeHome();
    if (home.empty() || !bench::WriteLcdSettings(home))
        return 1;
    setenv("RP57_HOME", home.c_str(), 1);
    std::vector<double> program;
    std::vector<double> bare;
    int status = 0;
    // The first start of each makes the program's files and warms the caches.
    for (int i = 0; i <= starts; ++i) {
        const double p = Start(argv[0], "program");
        const double b = Start(argv[0], "bare");
        if (p < 0 || b < 0) {
            std::fprintf(stderr, "startup: a start failed (no display? try xvfb-run)\n");
            status = 1;
            break;
        }
        if (i > 0) {
            program.push_back(p);
            bare.push_back(b);
        }
    }
    if (status == 0) {
        const double p = bench::Median(program);
        const double b = bench::Median(bare);
        std::printf("start-up to a painted grid of 128 channels: %.1f ms; bare Qt window with a "
                    "128 x 26 table: %.1f ms\nratio %.3f (goal %.1f), median of %d starts\n",
                    p, b, p / b, kGoal, starts);
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
