// Access level rules of the command line and the access code, and the
// recent-file list kept in the settings file.
#include "AppTestSupport.h"
#include "HAccessLevel.h"
#include "HCommandLine.h"
#include "HRecentFileList.h"

Q_DECLARE_METATYPE(std::vector<std::string>)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void accessLevelFromWords_data();
    void accessLevelFromWords();
    void accessCodeConfirmation();
    void recentFileList();
};

void CommandLineTest::accessLevelFromWords_data() {
    QTest::addColumn<std::vector<std::string>>("words");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("fileName");
    using W = std::vector<std::string>;
    QTest::newRow("none") << W{} << 0 << "";
    QTest::newRow("/manu") << W{"/manu"} << 1 << "";
    QTest::newRow("-MANU") << W{"-MANU"} << 1 << "";
    QTest::newRow("/all") << W{"/all"} << 2 << "";
    QTest::newRow("-ALL") << W{"-ALL"} << 2 << "";
    QTest::newRow("mixed /Manu") << W{"/Manu"} << 0 << "";
    QTest::newRow("mixed -All") << W{"-All"} << 0 << "";
    QTest::newRow("no slash") << W{"manu"} << 0 << "manu";
    QTest::newRow("switch and file") << W{"/manu", "file.r57"} << 0 << "file.r57";
    QTest::newRow("file and switch") << W{"file.r57", "/all"} << 0 << "file.r57";
    QTest::newRow("two switches") << W{"/all", "/manu"} << 0 << "";
    QTest::newRow("switch with blank") << W{"/manu "} << 0 << "/manu ";
    QTest::newRow("empty word first") << W{"", "/all"} << 0 << "";
    QTest::newRow("absolute path") << W{"/home/tech/radio.R57"} << 0 << "/home/tech/radio.R57";
    QTest::newRow("file at root") << W{"/a.r57"} << 0 << "/a.r57";
    QTest::newRow("double slash") << W{"//manu"} << 0 << "//manu";
    QTest::newRow("plain file") << W{"radio.R57"} << 0 << "radio.R57";
}

void CommandLineTest::accessLevelFromWords() {
    QFETCH(std::vector<std::string>, words);
    QFETCH(int, level);
    QFETCH(QString, fileName);
    const HCommandLine line = HCommandLine::Parse(words);
    QCOMPARE(line.RequestedAccessLevel(), level);
    QCOMPARE(QString::fromStdString(line.FileName()), fileName);
    // The rule reads the whole text, whatever produced it.
    QCOMPARE(HAccessLevel::FromCommandLine(line.Text()), level);
}

void CommandLineTest::accessCodeConfirmation() {
    using namespace HAccessLevel;
    QCOMPARE(Confirmed(1, true, "Workshop Entry"), 1);
    QCOMPARE(Confirmed(2, true, "tovak"), 2);
    // Cancel refuses even the right code; each level has its own, compared exactly.
    QCOMPARE(Confirmed(1, false, "Workshop Entry"), 0);
    QCOMPARE(Confirmed(2, false, "tovak"), 0);
    QCOMPARE(Confirmed(1, true, "tovak"), 0);
    QCOMPARE(Confirmed(2, true, "Workshop Entry"), 0);
    QCOMPARE(Confirmed(1, true, "workshop entry"), 0);
    QCOMPARE(Confirmed(1, true, "Workshop Entry "), 0);
    QCOMPARE(Confirmed(2, true, "Tovak"), 0);
    QCOMPARE(Confirmed(2, true, ""), 0);
    QCOMPARE(Confirmed(1, true, ""), 0);
    QCOMPARE(Confirmed(0, true, "tovak"), 0);
}

void CommandLineTest::recentFileList() {
    TempHome home;
    HRecentFileList list(4);
    for (const char* path : {"a.R57", "b.R57", "c.R57", "d.R57", "e.R57"})
        list.Add(path);
    QCOMPARE(list.Entries(), (std::vector<std::string>{"e.R57", "d.R57", "c.R57", "b.R57"}));
    list.Add("c.R57"); // again: to the front, not twice
    QCOMPARE(list.Entries(), (std::vector<std::string>{"c.R57", "e.R57", "d.R57", "b.R57"}));

    HIniFile ini(home.File("RP57Win.ini"));
    QVERIFY(ini.WriteString("Initialize", "COM_PORT", "3"));
    QVERIFY(list.Save(ini));
    QCOMPARE(ini.GetString("Recent File List", "File1", ""), std::string("c.R57"));
    QCOMPARE(ini.GetString("Recent File List", "File4", ""), std::string("b.R57"));
    QCOMPARE(ini.GetInt("Initialize", "COM_PORT", 0), 3); // other sections kept

    list.Remove(0);
    list.Remove(7); // out of range: nothing
    QVERIFY(list.Save(ini));
    QVERIFY(!ini.HasKey("Recent File List", "File4")); // the freed slot leaves the file

    HRecentFileList loaded(4);
    loaded.Load(HIniFile(home.File("RP57Win.ini")));
    QCOMPARE(loaded.Entries(), (std::vector<std::string>{"e.R57", "d.R57", "b.R57"}));

    // A hand-edited list with a gap and a repeat loads in order, once each.
    QVERIFY(
        home.Write("RP57Win.ini", "[Recent File List]\nFile1=x.R57\nFile3=y.R57\nFile4=x.R57\n"));
    loaded.Load(HIniFile(home.File("RP57Win.ini")));
    QCOMPARE(loaded.Entries(), (std::vector<std::string>{"x.R57", "y.R57"}));
}

RP57_APP_TEST(CommandLineTest)

#include "CommandLineTest.moc"
