#include "CVisibleDlg.h"

#include "CRP57App.h"
#include "HHardwareGroup.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HOptionGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "HEditor.h"

CVisibleDlg::CVisibleDlg(CRP57App& app, const HMemoryImage* image, QWidget* parent)
    : QDialog(parent), m_app(app), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    HLOG_D1("[FUNC IN]CVisibleDlg::OnInitDialog");
    setObjectName(QStringLiteral("CVisibleDlg"));
    setWindowTitle(QStringLiteral("Visible"));
    m_ok->setObjectName(QStringLiteral("button1"));
    m_cancel->setObjectName(QStringLiteral("button2"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CVisibleDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CVisibleDlg::reject);

    // Three columns in the order of the View > Item menu, read down.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    constexpr int kRows = 6;
    for (int i = 0; i < kItems; ++i) {
        auto* check =
            new QCheckBox(QString::fromLatin1(kLabels[static_cast<std::size_t>(i)]), this);
        check->setObjectName(QStringLiteral("check%1").arg(kFirstCheckId + i));
        check->setChecked(app.Item(i) == 1);
        check->setEnabled(ItemAllowed(i, image, app.AccessLevel()));
        grid->addWidget(check, i % kRows, i / kRows);
        m_checks[static_cast<std::size_t>(i)] = check;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [this] { HHelpWindow::Show(kDialogHelpBase + kDialogId, this); });
    HLOG_D1("[FUNC OUT]CVisibleDlg::OnInitDialog");
}

CVisibleDlg::~CVisibleDlg() = default;

bool CVisibleDlg::ItemAllowed(int index, const HMemoryImage* image, int accessLevel) {
    const bool raised = accessLevel == 1 || accessLevel == 2;
    switch (index) {
    case kItemTag: {
        if (!image)
            return true;
        HHardwareGroup hardware;
        hardware.Load(*image);
        // A mobile set without a display of its own has no channel tags.
        return !(hardware.GetValue(HHardwareGroup::kRowProductType) == 0 &&
                 hardware.GetValue(HHardwareGroup::kRowDisplayMobile) == 0);
    }
    case kItemEncr:
    case kItemDtmfAniMonitor: {
        if (!raised)
            return false;
        if (!image)
            return true;
        HOptionGroup option;
        option.Load(*image);
        return option.GetValue(HOptionGroup::kRowUnitLow) == 1;
    }
    case kItemExtMic:
        return raised;
    default:
        return true;
    }
}

QCheckBox* CVisibleDlg::Check(int index) const {
    return index >= 0 && index < kItems ? m_checks[static_cast<std::size_t>(index)] : nullptr;
}

void CVisibleDlg::accept() {
    HLOG_D1("[FUNC IN]CVisibleDlg::OnOK");
    for (int i = 0; i < kItems; ++i)
        m_app.SetItem(i, m_checks[static_cast<std::size_t>(i)]->isChecked() ? 1 : 0);
    QDialog::accept();
    HLOG_D1("[FUNC OUT]CVisibleDlg::OnOK");
}
