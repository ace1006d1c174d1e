// Start-up and exit of the real application object: the command line and the
// access levels confirmed by the "Password" dialog, the settings file and its
// recent-file list read, corrected and written, and the single-instance guard.
#include "AppTestSupport.h"
#include "CPasswordDialog.h"
#include "HCommandLine.h"
#include "HProgramDir.h"
#include "HRecentFileList.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr const char* kCancel = "<cancel>";

// Leaves a socket file with nobody listening, as a crashed run does.
bool MakeStaleSocket(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    if (native.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool bound =
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

// The size a window may have on this screen: at most the available area, at
// least the documented 860 x 640.
QSize FittedToScreen(QSize size) {
    return size.boundedTo(QApplication::primaryScreen()->availableGeometry().size())
        .expandedTo(QSize(860, 640));
}

// The values of `keys` in a section of the settings file, blank-separated;
// "-" for a missing key.
QString Values(const TempHome& home, const char* section, std::vector<std::string> keys) {
    const HIniFile ini(home.File("RP57Win.ini"));
    QStringList out;
    for (const std::string& key : keys)
        out << (ini.HasKey(section, key) ? QString::fromStdString(ini.GetString(section, key, ""))
                                         : QStringLiteral("-"));
    return out.join(QLatin1Char(' '));
}
const std::vector<std::string> kWindowKeys = {"COM_PORT", "BAUDRATE", "CX", "CY"};
const std::vector<std::string> kModelKeys = {"ProductType", "Freq.Band", "LCDType"};
// The 18 View > Item flags as one string of digits, then the 19th key ("-").
QString ItemFlags(const TempHome& home) {
    std::vector<std::string> keys;
    for (int i = 0; i < 19; ++i)
        keys.push_back("ITEM" + std::to_string(i));
    return Values(home, "ITEM", keys).remove(QLatin1Char(' '));
}

// The words after the program name ('|' between them; "" for none), what the
// command line asks for, what is typed in the access code dialog (kCancel
// types the right code and presses Cancel) and the level granted.
struct AccessRow {
    const char* name;
    const char* words;
    const char* fileName;
    int requested;
    const char* typed;
    int granted;
};
constexpr AccessRow kAccessRows[] = {
    {"none", "", "", 0, "", 0},
    {"-MANU", "-MANU", "", 1, "Workshop Entry", 1},
    {"/all", "/all", "", 2, "tovak", 2},
    {"/all wrong code", "/all", "", 2, "tovaK", 0},
    {"/all cancel", "/all", "", 2, kCancel, 0},
    {"/manu with level 2 code", "/manu", "", 1, "tovak", 0},
    {"-MANU lower case", "-MANU", "", 1, "workshop entry", 0},
    {"-MANU trailing blank", "-MANU", "", 1, "Workshop Entry ", 0},
    {"/all empty code", "/all", "", 2, "", 0},
    {"mixed /Manu", "/Manu", "", 0, "", 0},
    {"no slash", "manu", "manu", 0, "", 0},
    {"switch and file", "/manu|file.r57", "file.r57", 0, "", 0},
    {"switch with blank", "/manu ", "/manu ", 0, "", 0},
    {"double slash", "//manu", "//manu", 0, "", 0},
    {"two switches", "/all|/manu", "", 0, "", 0},
    {"file and switch", "file.r57|/all", "file.r57", 0, "", 0},
    {"absolute path", "/home/tech/radio.R57", "/home/tech/radio.R57", 0, "", 0},
};

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void recentFileList();
    void accessLevelsAndTitles_data();
    void accessLevelsAndTitles();
    void settingsWrittenAtExitAndReadBack();
    void singleInstanceGuard();
    void unreadableSettingsAreLeftAsTheyAre();
    void storedWindowSizeFitsTheScreen();
    void fileErrorsSayWhichFileAndWhy();
    void portZeroBecomesOneAndIsWrittenAtOnce();
};

void StartupTest::recentFileList() {
    // A hand-edited list with a gap and a repeat loads in order, once each.
    TempHome home;
    QVERIFY(
        home.Write("RP57Win.ini", "[Recent File List]\nFile1=x.R57\nFile3=y.R57\nFile4=x.R57\n"));
    HRecentFileList list(4);
    list.Load(HIniFile(home.File("RP57Win.ini")));
    QCOMPARE(list.Entries(), (std::vector<std::string>{"x.R57", "y.R57"}));
}

void StartupTest::accessLevelsAndTitles_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kAccessRows)); ++i)
        QTest::newRow(kAccessRows[i].name) << i;
}

void StartupTest::accessLevelsAndTitles() {
    QFETCH(int, row);
    const AccessRow& r = kAccessRows[row];
    const QStringList words =
        *r.words ? QString::fromLatin1(r.words).split(QLatin1Char('|')) : QStringList();
    std::vector<std::string> plain;
    for (const QString& word : words)
        plain.push_back(word.toStdString());
    const HCommandLine line = HCommandLine::Parse(plain);
    QCOMPARE(line.RequestedAccessLevel(), r.requested);
    QCOMPARE(line.FileName(), std::string(r.fileName));

    // The program asks for the code of a requested level only.
    TempHome home;
    ModalDriver<CPasswordDialog> password([&](CPasswordDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("edit1073"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(edit && buttons && dialog->windowTitle() == QStringLiteral("Password"));
        const bool cancel = r.typed == kCancel;
        QTest::keyClicks(edit, QString::fromLatin1(cancel ? "tovak" : r.typed));
        buttons->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
    });
    MessageAnswers messages;
    CRP57App app;
    QVERIFY(app.InitInstance(words));
    QCOMPARE(password.Fired(), r.requested > 0);
    QCOMPARE(app.AccessLevel(), r.granted);
    // Message 142 warns about Manufacture Mode only when level 1 was granted; a
    // named file that does not exist is reported (32) and the program goes on
    // with its start-up image.
    if (r.granted == 1) {
        QCOMPARE(messages.asked, QStringList{QStringLiteral("message142")});
        QVERIFY(messages.LastText().contains(QStringLiteral("Manufacture Mode")) &&
                !messages.LastText().contains(QLatin1Char('\r')));
    } else {
        QCOMPARE(messages.asked.join(' '), *r.fileName ? "message32" : "");
    }
    CMainFrame* frame = app.MainFrame();
    QVERIFY(frame && frame->isVisible());
    const int titleIds[] = {128, 130, 144};
    QCOMPARE(frame->AppTitle(), QString::fromStdString(HStringTable::Get(titleIds[r.granted])));
    QVERIFY(frame->windowTitle().contains(frame->AppTitle()));
    app.ExitInstance();
}

void StartupTest::settingsWrittenAtExitAndReadBack() {
    TempHome home;
    {
        // A fresh start writes every key at exit.
        CRP57App app;
        QVERIFY(app.InitInstance({}));
        QCOMPARE(app.MainFrame()->size(), QSize(860, 640));
        QCOMPARE(app.ExitInstance(7), 7);
    }
    QCOMPARE(Values(home, "Initialize", kWindowKeys), QStringLiteral("1 9600 860 640"));
    // The model of the start-up image: no band chosen gives a VHF (0) set.
    QCOMPARE(Values(home, "End Status", kModelKeys), QStringLiteral("0 0 0"));
    // At level 0 on the start-up image (no file loaded, no option unit) the
    // view's model rules switch off TAG, Encr, Ext Mic and DTMF ANI Monitor.
    QCOMPARE(ItemFlags(home), QStringLiteral("110111111101111100-"));

    // Values read (16 is the highest port; the baud rate is taken without a
    // range check), changed while running, and written back at exit; keys the
    // program does not know are kept.
    QVERIFY(home.Write("RP57Win.ini", "[Initialize]\r\nCOM_PORT=16\r\nBAUDRATE=4800\r\n"
                                      "CX=1000\r\nCY=700\r\n"
                                      "[ITEM]\r\nITEM3=0\r\nITEM16=0\r\n"
                                      "[End Status]\r\nProductType=1\r\nFreq.Band=2\r\n"
                                      "LCDType=1\r\n[Dealer]\r\nName=Keep me\r\n"));
    {
        CRP57App app;
        QVERIFY(app.InitInstance({}));
        QCOMPARE(Line({app.ComPort(), app.BaudRate(), app.Item(3), app.Item(15)}),
                 QStringLiteral("16 4800 0 1"));
        CMainFrame* frame = app.MainFrame();
        QCOMPARE(frame->size(), FittedToScreen(QSize(1000, 700)));
        app.SetComPort(20);
        app.SetBaudRate(38400);
        for (int id :
             {32821, 32824, 32824, 32826}) // Item: Pri off, Frequency off and on, Power off
            QVERIFY(frame->RunCommand(id));
        frame->resize(1100, 760);
    }
    QCOMPARE(Values(home, "Initialize", kWindowKeys), QStringLiteral("20 38400 1100 760"));
    // The image came from a default file, so TAG is on; Encr, Ext Mic and DTMF
    // ANI Monitor stay off (no option unit, level 0).
    QCOMPARE(ItemFlags(home), QStringLiteral("011010111101111100-"));
    // The image was made for the model read, and its model is written back.
    QCOMPARE(Values(home, "End Status", kModelKeys), QStringLiteral("1 2 1"));
    QCOMPARE(Values(home, "Dealer", {"Name"}), QStringLiteral("Keep me"));
}

void StartupTest::singleInstanceGuard() {
    TempHome home;
    // A socket file left by a crashed run does not block the start.
    const QString key =
        HSingleInstance::KeyFor(HProgramDir::ExecutableName(), HProgramDir::DataDir());
    const QString path = QDir::tempPath() + QLatin1Char('/') + key;
    QFile::remove(path);
    QVERIFY(MakeStaleSocket(path));
    CRP57App first;
    QVERIFY(first.InitInstance({}));
    // A second start raises the first and ends before asking for a code or
    // writing the settings.
    first.MainFrame()->showMinimized();
    QSignalSpy raised(&first, &CRP57App::MainWindowRaised);
    const QByteArray before = home.Read("RP57Win.ini");
    {
        CRP57App second;
        ModalDriver<CPasswordDialog> password([](CPasswordDialog* dialog) { dialog->reject(); });
        QVERIFY(!second.InitInstance({QStringLiteral("/all")}));
        QVERIFY(!password.Fired() && !second.MainFrame());
        second.ExitInstance();
    }
    QCOMPARE(home.Read("RP57Win.ini"), before);
    QVERIFY(raised.wait(5000));
    QVERIFY(!first.MainFrame()->isMinimized());
    first.ExitInstance();
    // With the first gone a new start runs, and holds the guard already while
    // it asks for the access code.
    CRP57App third;
    QSignalSpy raisedThird(&third, &CRP57App::MainWindowRaised);
    bool secondRan = true;
    bool raisedWhileAsking = false;
    ModalDriver<CPasswordDialog> password([&](CPasswordDialog* dialog) {
        CRP57App fourth;
        secondRan = fourth.InitInstance({});
        fourth.ExitInstance();
        raisedWhileAsking = raisedThird.wait(5000);
        dialog->reject();
    });
    QVERIFY(third.InitInstance({QStringLiteral("-all")}));
    QVERIFY(password.Fired() && !secondRan && raisedWhileAsking);
    QCOMPARE(third.AccessLevel(), 0);
    third.ExitInstance();
}

void StartupTest::unreadableSettingsAreLeftAsTheyAre() {
    // Files the parser would read only in part, or not at all: each would lose
    // the recent files, items and window size if written back.
    const QByteArray kept = "[Initialize]\r\nCOM_PORT=5\r\nCX=1000\r\n[Recent File List]\r\n"
                            "File1=/data/a.R57\r\n";
    const QByteArray withNul = kept + QByteArray("\0[ITEM]\r\nITEM0=0\r\n", 18);
    QByteArray utf16("\xFF\xFE", 2);
    for (char c : kept)
        utf16 += QByteArray(1, c) + QByteArray(1, '\0');
    for (const QByteArray& content : {withNul, utf16}) {
        TempHome home;
        QVERIFY(home.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=trace.log\nLOG_LEVEL0=1\n"));
        QVERIFY(home.Write("RP57Win.ini", content));
        {
            CRP57App app;
            QVERIFY(app.InitInstance({}));
            QCOMPARE(app.ComPort(), 1);
            app.SetItem(0, 0);
            QCOMPARE(app.ExitInstance(), 0);
        }
        QCOMPARE(home.Read("RP57Win.ini"), content);
        QVERIFY(home.Read("trace.log")
                    .contains("settings file [" + home.File("RP57Win.ini") + "] cannot be read"));
    }
}

void StartupTest::storedWindowSizeFitsTheScreen() {
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini", "[Initialize]\r\nCX=100000\r\nCY=20000\r\n"));
    CRP57App app;
    QVERIFY(app.InitInstance({}));
    const QSize screen = QApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(app.MainFrame()->width(), std::max(screen.width(), 860));
    QCOMPARE(app.MainFrame()->height(), std::max(screen.height(), 640));
    app.ExitInstance();
}

void StartupTest::fileErrorsSayWhichFileAndWhy() {
    TempHome home;
    MessageAnswers messages;
    RunningApp run;
    QVERIFY(home.Write("short.R57", QByteArray(100, '\0')));
    QVERIFY(!run.doc->OpenFile(home.File("short.R57")));
    QCOMPARE(messages.asked.last(), QStringLiteral("message37"));
    QCOMPARE(messages.LastText(),
             HMessageBox::Text(37) + QStringLiteral("\n\nFile Name = ") + home.QPath("short.R57") +
                 QStringLiteral("\nThe file holds 100 bytes; a data file holds exactly 12703 "
                                "bytes."));
    // From the recent-file list: message 34 names the file already.
    run.doc->OpenRecentFile(home.Path().toStdString());
    QCOMPARE(messages.asked.last(), QStringLiteral("message34"));
    QVERIFY(messages.LastText().endsWith(QStringLiteral("\n\nThis is a folder, not a file.")));
    run.doc->OpenRecentFile(home.File("gone.R57"));
    QVERIFY(messages.LastText().endsWith(QStringLiteral("\n\nThe file does not exist.")));
    // A save into what is no file says so and leaves the link alone.
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), home.QPath("full.R57")));
    run.app.SetCurrentFilePath(home.File("full.R57"));
    QVERIFY(!run.doc->OnFileSave());
    QCOMPARE(messages.asked.last(), QStringLiteral("message35"));
    QVERIFY(messages.LastText().endsWith(
        QStringLiteral("\n\nThis is not a regular file (a device, pipe or socket).")));
    QVERIFY(QFileInfo(home.QPath("full.R57")).isSymLink());
}

void StartupTest::portZeroBecomesOneAndIsWrittenAtOnce() {
    TempHome home;
    QVERIFY(home.Write("RP57Win.ini", "[Initialize]\nCOM_PORT=0\n"));
    CRP57App app;
    QVERIFY(app.InitInstance({}));
    QCOMPARE(app.ComPort(), 1);
    // Before the program ends: the file is mended at the start.
    QCOMPARE(Values(home, "Initialize", {"COM_PORT"}), QStringLiteral("1"));
}

RP57_APP_TEST(StartupTest)

#include "StartupTest.moc"
