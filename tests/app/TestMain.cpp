// One executable for every test class of the program.
#include "AppTestSupport.h"
#include <QList>
#include <vector>

int main(int argc, char** argv) {
    // QtTest's crash handler attaches gdb to print a stack; here that attach never
    // finishes, so a crashed or timed-out run would hang instead of failing.
    qputenv("QTEST_DISABLE_STACK_DUMP", "1");
    QApplication application(argc, argv);
    // A crash must end the run: QtTest's handler can re-enter the faulting code
    // for ever, writing the same lines until the disk is full.
    std::vector<char*> args(argv, argv + argc);
    char noCrashHandler[] = "-nocrashhandler";
    args.push_back(noCrashHandler);
    // RP57_APP_TEST_CLASS=A,B runs those classes and !A,B every other one: the
    // classes that wait on the simulated radio run as tests of their own, side by
    // side, and one class alone is a quicker look at one failure.
    QByteArray selection = qgetenv("RP57_APP_TEST_CLASS");
    const bool allBut = selection.startsWith('!');
    if (allBut)
        selection.remove(0, 1);
    const QList<QByteArray> named = selection.split(',');
    int failures = 0;
    int ran = 0;
    for (const AppTestRun& test : AppTests()) {
        if (!selection.isEmpty() && named.contains(QByteArray(test.name)) == allBut)
            continue;
        ++ran;
        failures += test.run(static_cast<int>(args.size()), args.data());
    }
    // A selection naming no class must not pass as a run that found nothing.
    if (ran == 0)
        qWarning("RP57_APP_TEST_CLASS=%s names no test class",
                 qgetenv("RP57_APP_TEST_CLASS").constData());
    return failures == 0 && ran > 0 ? 0 : 1;
}
