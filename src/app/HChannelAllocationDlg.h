#pragma once
// The Channel Allocations/Group Alpha Tag editor: per group a scan mode, a
// channel count and an alpha tag, over a copy of the channel model; OK writes
// the groups into the image and saves the channel model, which disables every
// channel beyond the new total. Cancel leaves the image as it was.
#include "HChannels.h"
#include "HMemoryImage.h"

#include <QDialog>

#include <array>
#include <cstdint>

class HEdit;
class HTagEdit;
class HValueCombo;
class QLabel;

class HChannelAllocationDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 157;
    static constexpr int kGroups = 8;
    static constexpr int kCountDigits = 3;
    static constexpr int kTagLength = 8;

    // The scan-mode codes (group value 7).
    static constexpr std::int32_t kScanNone = 0;
    static constexpr std::int32_t kScanVts = 1;
    static constexpr std::int32_t kScanScan = 2;
    static constexpr std::int32_t kScanScanVts = 3;

    // `image` must outlive the dialog; it is written only by OK.
    explicit HChannelAllocationDlg(HMemoryImage& image, QWidget* parent = nullptr);
    ~HChannelAllocationDlg() override;

    // Whether the VTS scan modes are offered: only with the option unit codes
    // that carry them.
    [[nodiscard]] static bool OffersVts(std::int32_t optionUnit);

    [[nodiscard]] const HChannels& Model() const { return m_model; }
    [[nodiscard]] HValueCombo* ScanCombo(int group) const;
    [[nodiscard]] HEdit* CountEdit(int group) const;
    [[nodiscard]] HTagEdit* TagEdit(int group) const;
    [[nodiscard]] QLabel* GroupLabel(int group) const;
    [[nodiscard]] QLabel* TotalLabel() const { return m_total; }

    void accept() override;

private:
    struct Row {
        QLabel* label = nullptr;
        HValueCombo* scan = nullptr;
        HEdit* count = nullptr;
        HTagEdit* tag = nullptr;
    };

    void OnCountCommitted(int group);
    void UpdateRows();
    void UpdateTotal();

    HMemoryImage& m_image;
    HChannels m_model;
    std::array<Row, kGroups> m_rows{};
    QLabel* m_total = nullptr;
};
