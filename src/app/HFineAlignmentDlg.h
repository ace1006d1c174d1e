#pragma once
// "CH Fine Alighnment": one programmed channel at a time, chosen by group and
// channel, switched on the radio, with its eight values (basic alignment value
// plus the channel's offset), each adjusted by a slider dialog. Accepted values
// go into the channel records of `image`; the radio's channel pages are written
// by the end-of-alignment transfer, not here.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HComAlignment.h"
#include "HFineAlignment.h"
#include "HMemoryImage.h"

#include <QDialog>

#include <array>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class HFineAlignmentDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kInfoLabels = 5; // RX, TX frequency, W/N, RX and TX sub-audio

    // `image` holds the radio's data; it must outlive the dialog.
    HFineAlignmentDlg(HComAlignment& comm, HMemoryImage& image, QWidget* parent = nullptr);

    [[nodiscard]] QComboBox* GroupList() const { return m_groups; }
    [[nodiscard]] QComboBox* ChannelList() const { return m_channelList; }
    [[nodiscard]] QLineEdit* ValueBox(int row) const { return m_boxes[std::size_t(row)]; }
    [[nodiscard]] QPushButton* StartButton(int row) const { return m_starts[std::size_t(row)]; }
    [[nodiscard]] QLabel* RowLabel(int row) const { return m_labels[std::size_t(row)]; }
    [[nodiscard]] QLabel* InfoLabel(int i) const { return m_info[std::size_t(i)]; }
    // The channel shown (absolute number), -1 before one was switched to.
    [[nodiscard]] int Channel() const { return m_channel; }
    [[nodiscard]] const HChannels& Channels() const { return m_model; }

    // Switches the radio to channel `c` (absolute) and shows it; false (and the
    // previous channel kept) when the radio refused.
    bool SelectChannel(int c);
    // START of row `row`: its slider dialog; true when it ended with OK.
    bool OnStart(int row);

    // OK keeps the channel records in the image.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillChannels();
    void ShowChannel();

    HComAlignment& m_comm;
    HMemoryImage& m_image;
    HAlignmentData m_data;
    HChannels m_model;
    std::vector<std::vector<int>> m_groupChannels; // per group list entry: absolute channels
    std::vector<int> m_groupNumbers;
    int m_channel = -1;
    bool m_filling = false;

    QComboBox* m_groups;
    QComboBox* m_channelList;
    std::array<QLabel*, kInfoLabels> m_info{};
    std::array<QLabel*, HFineAlignment::kRows> m_labels{};
    std::array<QLineEdit*, HFineAlignment::kRows> m_boxes{};
    std::array<QPushButton*, HFineAlignment::kRows> m_starts{};
};
