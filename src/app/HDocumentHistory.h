#pragma once
// Undo and redo of the document's image (Edit > Undo, Edit > Redo). Every
// change is taken when it is finished: a command run from the window (an
// editor's OK, a paste, New, Upload, channel allocation ...) as one step named
// by the command, a change outside commands (a cell edit, a tick, a tone pick,
// the raw editor) as a step named by what changed. The modified flag follows
// the step: undoing back to the state the file holds clears it.
#include "HUndoHistory.h"

#include <QObject>

#include <optional>
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
    // current step holds it. An empty name is found from what changed. While
    // a command runs, its change is taken when it ends.
    void Checkpoint(const std::string& name = {});
    // The same for an image the document does not hold yet: the channel
    // grid's edits as save-edits will write them. Such a step is unsaved.
    void CheckpointImage(const HMemoryImage& image, const std::string& name = {});
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
    void Take(const HMemoryImage& image, bool clean, const std::string& name);
    void UpdateActions();

    CRP57App& m_app;
    CMainFrame& m_frame;
    CRP57Doc& m_document;
    HUndoHistory m_history;
    int m_commandDepth = 0;
    std::string m_commandName;
    bool m_restoring = false;
    // The grid's edits a running command made, taken when it ends.
    std::optional<HMemoryImage> m_pending;
};
