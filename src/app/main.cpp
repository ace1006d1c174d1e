#include "CRP57App.h"
#include "HHelpWindow.h"
#include "HProgramDir.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

// `rp57 --where`: where this installation finds its help pages and default
// alignment files, for an installer's check; 1 when one is missing.
int ShowWhere() {
    const QString help = HHelpWindow::HelpDirectory();
    const std::string alignment = HProgramDir::FindShared("mvmh.v57");
    std::printf(
        "help: %s\nalignment: %s\n", help.toUtf8().constData(),
        alignment.empty()
            ? ""
            : QFileInfo(QString::fromStdString(alignment)).absolutePath().toUtf8().constData());
    return help.isEmpty() || alignment.empty() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RP57"));
    if (argc == 2 && QByteArray(argv[1]) == "--where")
        return ShowWhere();
    CRP57App app;
    QStringList arguments = QApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    if (!app.InitInstance(arguments))
        return app.ExitInstance(0);
    return app.ExitInstance(QApplication::exec());
}
