// One executable for every test class of the program.
#include "AppTestSupport.h"
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
    int failures = 0;
    // RP57_APP_TEST_CLASS=Name runs one class, for a quicker look at one failure.
    const QByteArray only = qgetenv("RP57_APP_TEST_CLASS");
    for (const AppTestRun& test : AppTests())
        if (only.isEmpty() || only == test.name)
            failures += test.run(static_cast<int>(args.size()), args.data());
    return failures == 0 ? 0 : 1;
}
