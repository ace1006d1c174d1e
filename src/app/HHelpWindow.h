#pragma once
// The help window: the HTML help pages shipped with the program, opened at the
// page of a help context id (contexts.txt maps ids to pages) or at the index
// page when no page is mapped. One window per owner is reused.
#include <QDialog>
#include <QString>

#include <cstdint>
#include <map>

class QTextBrowser;

class HHelpWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kIndexPage = "index.html";
    static constexpr const char* kContextFile = "contexts.txt";

    // Opens (or brings forward) the help window of `owner`'s window at the
    // page of `contextId`. A null owner gives one program-wide window.
    static HHelpWindow* Show(std::uint32_t contextId, QWidget* owner);

    explicit HHelpWindow(QWidget* parent = nullptr);
    ~HHelpWindow() override;

    // Shows the page mapped to the id, else the index page. True when the id
    // had a page of its own.
    bool OpenContext(std::uint32_t contextId);
    // Shows a page of the help directory by file name.
    bool OpenPage(const QString& page);

    [[nodiscard]] std::uint32_t ContextId() const { return m_contextId; }
    // File name of the page shown ("index.html"); empty when none is.
    [[nodiscard]] QString CurrentPage() const;
    [[nodiscard]] QTextBrowser* Browser() const { return m_browser; }

    // Where the pages are: the shipped help directory found beside the
    // program data or in the install; empty when the pages are missing.
    [[nodiscard]] static QString HelpDirectory();
    // The page mapped to a context id in contexts.txt; empty when none.
    [[nodiscard]] static QString PageForContext(std::uint32_t contextId);
    // Reads a mapping text: "<id> <page>" per line (id decimal or 0x hex),
    // '#' starts a comment. Malformed lines are skipped.
    [[nodiscard]] static std::map<std::uint32_t, QString> ParseContexts(const QString& text);

private:
    void ShowMissing();

    QTextBrowser* m_browser;
    std::uint32_t m_contextId = 0;
};
