#pragma once
// Undo and redo of the document's image (Edit > Undo, Edit > Redo). Every
// change is taken when it is finished: a command run from the window (an
// editor's OK, a paste, New, Upload, channel allocation ...) as one step named
// by the command, a change outside commands (a cell edit, a tick, a tone pick,
// the raw editor) as a step named by what changed. The modified flag follows
// the step: undoing back to the state the file holds clears it.
#include "HUndoHistory.h"

#include <QObject>

#include <functional>
#include <string>

class CMainFrame;
class CRP57App;
class CRP57Doc;

class HDocumentHistory : public QObject {
    Q_OBJECT
public:
    HDocumentHistory(CRP57App& app, CMainFrame& frame, CRP57Doc& document);

    // The image as it is now is the only state (start-up, Open).
    void Reset();
    // Takes a change of the image as a step; nothing when the image is as the
    // current step holds it. The image is the document's with the channel
    // grid's edits that save-edits has not written yet: a cell edit is a step
    // before it reaches the document, and a step taken later must hold it.
    // An empty name is found from what changed. While a command runs, its
    // change is taken when it ends.
    void Checkpoint(const std::string& name = {});
    // How the grid's unsaved edits are laid over an image: true when they
    // changed it. The view installs it; without it the document is the image.
    void SetUnsavedEdits(std::function<bool(HMemoryImage&)> apply) {
        m_unsavedEdits = std::move(apply);
    }
    // The name of the step the running command makes, instead of its menu text.
    void NameRunningCommand(const std::string& name) { m_commandName = name; }
    // The image was written to the current data file.
    void Saved();

    void Undo();
    void Redo();

    [[nodiscard]] const HUndoHistory& History() const { return m_history; }

private:
    void OnCommandStarted(int id);
    void OnCommandFinished(int id);
    void Restore(const HUndoHistory::State& state);
    // A refresh drops the grid's unsaved edits: the document alone is the image.
    void CheckpointDocument();
    void Take(const HMemoryImage& image, bool clean, const std::string& name);
    void UpdateActions();

    CRP57App& m_app;
    CMainFrame& m_frame;
    CRP57Doc& m_document;
    HUndoHistory m_history;
    int m_commandDepth = 0;
    std::string m_commandName;
    bool m_restoring = false;
    std::function<bool(HMemoryImage&)> m_unsavedEdits;
};
