// One executable for every test class of the program; each class runs against
// the same QApplication.
#include <QApplication>

int RunStartupTest(int argc, char** argv);
int RunMainFrameTest(int argc, char** argv);
int RunDocumentTest(int argc, char** argv);
int RunEditorDialogTest(int argc, char** argv);
int RunShellDialogsTest(int argc, char** argv);
int RunRadioTransferTest(int argc, char** argv);
int RunChannelViewTest(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = 0;
    failures += RunStartupTest(argc, argv);
    failures += RunMainFrameTest(argc, argv);
    failures += RunDocumentTest(argc, argv);
    failures += RunEditorDialogTest(argc, argv);
    failures += RunShellDialogsTest(argc, argv);
    failures += RunRadioTransferTest(argc, argv);
    failures += RunChannelViewTest(argc, argv);
    return failures == 0 ? 0 : 1;
}
