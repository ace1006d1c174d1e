#pragma once
// The "Basic Alignment" sheet: pages "Alignment" and "Basic2", each row a value
// and a START button that opens its adjustment dialog. A value accepted with OK
// goes into the image and at once to the radio (its EEPROM words, then the
// checksum word). The sheet has no OK: "Exit" ends it, always as Cancel.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HComAlignment.h"
#include "HMemoryImage.h"

#include <QDialog>

#include <array>
#include <span>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class HBasicAlignmentSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAlignmentPage = 0;
    static constexpr int kBasic2Page = 1;
    static constexpr int kAlignmentButtons = 12;
    static constexpr int kAlignmentBoxes = 14;
    static constexpr int kBasic2Rows = 11;

    // `image` is the alignment copy of the radio's data; `comm` the open link
    // in ADJ mode. Both must outlive the sheet.
    HBasicAlignmentSheet(HComAlignment& comm, HMemoryImage& image, QWidget* parent = nullptr);

    [[nodiscard]] QTabWidget* Tabs() const { return m_tabs; }
    [[nodiscard]] QPushButton* ExitButton() const { return m_exit; }
    [[nodiscard]] QPushButton* StartButton(int page, int index) const;
    // Value box `index` of a page, in the order the page lists its values.
    [[nodiscard]] QLineEdit* ValueBox(int page, int index) const;
    [[nodiscard]] QRadioButton* LevelUnitButton(int unit) const;
    [[nodiscard]] const HAlignmentData& Data() const { return m_data; }

    // What START `index` of `page` does: opens its dialog and, after OK,
    // stores and writes what it found.
    void OnStart(int page, int index);
    // The steps (by their row names, in the order they first failed) whose
    // last run failed: its readings or its writes. Their values are not in
    // the radio.
    [[nodiscard]] std::vector<std::string> FailedSteps() const { return m_failed; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* BuildAlignmentPage();
    QWidget* BuildBasic2Page();
    QWidget* BuildHeader(int page);
    // Reloads the alignment values and the channel model and shows them.
    void Refresh();
    // Store-and-write; a word the radio did not take is told to the user.
    // False when one was not taken.
    bool StoreAndWrite(std::span<const int> words, bool channelPages = false);
    // The row name of START `index` of `page`.
    [[nodiscard]] std::string StepName(int page, int index) const;
    // A step's last run: failed or not.
    void Record(int page, int index, bool failed);

    HComAlignment& m_comm;
    HMemoryImage& m_image;
    HAlignmentData m_data;
    HChannels m_channels;
    bool m_mobile = false;

    QTabWidget* m_tabs;
    QPushButton* m_exit;
    std::array<std::array<QLabel*, 4>, 2> m_header{}; // band, low, high, centre
    std::array<QPushButton*, kAlignmentButtons> m_alignButtons{};
    std::array<QLineEdit*, kAlignmentBoxes> m_alignBoxes{};
    std::array<QPushButton*, kBasic2Rows> m_basic2Buttons{};
    std::array<QLineEdit*, kBasic2Rows> m_basic2Boxes{};
    std::array<QLabel*, kBasic2Rows> m_basic2Labels{};
    std::array<QRadioButton*, HAlignmentData::kLevelUnits> m_units{};
    std::vector<std::string> m_failed;
};
