#include "HChannelAllocationDlg.h"

#include "HDialog.h"
#include "HEdit.h"
#include "HGroupScanModes.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HOptionGroup.h"
#include "HQtText.h"
#include "HValueCombo.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using namespace HChannelTables;

constexpr const char* kTooManyChannels = "Too many channels";

// Option units that carry the voice scrambler the VTS scan modes need.
constexpr std::int32_t kVtsUnitA = 6;
constexpr std::int32_t kVtsUnitB = 8;

// The texts are kGroupScanModeTexts by code.
struct ScanChoice {
    std::int32_t code;
    bool needsVts;
};
constexpr std::array kScanChoices = {
    ScanChoice{HChannelAllocationDlg::kScanNone, false},
    ScanChoice{HChannelAllocationDlg::kScanVts, true},
    ScanChoice{HChannelAllocationDlg::kScanScan, false},
    ScanChoice{HChannelAllocationDlg::kScanScanVts, true},
};

HEditSetup CountSetup(int capacity) {
    HEditSetup setup;
    setup.kind = HValueKind::Integer;
    setup.maxLength = HChannelAllocationDlg::kCountDigits;
    setup.minimum = 0;
    setup.maximum = capacity;
    setup.format = "%d";
    setup.filter = HFilterMode::Decimal;
    return setup;
}

HEditSetup TagSetup() {
    HEditSetup setup;
    setup.kind = HValueKind::Text;
    setup.maxLength = HChannelAllocationDlg::kTagLength;
    setup.format = "%d";
    setup.filter = HFilterMode::Tag;
    return setup;
}

} // namespace

bool HChannelAllocationDlg::OffersVts(std::int32_t optionUnit) {
    return optionUnit == kVtsUnitA || optionUnit == kVtsUnitB;
}

HChannelAllocationDlg::HChannelAllocationDlg(HMemoryImage& image, QWidget* parent)
    : QDialog(parent), m_image(image) {
    HLOG_D1("[FUNC IN]HChannelAllocationDlg::OnInitDialog");
    setObjectName(QStringLiteral("HChannelAllocationDlg"));
    // The resource's title stops at "Group "; it is finished as the menu
    // entry that opens it reads.
    setWindowTitle(QStringLiteral("Channel Allocation/Group Alpha Tag"));
    m_model.Load(image);
    HOptionGroup option;
    option.Load(image);
    const bool vts = OffersVts(option.GetValue(HOptionGroup::kValueOptionUnit));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    const std::array<const char*, 3> headers = {"Scan Mode", "Channels", "Alpha Tag"};
    for (int c = 0; c < 3; ++c) {
        auto* header = new QLabel(QString::fromLatin1(headers[std::size_t(c)]), this);
        grid->addWidget(header, 0, c + 1);
    }
    const int capacity = m_model.GetCapacity();
    for (int g = 0; g < kGroups; ++g) {
        Row& row = m_rows[std::size_t(g)];
        row.label = new QLabel(QStringLiteral("Grp &%1").arg(g + 1), this);
        row.scan = new HValueCombo(this);
        row.scan->setObjectName(QStringLiteral("scanMode%1").arg(g));
        for (const ScanChoice& choice : kScanChoices)
            if (vts || !choice.needsVts)
                row.scan->AddItem(ToQString(kGroupScanModeTexts[std::size_t(choice.code)]),
                                  choice.code);
        row.count = new HEdit(this);
        row.count->setObjectName(QStringLiteral("count%1").arg(g));
        row.count->Rules().Setup(CountSetup(capacity));
        row.count->setFixedWidth(
            row.count->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
        row.tag = new HTagEdit(this);
        row.tag->setObjectName(QStringLiteral("tag%1").arg(g));
        row.tag->Rules().Setup(TagSetup());
        row.tag->setMaxLength(kTagLength);
        row.tag->setFixedWidth(
            row.tag->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWW")) + 16);
        row.label->setBuddy(row.scan);

        const bool usable = g < m_model.GetGroupCount();
        row.scan->SelectByValue(m_model.GetGroupValue(g, kGroupScanMode));
        row.count->SetValue(usable ? m_model.GetGroupValue(g, kGroupChannels) : 0);
        row.tag->SetText(QString::fromStdString(m_model.GetGroupTag(g)));

        grid->addWidget(row.label, g + 1, 0);
        grid->addWidget(row.scan, g + 1, 1);
        grid->addWidget(row.count, g + 1, 2);
        grid->addWidget(row.tag, g + 1, 3);

        connect(row.count, &HEdit::Committed, this, [this, g] { OnCountCommitted(g); });
        connect(row.tag, &HEdit::Committed, this, [this, g] {
            m_model.SetGroupTag(g, m_rows[std::size_t(g)].tag->GetText().toStdString());
        });
        connect(row.scan, &HValueCombo::UserPicked, this, [this, g](int) {
            m_model.SetGroupValue(g, kGroupScanMode,
                                  m_rows[std::size_t(g)].scan->GetSelectedValue());
        });
    }
    grid->setColumnStretch(4, 1);

    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("allocationTotal"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &HChannelAllocationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &HChannelAllocationDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addWidget(m_total);
    layout->addWidget(buttons);

    UpdateRows();
    UpdateTotal();
    // Wide enough for the title beside the title bar's buttons.
    setFixedSize(std::max(sizeHint().width(), MinimumWidthForTitle(*this)), sizeHint().height());
    HLOG_D1("[FUNC OUT]HChannelAllocationDlg::OnInitDialog");
}

HChannelAllocationDlg::~HChannelAllocationDlg() = default;

HValueCombo* HChannelAllocationDlg::ScanCombo(int group) const {
    return group >= 0 && group < kGroups ? m_rows[std::size_t(group)].scan : nullptr;
}
HEdit* HChannelAllocationDlg::CountEdit(int group) const {
    return group >= 0 && group < kGroups ? m_rows[std::size_t(group)].count : nullptr;
}
HTagEdit* HChannelAllocationDlg::TagEdit(int group) const {
    return group >= 0 && group < kGroups ? m_rows[std::size_t(group)].tag : nullptr;
}
QLabel* HChannelAllocationDlg::GroupLabel(int group) const {
    return group >= 0 && group < kGroups ? m_rows[std::size_t(group)].label : nullptr;
}

void HChannelAllocationDlg::OnCountCommitted(int group) {
    if (group >= m_model.GetGroupCount())
        return;
    Row& row = m_rows[std::size_t(group)];
    std::int32_t count = row.count->Rules().GetStoredInt();
    int others = 0;
    for (int g = 0; g < m_model.GetGroupCount(); ++g)
        if (g != group)
            others += m_model.GetGroupValue(g, kGroupChannels);
    const int room = std::max(0, m_model.GetCapacity() - others);
    if (count > room) {
        HLOG_WR("group %d: %d channels asked, %d free", group + 1, count, room);
        QMessageBox box(QMessageBox::Warning, QString::fromLatin1(HMessageBox::kCaption),
                        QString::fromLatin1(kTooManyChannels), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("tooManyChannels"));
        box.exec();
        count = room;
    }
    row.count->SetValue(count);
    m_model.SetGroupValue(group, kGroupChannels, count);
    UpdateRows();
    UpdateTotal();
}

void HChannelAllocationDlg::UpdateRows() {
    for (int g = 0; g < kGroups; ++g) {
        Row& row = m_rows[std::size_t(g)];
        const bool usable = g < m_model.GetGroupCount();
        const bool filled = usable && m_model.GetGroupValue(g, kGroupChannels) != 0;
        row.count->setEnabled(usable);
        row.scan->setEnabled(filled);
        row.tag->setEnabled(filled);
        row.label->setEnabled(usable);
    }
}

void HChannelAllocationDlg::UpdateTotal() {
    m_total->setText(QStringLiteral("Channels: %1 of %2 allocated")
                         .arg(m_model.UsedChannels())
                         .arg(m_model.GetCapacity()));
}

void HChannelAllocationDlg::accept() {
    HLOG_D1("[FUNC IN]HChannelAllocationDlg::OnOK");
    // What is still being typed counts as typed.
    for (int g = 0; g < m_model.GetGroupCount(); ++g) {
        m_rows[std::size_t(g)].count->CommitTyping();
        m_rows[std::size_t(g)].tag->CommitTyping();
    }
    for (int g = 0; g < m_model.GetGroupCount(); ++g) {
        const Row& row = m_rows[std::size_t(g)];
        m_model.SetGroupValue(g, kGroupScanMode, row.scan->GetSelectedValue());
        m_model.SetGroupValue(g, kGroupChannels, row.count->Rules().GetStoredInt());
        m_model.SetGroupTag(g, row.tag->GetText().toStdString());
    }
    m_model.NormalizeGroups();
    m_model.Save(m_image);
    HLOG_D1("channel allocation saved: %d channels in use", m_model.UsedChannels());
    QDialog::accept();
    HLOG_D1("[FUNC OUT]HChannelAllocationDlg::OnOK");
}
