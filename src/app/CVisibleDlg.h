#pragma once
// View > Item > Visible (resource 195, "Visible"): one check box per channel
// grid item. Boxes that the model or the access level rule out are greyed but
// still show their flag. OK replaces all 18 item visibility flags.
#include "HMemoryImage.h"

#include <QDialog>

#include <array>

class CRP57App;
class QCheckBox;
class QPushButton;

class CVisibleDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 195;
    static constexpr int kFirstCheckId = 2701;
    static constexpr int kItems = 18;
    static constexpr std::array<const char*, kItems> kLabels = {
        "Pr&i",         "&W/N",         "&TAG",
        "Frequenc&y",   "S&ub Audio",   "&Power",
        "&Scan",        "T&OT",         "S&quelch",
        "&ANI",         "&Encr",        "&Lock Out",
        "Pa&ge/Signal", "Cloc&k Shift", "A&RTS",
        "&Flat AF",     "E&xt/Int MIC", "DTMF ANI &Monitor"};
    static constexpr int kItemTag = 2;
    static constexpr int kItemEncr = 10;
    static constexpr int kItemExtMic = 16;
    static constexpr int kItemDtmfAniMonitor = 17;

    // `image` decides which boxes the model allows; null allows every box the
    // access level does.
    CVisibleDlg(CRP57App& app, const HMemoryImage* image, QWidget* parent = nullptr);
    ~CVisibleDlg() override;

    // Whether item `index` may be changed for this image and access level.
    [[nodiscard]] static bool ItemAllowed(int index, const HMemoryImage* image, int accessLevel);

    [[nodiscard]] QCheckBox* Check(int index) const;
    [[nodiscard]] QPushButton* OkButton() const { return m_ok; }

    void accept() override;

private:
    CRP57App& m_app;
    std::array<QCheckBox*, kItems> m_checks{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
