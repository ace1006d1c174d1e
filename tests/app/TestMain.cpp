// One executable for every test class of the program.
#include "AppTestSupport.h"

int main(int argc, char** argv) {
    // QtTest's crash handler attaches gdb to print a stack; here that attach never
    // finishes, so a crashed or timed-out run would hang instead of failing.
    qputenv("QTEST_DISABLE_STACK_DUMP", "1");
    QApplication application(argc, argv);
    int failures = 0;
    for (AppTestRun run : AppTests())
        failures += run(argc, argv);
    return failures == 0 ? 0 : 1;
}
