#include "HImportChannelsDlg.h"

#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HStringTable.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { kChannel, kColumn, kNow, kImported, kColumns };

} // namespace

HImportChannelsDlg::HImportChannelsDlg(const HChannelImport::HImportResult& result,
                                       const QString& fileName, QWidget* parent)
    : QDialog(parent), m_summary(new QLabel(this)), m_changes(new QTableWidget(0, kColumns, this)),
      m_problems(new QPlainTextEdit(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("ImportChannelsDialog"));
    setWindowTitle(QStringLiteral("Import Channels"));

    auto* file = new QLabel(QStringLiteral("From %1").arg(fileName), this);
    file->setObjectName(QStringLiteral("importFile"));
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_summary->setObjectName(QStringLiteral("importSummary"));
    m_summary->setText(ToQString(HChannelImport::Summary(result)));
    m_summary->setWordWrap(true);

    m_changes->setObjectName(QStringLiteral("importChanges"));
    m_changes->setHorizontalHeaderLabels({QStringLiteral("Ch"), QStringLiteral("Column"),
                                          QStringLiteral("Now"), QStringLiteral("Imported")});
    m_changes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_changes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_changes->verticalHeader()->hide();
    m_changes->horizontalHeader()->setStretchLastSection(true);
    m_changes->setRowCount(static_cast<int>(result.changes.size()));
    int row = 0;
    for (const HChannelImport::HImportChange& change : result.changes) {
        QString imported = ToQString(change.after);
        if (!change.typed.empty())
            imported += QStringLiteral("  (the file says %1)").arg(ToQString(change.typed));
        const QString cells[kColumns] = {QString::number(change.channel), ToQString(change.column),
                                         ToQString(change.before), imported};
        for (int col = 0; col < kColumns; ++col)
            m_changes->setItem(row, col, new QTableWidgetItem(cells[col]));
        ++row;
    }
    m_changes->resizeColumnsToContents();

    // The rows skipped and the columns left out, each on a line of its own.
    m_problems->setObjectName(QStringLiteral("importProblems"));
    m_problems->setReadOnly(true);
    QStringList problems;
    for (const HChannelImport::HImportIssue& issue : result.skipped)
        problems << ToQString(HChannelImport::IssueLine(issue));
    for (const std::string& note : result.notes)
        problems << ToQString(note);
    m_problems->setPlainText(problems.join(QLatin1Char('\n')));
    m_problems->setMaximumHeight(fontMetrics().lineSpacing() * 7);
    auto* problemsLabel = new QLabel(QStringLiteral("Not imported:"), this);
    problemsLabel->setBuddy(m_problems);
    problemsLabel->setVisible(!problems.isEmpty());
    m_problems->setVisible(!problems.isEmpty());

    // Nothing to apply: only Cancel (which then says Close) makes sense.
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(result.changed);
    if (!result.changed)
        m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Close"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(m_summary);
    layout->addWidget(m_changes, 1);
    layout->addWidget(problemsLabel);
    layout->addWidget(m_problems);
    layout->addWidget(m_buttons);
    resize(640, 460);
}

void HImportChannelsDlg::Install(CMainFrame& frame, CRP57App& app) {
    frame.SetCommandHandler(HCmd::kImportChannels,
                            [&frame, &app] { OnImportChannels(frame, app); });
}

void HImportChannelsDlg::OnImportChannels(CMainFrame& frame, CRP57App& app) {
    CRP57Doc* doc = app.Document();
    if (!doc)
        return;
    HLOG_D1("[FUNC IN]OnImportChannels");
    // The cell being edited belongs to the image the import starts from.
    frame.SendViewSaveData();
    QFileDialog chooser(&frame, QStringLiteral("Import Channels"));
    chooser.setObjectName(QStringLiteral("ImportChannelsFile"));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters({QStringLiteral("text Files(*.csv)"), QStringLiteral("All Files (*)")});
    if (app.CurrentFilePath() != CRP57App::kNoFile)
        chooser.setDirectory(QFileInfo(ToQString(app.CurrentFilePath())).absolutePath());
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        HLOG_D1("[FUNC OUT]OnImportChannels cancelled");
        return;
    }
    const QString path = chooser.selectedFiles().constFirst();
    const HChannelImport::HImportResult result =
        HChannelImport::ImportFile(doc->Image(), path.toStdString(), app.AccessLevel());
    if (!result.ok) {
        HMessageBox::Show(&frame, result.messageId, QMessageBox::Critical, QMessageBox::Ok,
                          result.args, result.detail);
        HLOG_D1("[FUNC OUT]OnImportChannels refused");
        return;
    }
    bool accepted = false;
    {
        HImportChannelsDlg preview(result, QFileInfo(path).fileName(), &frame);
        accepted = preview.exec() == QDialog::Accepted;
    }
    if (accepted && result.changed) {
        // One change of the image while the command runs: the history takes
        // it as one step named by the command.
        doc->Image() = result.image;
        app.SetModifiedFlag(1);
        frame.SendViewRefresh();
    }
    if (accepted)
        frame.ShowStatusNote(ToQString(HStringTable::Format(
            HStringTable::kNoteImported, {path.toStdString(), HChannelImport::Summary(result)})));
    HLOG_D1("[FUNC OUT]OnImportChannels %d", accepted ? 1 : 0);
}
