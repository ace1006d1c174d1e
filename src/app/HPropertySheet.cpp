#include "HPropertySheet.h"

#include "HDialog.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HPropertyPage.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <utility>

HPropertySheet::HPropertySheet(const QString& caption, std::uint32_t sheetId, QWidget* parent)
    : QDialog(parent), m_sheetId(sheetId), m_tabs(new QTabWidget(this)),
      m_status(new QStatusBar(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("HPropertySheet%1").arg(sheetId));
    setWindowTitle(caption);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    // Every tab in full: the sheet grows to its tabs rather than scrolling them.
    m_tabs->tabBar()->setUsesScrollButtons(false);
    m_tabs->tabBar()->setElideMode(Qt::ElideNone);
    m_ok->setObjectName(QStringLiteral("button1"));
    m_cancel->setObjectName(QStringLiteral("button2"));
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_ok, &QPushButton::clicked, this, &HPropertySheet::accept);
    connect(m_cancel, &QPushButton::clicked, this, &HPropertySheet::reject);

    m_status->setObjectName(QStringLiteral("sheetStatus"));
    m_status->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        m_panes[i] = new QLabel(m_status);
        m_panes[i]->setObjectName(QStringLiteral("statusPane%1").arg(i));
        m_panes[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    m_panes[1]->setMinimumWidth(120);
    m_status->addWidget(m_panes[0], 1);
    m_status->addWidget(m_panes[1], 0);
    ShowPanes();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [this] { HHelpWindow::Show(CurrentHelpContext(), this); });
}

HPropertySheet::~HPropertySheet() = default;

void HPropertySheet::AddPage(HPropertyPage* page) {
    page->SetSheet(this);
    // The page's margins inside the tab.
    auto* holder = new QWidget(m_tabs);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(12, 12, 12, 12);
    page->setParent(holder);
    layout->addWidget(page);
    layout->addStretch(1);
    m_tabs->addTab(holder, QString::fromStdString(page->Editor().Caption()));
    m_pages.push_back(page);
    page->Open();
}

HPropertyPage* HPropertySheet::Page(int index) const {
    return index >= 0 && index < PageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

HPropertyPage* HPropertySheet::ActivePage() const {
    return Page(m_tabs->currentIndex());
}

void HPropertySheet::SetActivePage(int index) {
    m_tabs->setCurrentIndex(index);
}

int HPropertySheet::SetStatusMessage(int stringId) {
    const int previous = m_statusText.Show(stringId);
    ShowPanes();
    return previous;
}

void HPropertySheet::SetStatusText(std::string_view text) {
    m_statusText.ShowText(text);
    ShowPanes();
}

QString HPropertySheet::StatusPaneText(int pane) const {
    return pane == 0 || pane == 1 ? m_panes[pane]->text() : QString();
}

void HPropertySheet::ShowPanes() {
    m_panes[0]->setText(QString::fromStdString(m_statusText.Panes().first));
    m_panes[1]->setText(QString::fromStdString(m_statusText.Panes().second));
}

std::uint32_t HPropertySheet::CurrentHelpContext() const {
    HPropertyPage* page = ActivePage();
    if (!page)
        return kDialogHelpBase + m_sheetId;
    return page->HelpContextFor(focusWidget());
}

void HPropertySheet::accept() {
    HLOG_D1("[FUNC IN]HPropertySheet::OnOK");
    // Each image the pages write, as it was, so a refused page undoes the
    // pages confirmed before it.
    std::map<HMemoryImage*, HMemoryImage> before;
    for (HPropertyPage* page : m_pages)
        if (HMemoryImage* image = page->Editor().Context().image)
            before.emplace(image, *image);
    for (int i = 0; i < PageCount(); ++i) {
        if (m_pages[static_cast<std::size_t>(i)]->Confirm() != 0) {
            for (auto& [image, copy] : before)
                *image = copy;
            SetActivePage(i);
            HLOG_D1("[FUNC OUT]HPropertySheet::OnOK");
            return;
        }
    }
    QDialog::accept();
    HLOG_D1("[FUNC OUT]HPropertySheet::OnOK");
}

void HPropertySheet::reject() {
    HLOG_D1("[FUNC IN]HPropertySheet::OnCancel");
    QDialog::reject();
    HLOG_D1("[FUNC OUT]HPropertySheet::OnCancel");
}

void HPropertySheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Keys typed at once go to the page, not to its tab.
    if (!std::exchange(m_shownOnce, true))
        if (HPropertyPage* page = ActivePage())
            if (QWidget* first = page->FirstInputControl())
                first->setFocus();
}

void HPropertySheet::keyPressEvent(QKeyEvent* event) {
    if (!PressFocusedButtonOnEnter(*this, event))
        QDialog::keyPressEvent(event);
}
