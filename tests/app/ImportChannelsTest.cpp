// File > Import Channels in the real program, offscreen: the file dialog,
// the preview by channel and column, OK as one undo step named by the
// command, and Cancel or a file that is no channel list changing nothing.
#include "AppTestSupport.h"
#include "HChannels.h"
#include "HImportChannelsDlg.h"

namespace {

// A VHF mobile set with ten channels of its own in one group, saved in `home`.
std::string SavedFleet(const TempHome& home) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels m;
    m.Load(image);
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, HChannelTables::kGroupChannels, g == 0 ? 10 : 0);
    m.NormalizeGroups();
    for (int c = 0; c < 10; ++c) {
        m.SetField(c, HChannelTables::kFieldInUse, 1);
        m.SetFrequency(c, 0, 146000000 + 25000LL * c);
        m.SetTag(c, "CH" + std::to_string(c + 1));
    }
    m.Save(image);
    const std::string path = home.File("fleet.R57");
    return HDataFile::Write(path, image).Ok() ? path : std::string();
}

const QString kImportFile = QStringLiteral("ImportChannelsFile");

struct Preview {
    QStringList rows; // "channel|column|now|imported"
    QString summary;
    QString problems;
    bool okEnabled = false;
};

Preview Read(HImportChannelsDlg* d) {
    Preview p;
    const QTableWidget* table = d->Changes();
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        p.rows << cells.join(QLatin1Char('|'));
    }
    p.summary = d->SummaryLabel()->text();
    p.problems = d->Problems()->toPlainText();
    p.okEnabled = d->Buttons()->button(QDialogButtonBox::Ok)->isEnabled();
    return p;
}

QString UndoText(const RunningApp& run) {
    return run.frame->CommandAction(HCmd::kEditUndo)->text();
}

} // namespace

class ImportChannelsTest : public QObject {
    Q_OBJECT
private slots:
    void previewThenOneUndoStep();
    void cancelAndBadFilesChangeNothing();
};

void ImportChannelsTest::previewThenOneUndoStep() {
    TempHome home;
    const std::string data = SavedFleet(home);
    QVERIFY(!data.empty());
    QVERIFY(home.Write("list.csv", "Chn;TAG;FREQUENCY Receive\n"
                                   "2;GATE;147.00000\n"
                                   "3;;not a frequency\n"
                                   "9;DOCK;146.50000\n"));
    RunningApp run;
    QVERIFY(run.doc->OpenFile(data));
    const HMemoryImage before = run.doc->Image();
    QVERIFY(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled());

    FileChoice choose(kImportFile, home.QPath("list.csv"));
    Preview seen;
    ModalDriver<HImportChannelsDlg> preview(
        [&seen](HImportChannelsDlg* d) {
            seen = Read(d);
            SaveShot(d, QStringLiteral("import"));
            d->accept();
        },
        QStringLiteral("ImportChannelsDialog"));
    QVERIFY(run.frame->RunCommand(HCmd::kImportChannels));
    QVERIFY(choose.Fired());
    QVERIFY(preview.Fired());

    // By channel and column, as the channel list names them.
    QCOMPARE(seen.rows.filter(QStringLiteral("2|TAG|")),
             QStringList{QStringLiteral("2|TAG|CH2|GATE")});
    QCOMPARE(seen.rows.filter(QStringLiteral("2|FREQUENCY Receive|")),
             QStringList{QStringLiteral("2|FREQUENCY Receive|146.02500|147.00000")});
    QCOMPARE(seen.rows.filter(QStringLiteral("9|TAG|")),
             QStringList{QStringLiteral("9|TAG|CH9|DOCK")});
    QVERIFY(seen.rows.filter(QRegularExpression(QStringLiteral("^3\\|"))).isEmpty());
    QVERIFY2(seen.problems.startsWith(QStringLiteral("Line 3: FREQUENCY Receive does not take")),
             qPrintable(seen.problems));
    QVERIFY2(seen.summary.endsWith(QStringLiteral("(channels: 2); rows skipped: 1.")),
             qPrintable(seen.summary));
    QVERIFY(seen.okEnabled);

    // The document holds what rp57cli import makes of the same files.
    QProcess cli;
    cli.start(QStringLiteral(RP57CLI_PATH),
              {QStringLiteral("import"), QString::fromStdString(data), home.QPath("list.csv"),
               QStringLiteral("-o"), home.QPath("cli.R57")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QByteArray imported = home.Read("cli.R57");
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(run.doc->Image().data()),
                        static_cast<qsizetype>(run.doc->Image().size())),
             imported);
    QVERIFY(run.doc->Image() != before);
    QCOMPARE(run.app.ModifiedFlag(), 1);
    // The status bar names the file read and what it changed, until Undo.
    QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Imported ") +
                                                   home.QPath("list.csv") + QStringLiteral(": ") +
                                                   seen.summary);

    // One step, named by the command.
    QCOMPARE(UndoText(run), QStringLiteral("&Undo Import Channels"));
    QVERIFY(run.frame->RunCommand(HCmd::kEditUndo));
    QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Ready"));
    QVERIFY(run.doc->Image() == before);
    QCOMPARE(run.app.ModifiedFlag(), 0);
    QVERIFY(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled());
    QVERIFY(run.frame->RunCommand(HCmd::kEditRedo));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(run.doc->Image().data()),
                        static_cast<qsizetype>(run.doc->Image().size())),
             imported);
}

void ImportChannelsTest::cancelAndBadFilesChangeNothing() {
    TempHome home;
    const std::string data = SavedFleet(home);
    QVERIFY(home.Write("list.csv", "Chn,TAG\n4,ROOF\n"));
    QVERIFY(home.Write("notes.csv", "shopping,list\nmilk,2\n"));
    RunningApp run;
    QVERIFY(run.doc->OpenFile(data));
    const HMemoryImage before = run.doc->Image();
    const auto unchanged = [&](const char* what) {
        QVERIFY2(run.doc->Image() == before, what);
        QVERIFY2(!run.frame->CommandAction(HCmd::kEditUndo)->isEnabled(), what);
        QVERIFY2(run.app.ModifiedFlag() == 0, what);
    };

    // Cancel in the preview.
    {
        FileChoice choose(kImportFile, home.QPath("list.csv"));
        QStringList rows;
        ModalDriver<HImportChannelsDlg> preview(
            [&rows](HImportChannelsDlg* d) {
                rows = Read(d).rows;
                d->reject();
            },
            QStringLiteral("ImportChannelsDialog"));
        QVERIFY(run.frame->RunCommand(HCmd::kImportChannels));
        QVERIFY(preview.Fired());
        QCOMPARE(rows, QStringList{QStringLiteral("4|TAG|CH4|ROOF")});
        unchanged("preview cancelled");
    }
    // Cancel in the file dialog.
    {
        FileChoice cancel(kImportFile, QString());
        QVERIFY(run.frame->RunCommand(HCmd::kImportChannels));
        QVERIFY(cancel.Fired());
        unchanged("file dialog cancelled");
    }
    // No channel list, and no regular file: a message that says so.
    const QString notes = home.QPath("notes.csv");
    for (const QString& name : {notes, QStringLiteral("/dev/null")}) {
        MessageAnswers answers(QMessageBox::Ok);
        FileChoice choose(kImportFile, name);
        QVERIFY(run.frame->RunCommand(HCmd::kImportChannels));
        QVERIFY(choose.Fired());
        const QString expected = name == notes ? QStringLiteral("is not a channel list")
                                               : QStringLiteral("Problem opening file");
        QVERIFY2(answers.texts.join(QLatin1Char('|')).contains(expected),
                 qPrintable(answers.texts.join(QLatin1Char('|'))));
        unchanged(qPrintable(name));
    }
}

RP57_APP_TEST(ImportChannelsTest)
#include "ImportChannelsTest.moc"
