#pragma once
// The document: the one radio memory image of the process and its moves
// between memory and data files (start-up image, New for a chosen model,
// Open, Save, Save As, the ask-to-save question) and the raw image editor.
// The current data file path and the modified flag are process-wide values
// kept by the application object; the document reads and sets them there.
#include "CMainFrame.h"
#include "HDefaultFiles.h"
#include "HMemoryImage.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CRP57App;
class HDocumentHistory;

class CRP57Doc : public QObject {
    Q_OBJECT
public:
    // Model requests: the low four bits are a band (6: none chosen); 0x10 reads
    // the file named by the current data file path instead of a default file.
    static constexpr int kRequestReadCurrent = 0x10;
    static constexpr int kBandNone = 6;

    // Default data files in the program data directory, by product type (row)
    // and column, and the column a band looks its file up in.
    static constexpr const auto& kDefaultFiles = HDefaultFiles::kNames;
    static constexpr const auto& kLookupColumn = HDefaultFiles::kLookupColumn;

    CRP57Doc(CRP57App& app, CMainFrame& frame);
    ~CRP57Doc() override;

    [[nodiscard]] HMemoryImage& Image() { return m_image; }
    [[nodiscard]] const HMemoryImage& Image() const { return m_image; }
    // Edit > Undo and Redo over the image's changes.
    [[nodiscard]] HDocumentHistory& History() { return *m_history; }

    // Start-up: the data file named on the command line when there is one and
    // it opens; otherwise the start-up image (OnNewDocument). A file that
    // fails is reported and the program goes on with the start-up image.
    void Start(const std::string& commandLineFile);

    // The start-up image for the model in use when the program last ended.
    void OnNewDocument();
    // Makes the image for a request and product type (see the request bits).
    // A built-in image is made with `lcdType` so that its channels suit the
    // display. True when a data file was read.
    bool LoadForModel(int request, int productType, int lcdType);

    void OnFileNew();    // 57600: the "Model" dialog
    void OnFileOpen();   // 57601
    bool OnFileSave();   // 57603; true when the image reached the file
    bool OnFileSaveAs(); // 57604; true when the image reached the chosen file
    // A recent-file entry: no size pre-check, a wrong size is a read failure.
    void OpenRecentFile(const std::string& path);
    // Opens `path` as File > Open does once the path is chosen; true when the
    // image now holds the file.
    bool OpenFile(const std::string& path);

    // "Do you want to save changes ?": true lets the caller go on. Yes runs
    // Save As; if that does not save, the caller stops as for Cancel.
    // `discarded` tells whether the answer was No.
    bool SaveModified(bool* discarded = nullptr);

    // The raw image editor (File Data, Shift+F9) over a copy of the image.
    void OnFileData();

    // Titles the window with the current data file path.
    void UpdateTitle();
    [[nodiscard]] QString DocumentTitle() const;

    // The model the image holds, as section "End Status" keeps it.
    [[nodiscard]] CMainFrame::EndStatus EndStatusOfImage() const;
    // Writes the display type into the field of the image's product type.
    void WriteLcdType(int lcdType);

    [[nodiscard]] static std::string DefaultFilePath(std::string_view name);
    [[nodiscard]] static bool IsDefaultFileName(const std::string& path);

signals:
    // The image was replaced by a file or a new model: the next view refresh
    // follows a load.
    void ImageLoaded();

private:
    void InstallHandlers();
    // A file's image becomes the document: path, recent files, clean state, views.
    void TakeOpenedImage(const HMemoryImage& image, const std::string& path);
    // The Open or Save As file dialog; no path when it was cancelled.
    [[nodiscard]] std::optional<std::string> AskPath(bool save);
    // Reads `path` into the image with the messages of File > Open (32, 34, 37)
    // or, for `precheckSize` false, of a plain read (32, 34).
    bool ReadInto(const std::string& path, bool precheckSize);
    void AfterLoad();
    // `detail` (the data-file layer's lines on what was wrong) goes under the message.
    void ShowFileMessage(int id, const std::string& path, const std::string& detail = {});

    CRP57App& m_app;
    CMainFrame& m_frame;
    HMemoryImage m_image{};
    std::unique_ptr<HDocumentHistory> m_history;
};
