#include "HFineAlignmentDlg.h"

#include "HAlignSliders.h"
#include "HAlignmentDialogs.h"
#include "HChannelColumns.h"
#include "HHelpWindow.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HStringTable.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace HChannelTables;

namespace {

// Digits typed into a list pick the entry of that number (Qt::UserRole):
// 4 then 2 picks 42. A pause longer than the keyboard's input interval
// starts a new number; a digit that makes no number of the list starts one
// too. While the list is open the digits move its highlight; closed, they
// pick at once.
class NumberTyping : public QObject {
public:
    explicit NumberTyping(QComboBox* combo) : QObject(combo), m_combo(combo) {
        combo->installEventFilter(this);
        combo->view()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isDigit() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        // Measured from the end of the last pick, so a slow channel switch
        // does not split a number typed quickly.
        if (!m_since.isValid() || m_since.elapsed() > QApplication::keyboardInputInterval())
            m_typed.clear();
        int entry = Match(m_typed + text);
        if (entry >= 0) {
            m_typed += text;
        } else {
            m_typed = text;
            entry = Match(m_typed);
        }
        if (entry >= 0) {
            if (watched == m_combo->view())
                m_combo->view()->setCurrentIndex(m_combo->model()->index(entry, 0));
            else
                m_combo->setCurrentIndex(entry);
        }
        m_since.start();
        return true;
    }

private:
    // The entry numbered `typed`, else the first whose number starts with it.
    [[nodiscard]] int Match(const QString& typed) const {
        int prefix = -1;
        for (int i = 0; i < m_combo->count(); ++i) {
            const QString number = QString::number(m_combo->itemData(i).toInt());
            if (number == typed)
                return i;
            if (prefix < 0 && number.startsWith(typed))
                prefix = i;
        }
        return prefix;
    }

    QComboBox* m_combo;
    QString m_typed;
    QElapsedTimer m_since;
};

constexpr const char* kRowLabels[HFineAlignment::kRows] = {
    "RX Tune",       "High Power",      "Low Power", "Mod Bal",
    "MAX Deviation", "CTCSS Deviation", "RX",        "TX"};
constexpr const char* kInfoNames[HFineAlignmentDlg::kInfoLabels] = {
    "RX Frequency", "TX Frequency", "W/N", "RX Sub-Audio", "TX Sub-Audio"};
} // namespace

HFineAlignmentDlg::HFineAlignmentDlg(HComAlignment& comm, HMemoryImage& image, QWidget* parent)
    : QDialog(parent), m_comm(comm), m_image(image) {
    setObjectName(QStringLiteral("HFineAlignmentDlg"));
    setWindowTitle(QStringLiteral("CH Fine Alighnment"));
    setModal(true);
    m_data.Load(m_image);
    m_model.Load(m_image);

    m_groups = new QComboBox(this);
    m_groups->setObjectName(QStringLiteral("fineGroup"));
    m_channelList = new QComboBox(this);
    m_channelList->setObjectName(QStringLiteral("fineChannel"));
    new NumberTyping(m_groups);
    new NumberTyping(m_channelList);
    auto* pick = new QHBoxLayout;
    auto* groupLabel = new QLabel(QStringLiteral("&Group No."), this);
    groupLabel->setBuddy(m_groups);
    auto* channelLabel = new QLabel(QStringLiteral("Channel &No."), this);
    channelLabel->setBuddy(m_channelList);
    // The tags make entries of different widths: the list follows the widest.
    m_channelList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    pick->addWidget(groupLabel);
    pick->addWidget(m_groups);
    pick->addSpacing(16);
    pick->addWidget(channelLabel);
    pick->addWidget(m_channelList);
    pick->addStretch(1);

    auto* infoBox = new QGroupBox(QStringLiteral("Channel"), this);
    auto* info = new QGridLayout(infoBox);
    for (int i = 0; i < kInfoLabels; ++i) {
        info->addWidget(new QLabel(QLatin1String(kInfoNames[i]), infoBox), i, 0);
        m_info[std::size_t(i)] = new QLabel(infoBox);
        m_info[std::size_t(i)]->setObjectName(QStringLiteral("fineInfo%1").arg(i));
        info->addWidget(m_info[std::size_t(i)], i, 1);
    }
    info->setColumnStretch(1, 1);
    info->setRowStretch(kInfoLabels, 1);

    auto* rowsBox = new QGroupBox(QStringLiteral("Alignment"), this);
    auto* rows = new QGridLayout(rowsBox);
    for (int r = 0; r < HFineAlignment::kRows; ++r) {
        auto* label = new QLabel(QLatin1String(kRowLabels[r]), rowsBox);
        auto* box = new QLineEdit(rowsBox);
        box->setObjectName(QStringLiteral("fineValue%1").arg(r));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAlignment(Qt::AlignRight);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
        auto* start = new QPushButton(QStringLiteral("START"), rowsBox);
        start->setObjectName(QStringLiteral("fineStart%1").arg(r));
        start->setAutoDefault(false);
        start->setEnabled(false);
        connect(start, &QPushButton::clicked, this, [this, r] { OnStart(r); });
        m_labels[std::size_t(r)] = label;
        m_boxes[std::size_t(r)] = box;
        m_starts[std::size_t(r)] = start;
        // The two VCV rows share a heading, as on the radio's own sheet.
        if (r == HFineAlignment::kRxVcv)
            rows->addWidget(new QLabel(QStringLiteral("VCV"), rowsBox), r, 0);
        rows->addWidget(label, r, 1);
        rows->addWidget(box, r, 2);
        rows->addWidget(start, r, 3);
    }
    rows->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* b : buttons->buttons())
        if (auto* push = qobject_cast<QPushButton*>(b))
            push->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pick);
    auto* middle = new QHBoxLayout;
    middle->addWidget(infoBox);
    middle->addWidget(rowsBox);
    layout->addLayout(middle);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    // Groups in use and their channels in use.
    for (int g = 0; g < int(kGroupCount); ++g) {
        std::vector<int> list;
        for (int c = 0; c < m_model.GetCapacity(); ++c) {
            int parent = -1;
            if (m_model.GetParentGroupNum(c, parent) && parent == g)
                list.push_back(c);
        }
        if (list.empty())
            continue;
        m_groupNumbers.push_back(g);
        m_groupChannels.push_back(std::move(list));
        m_groups->addItem(QString::asprintf("%2d", g + 1), g + 1);
    }
    connect(m_groups, &QComboBox::currentIndexChanged, this, [this] {
        FillChannels();
        if (!m_filling && m_channelList->count() > 0)
            SelectChannel(m_groupChannels[std::size_t(m_groups->currentIndex())][0]);
    });
    connect(m_channelList, &QComboBox::currentIndexChanged, this, [this](int i) {
        const int g = m_groups->currentIndex();
        if (!m_filling && g >= 0 && i >= 0)
            SelectChannel(m_groupChannels[std::size_t(g)][std::size_t(i)]);
    });
    m_filling = true;
    FillChannels();
    m_filling = false;
    // The first channel is switched to once the dialog is up.
    if (!m_groupChannels.empty())
        QTimer::singleShot(0, this, [this] {
            if (m_channel < 0)
                SelectChannel(m_groupChannels[0][0]);
        });
}

void HFineAlignmentDlg::FillChannels() {
    const bool was = m_filling;
    m_filling = true;
    m_channelList->clear();
    const int g = m_groups->currentIndex();
    if (g >= 0) {
        const int first = m_model.FirstChannelOfGroup(m_groupNumbers[std::size_t(g)]);
        const int group = m_groupNumbers[std::size_t(g)];
        const int tagColumn = HChannelColumns::ColumnsOfItem(HChannelItem::Tag).front();
        // The number, and the tag a technician knows the channel by.
        for (int c : m_groupChannels[std::size_t(g)]) {
            const QString tag =
                QString::fromStdString(HChannelColumns::CellText(tagColumn, m_model, c, group))
                    .trimmed();
            QString text = QString::asprintf("%2d", c - first + 1);
            if (!tag.isEmpty())
                text += QStringLiteral("  ") + tag;
            m_channelList->addItem(text, c - first + 1);
        }
    }
    m_filling = was;
}

bool HFineAlignmentDlg::SelectChannel(int c) {
    int g = -1;
    if (!m_model.GetParentGroupNum(c, g))
        return false;
    const int within = c - m_model.FirstChannelOfGroup(g);
    HLOG_D1("fine alignment channel [GROUP:%d][CHANNEL:%d]", g, within);
    if (!m_comm.ChangeChannel(std::uint8_t(g), std::uint8_t(within))) {
        HLOG_ER("%s", "チャネル変更要求エラー");
        HMessageBox::Show(this, HStringTable::kChangeChannelError, QMessageBox::Critical);
        // The lists go back to the channel still on the radio.
        m_filling = true;
        for (std::size_t gi = 0; gi < m_groupChannels.size() && m_channel >= 0; ++gi) {
            const auto& list = m_groupChannels[gi];
            const auto at = std::find(list.begin(), list.end(), m_channel);
            if (at != list.end()) {
                m_groups->setCurrentIndex(int(gi));
                FillChannels();
                m_channelList->setCurrentIndex(int(at - list.begin()));
            }
        }
        m_filling = false;
        return false;
    }
    m_channel = c;
    m_filling = true;
    for (std::size_t gi = 0; gi < m_groupChannels.size(); ++gi) {
        const auto& list = m_groupChannels[gi];
        const auto at = std::find(list.begin(), list.end(), c);
        if (at != list.end() && (m_groups->currentIndex() != int(gi) ||
                                 m_channelList->currentIndex() != int(at - list.begin()))) {
            m_groups->setCurrentIndex(int(gi));
            FillChannels();
            m_channelList->setCurrentIndex(int(at - list.begin()));
        }
    }
    m_filling = false;
    ShowChannel();
    return true;
}

void HFineAlignmentDlg::ShowChannel() {
    const int c = m_channel;
    if (c < 0)
        return;
    auto f = [this, c](int k) { return int(m_model.GetField(c, k)); };
    m_info[0]->setText(AlignFrequencyText(m_model.GetFrequency(c, 0)));
    m_info[1]->setText(AlignFrequencyText(m_model.GetFrequency(c, 1)));
    m_info[2]->setText(f(kFieldBandwidth) == 0 ? QStringLiteral("N") : QStringLiteral("W"));
    m_info[3]->setText(QString::fromStdString(
        HChannelColumns::SubAudioTone(f(kFieldRxToneType), f(kFieldRxTone))));
    m_info[4]->setText(QString::fromStdString(
        HChannelColumns::SubAudioTone(f(kFieldTxToneType), f(kFieldTxTone))));
    m_labels[HFineAlignment::kSubAudioDeviation]->setText(f(kFieldRxToneType) == 2
                                                              ? QStringLiteral("DCS Deviation")
                                                              : QStringLiteral("CTCSS Deviation"));
    for (int r = 0; r < HFineAlignment::kRows; ++r) {
        m_boxes[std::size_t(r)]->setText(
            QString::asprintf("%d", HFineAlignment::ShownValue(r, m_data, m_model, c)));
        m_starts[std::size_t(r)]->setEnabled(true);
    }
}

bool HFineAlignmentDlg::OnStart(int row) {
    if (m_channel < 0 || row < 0 || row >= HFineAlignment::kRows)
        return false;
    HLOG_D1("[FUNC IN]HFineAlignmentDlg::OnStart[ROW:%d]", row);
    HSliderAlignDlg dialog(m_comm, HAlignSliders::ForFine(row, m_data, m_model, m_channel), this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    ShowChannel();
    HLOG_D1("[FUNC OUT]HFineAlignmentDlg::OnStart[OK:%d]", ok ? 1 : 0);
    return ok;
}

void HFineAlignmentDlg::accept() {
    m_model.Save(m_image);
    QDialog::accept();
}

void HFineAlignmentDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        HHelpWindow::Show(HAlignHelp::kFineDialog, this);
        return;
    }
    QDialog::keyPressEvent(event);
}
