// One executable for every test class of the program.
#include "AppTestSupport.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = 0;
    for (AppTestRun run : AppTests())
        failures += run(argc, argv);
    return failures == 0 ? 0 : 1;
}
