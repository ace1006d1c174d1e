#include "CRP57App.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RP57"));
    CRP57App app;
    QStringList arguments = QApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    if (!app.InitInstance(arguments))
        return app.ExitInstance(0);
    return app.ExitInstance(QApplication::exec());
}
