#include "HDocumentHistory.h"

#include <utility>

#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HChangeName.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HQtText.h"
#include "HTransferSteps.h"

#include <QAction>
#include <QKeySequence>

HDocumentHistory::HDocumentHistory(CRP57App& app, CMainFrame& frame, CRP57Doc& document)
    : QObject(nullptr), m_app(app), m_frame(frame), m_document(document) {
    connect(&m_app, &CRP57App::ModifiedFlagChanged, this, [this] { Checkpoint(); });
    connect(&m_frame, &CMainFrame::ViewRefreshRequested, this,
            &HDocumentHistory::CheckpointDocument);
    connect(&m_frame, &CMainFrame::CommandStarted, this, &HDocumentHistory::OnCommandStarted);
    connect(&m_frame, &CMainFrame::CommandFinished, this, &HDocumentHistory::OnCommandFinished);
    if (QAction* redo = m_frame.CommandAction(HCmd::kEditRedo))
        redo->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Reset();
}

void HDocumentHistory::Reset() {
    m_history.Reset(m_document.Image(), m_app.CurrentFilePath(), m_app.ModifiedFlag() == 0);
    UpdateActions();
}

void HDocumentHistory::Checkpoint(const std::string& name) {
    if (m_restoring || m_commandDepth > 0)
        return;
    HMemoryImage image = m_document.Image();
    const bool edited = m_unsavedEdits && m_unsavedEdits(image);
    Take(image, !edited && m_app.ModifiedFlag() == 0, name);
}

void HDocumentHistory::CheckpointDocument() {
    if (m_restoring || m_commandDepth > 0)
        return;
    Take(m_document.Image(), m_app.ModifiedFlag() == 0, {});
}

void HDocumentHistory::Take(const HMemoryImage& image, bool clean, const std::string& name) {
    const std::string step =
        name.empty() ? HChangeName::Describe(m_history.Current().image, image) : name;
    if (m_history.Record(image, m_app.CurrentFilePath(), clean, step)) {
        HLOG_D1("undo step [%s]", step.c_str());
        // A grid edit is a change now, though it reaches the document only
        // when the view saves its edits; the flag must not take a step itself.
        if (!clean && m_app.ModifiedFlag() == 0) {
            const bool restoring = std::exchange(m_restoring, true);
            m_app.SetModifiedFlag(1);
            m_restoring = restoring;
        }
    }
    UpdateActions();
}

void HDocumentHistory::Saved() {
    m_history.MarkSaved(m_app.CurrentFilePath());
}

void HDocumentHistory::OnCommandStarted(int id) {
    if (m_commandDepth++ > 0)
        return;
    m_commandName.clear();
    if (const HCommandRow* row = HMainCommands::Find(id)) {
        QString text = ToQString(row->text);
        text.remove(QLatin1Char('&'));
        if (text.endsWith(QStringLiteral("...")))
            text.chop(3);
        m_commandName = text.toStdString();
    }
}

void HDocumentHistory::OnCommandFinished(int /*id*/) {
    if (m_commandDepth == 0 || --m_commandDepth > 0)
        return;
    const std::string name = m_commandName.empty() ? std::string("Edit") : m_commandName;
    m_commandName.clear();
    Checkpoint(name);
}

void HDocumentHistory::Undo() {
    if (!m_history.CanUndo())
        return;
    HLOG_D1("undo [%s]", m_history.UndoName().c_str());
    Restore(m_history.Undo());
}

void HDocumentHistory::Redo() {
    if (!m_history.CanRedo())
        return;
    HLOG_D1("redo [%s]", m_history.RedoName().c_str());
    Restore(m_history.Redo());
}

void HDocumentHistory::Restore(const HUndoHistory::State& state) {
    m_restoring = true;
    m_document.Image() = state.image;
    m_app.SetCurrentFilePath(state.path);
    m_app.SetModifiedFlag(state.clean ? 0 : 1);
    m_document.UpdateTitle();
    m_frame.SetSignallingMenuMode(
        static_cast<int>(HTransferSteps::ReadSignallingMode(m_document.Image())));
    m_frame.SendViewRefresh();
    // The note told of the step now undone (or of the one before a redo).
    m_frame.ShowStatusNote({});
    m_restoring = false;
    UpdateActions();
}

void HDocumentHistory::UpdateActions() {
    const auto install = [this](int id, bool can, const std::string& name, const QString& verb,
                                void (HDocumentHistory::*step)()) {
        if (QAction* action = m_frame.CommandAction(id))
            action->setText(can ? verb + QLatin1Char(' ') + ToQString(name) : verb);
        if (can)
            m_frame.SetCommandHandler(id, [this, step] { (this->*step)(); });
        else
            m_frame.SetCommandHandler(id, {});
    };
    install(HCmd::kEditUndo, m_history.CanUndo(), m_history.UndoName(), QStringLiteral("&Undo"),
            &HDocumentHistory::Undo);
    install(HCmd::kEditRedo, m_history.CanRedo(), m_history.RedoName(), QStringLiteral("&Redo"),
            &HDocumentHistory::Redo);
}
