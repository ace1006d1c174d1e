#include "HHelpWindow.h"

#include "HLogPrint.h"
#include "HProgramDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QPointer<HHelpWindow> s_programWindow;

} // namespace

HHelpWindow* HHelpWindow::Show(std::uint32_t contextId, QWidget* owner) {
    QWidget* window = owner ? owner->window() : nullptr;
    HHelpWindow* help = nullptr;
    if (window) {
        help = window->findChild<HHelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    } else {
        help = s_programWindow;
    }
    if (!help) {
        // A child of the owner's window: usable while that window is modal,
        // and gone with it.
        help = new HHelpWindow(window);
        help->setAttribute(Qt::WA_DeleteOnClose);
        if (!window)
            s_programWindow = help;
    }
    help->OpenContext(contextId);
    help->show();
    help->raise();
    help->activateWindow();
    return help;
}

HHelpWindow::HHelpWindow(QWidget* parent) : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HHelpWindow"));
    setWindowTitle(QStringLiteral("RP57 Help"));
    setWindowFlag(Qt::Window);
    setModal(false);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    auto* forward = new QPushButton(QStringLiteral("&Forward"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {contents, back, forward, close})
        b->setAutoDefault(false);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this,
            [this] { OpenPage(QString::fromLatin1(kIndexPage)); });
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &HHelpWindow::close);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("RP57 Help")
                                       : QStringLiteral("RP57 Help - ") + title);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);
    resize(640, 560);
}

HHelpWindow::~HHelpWindow() = default;

QString HHelpWindow::HelpDirectory() {
    const std::string found = HProgramDir::FindShared(std::string("help/") + kIndexPage);
    if (!found.empty())
        return QFileInfo(QString::fromStdString(found)).absolutePath();
#ifdef RP57_BUILD_HELP_DIR
    // Programs run from the build tree (the tests) find the copy made there.
    const QString built = QStringLiteral(RP57_BUILD_HELP_DIR);
    if (QFileInfo::exists(built + QLatin1Char('/') + QLatin1String(kIndexPage)))
        return built;
#endif
    return {};
}

std::map<std::uint32_t, QString> HHelpWindow::ParseContexts(const QString& text) {
    std::map<std::uint32_t, QString> map;
    static const QRegularExpression pageName(
        QStringLiteral("^[A-Za-z0-9_-]+\\.html(#[A-Za-z0-9_-]+)?$"));
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (const qsizetype hash = line.indexOf(QLatin1Char('#'));
            hash == 0 || (hash > 0 && line.at(hash - 1).isSpace()))
            line.truncate(hash);
        const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() != 2)
            continue;
        bool ok = false;
        const qulonglong id = words[0].toULongLong(&ok, 0);
        // Only plain page names: a mapping never leads out of the help directory.
        if (!ok || id > 0xFFFFFFFFull || !pageName.match(words[1]).hasMatch())
            continue;
        map[static_cast<std::uint32_t>(id)] = words[1];
    }
    return map;
}

QString HHelpWindow::PageForContext(std::uint32_t contextId) {
    const QString dir = HelpDirectory();
    if (dir.isEmpty())
        return {};
    QFile file(dir + QLatin1Char('/') + QLatin1String(kContextFile));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto map = ParseContexts(QString::fromUtf8(file.readAll()));
    const auto it = map.find(contextId);
    return it == map.end() ? QString() : it->second;
}

bool HHelpWindow::OpenContext(std::uint32_t contextId) {
    m_contextId = contextId;
    const QString page = PageForContext(contextId);
    HLOG_D2("help context 0x%X -> [%s]", contextId,
            page.isEmpty() ? kIndexPage : page.toUtf8().constData());
    if (!page.isEmpty() && OpenPage(page))
        return true;
    OpenPage(QString::fromLatin1(kIndexPage));
    return false;
}

bool HHelpWindow::OpenPage(const QString& page) {
    const QString dir = HelpDirectory();
    const QString file = page.section(QLatin1Char('#'), 0, 0);
    if (dir.isEmpty() || !QFileInfo::exists(dir + QLatin1Char('/') + file)) {
        if (page == QLatin1String(kIndexPage) || dir.isEmpty())
            ShowMissing();
        return false;
    }
    QUrl url = QUrl::fromLocalFile(dir + QLatin1Char('/') + file);
    if (page.contains(QLatin1Char('#')))
        url.setFragment(page.section(QLatin1Char('#'), 1));
    m_browser->setSource(url);
    return true;
}

QString HHelpWindow::CurrentPage() const {
    const QUrl source = m_browser->source();
    return source.isEmpty() ? QString() : QFileInfo(source.toLocalFile()).fileName();
}

void HHelpWindow::ShowMissing() {
    HLOG_WR("%s", "help pages not found (help/index.html)");
    m_browser->setSource(QUrl());
    m_browser->setHtml(QStringLiteral(
        "<h2>Help is not installed</h2><p>The help pages (help/index.html) were not found in "
        "the program data directory nor in the installed share/rp57 directory.</p>"));
}
