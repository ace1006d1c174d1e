#include "HAdjustmentRecovery.h"

#include "HAlignmentData.h"
#include "HChannels.h"
#include "HControllerBytes.h"
#include "HDataFile.h"
#include "HDefaultFiles.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HLogPrint.h"
#include "HProgramDir.h"
#include "HStringTable.h"

#include <algorithm>
#include <array>

using namespace HControllerBytes;

namespace HAdjustmentRecovery {

namespace {

constexpr std::size_t kIdentityBytes = 8;
constexpr std::size_t kDateEeprom = 0x1FA, kDateFlash = 0x3108;
constexpr std::size_t kLotEeprom = 0x1FB, kLotFlash = 0x3109;
constexpr int kLotTolerance = 10;
constexpr std::size_t kFileCopyFirst = 0x200;
constexpr std::size_t kModelCodes = 2; // production code, custom code

// EEPROM position, FLASH backup position, length.
struct CopyPair {
    std::size_t eeprom;
    std::size_t flash;
    std::size_t length;
};
constexpr std::array<CopyPair, 9> kCopyList = {{
    {0x1A, 0x3000, 5},
    {0x06, 0x3110, 20},
    {0x1F, 0x300F, 3},
    {0x1F6, 0x3104, 8},
    {0x1D6, 0x3124, 5},
    {0x1DC, 0x3129, 5},
    {0x1E2, 0x312E, 5},
    {0x1E8, 0x3133, 5},
    {0x1EE, 0x3138, 5},
}};

std::uint16_t Big(const HMemoryImage& m, std::size_t at) {
    return std::uint16_t(m[at] << 8 | m[at + 1]);
}

void FlashToEeprom(HMemoryImage& m, std::size_t pairs) {
    for (std::size_t i = 0; i < pairs; ++i)
        std::copy_n(m.begin() + long(kCopyList[i].flash), kCopyList[i].length,
                    m.begin() + long(kCopyList[i].eeprom));
}

// Both checksums: the 22-byte copy into the backup carries the working
// checksum over the backup's own, and a later download whose working copy is
// damaged can fall back only on a sound backup.
void Recompute(HMemoryImage& m) {
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(m);
    HAlignmentData(HAlignmentData::HCopy::ShippingDefault).RecomputeChecksum(m);
    HChannels model;
    model.Load(m);
    model.Save(m);
}

bool Ask(HPrompt& prompt, int id, HMessageIcon icon) {
    return prompt.AskYesNo(HStringTable::Get(id), icon);
}

bool RecoveryOnBothLight(HMemoryImage& m, HCommEventData& event, HPrompt& prompt) {
    if (!Ask(prompt, HStringTable::kAdjNotDefected, HMessageIcon::Question)) {
        HLOG(3, "%s", "キャンセルされた為、Recovery動作を中止します");
        return false;
    }
    FlashToEeprom(m, 4);
    Recompute(m);
    event.writeEeprom = {{0x02, 0x10}, {0xFB, 0xFE}};
    event.writeFlash = {{0x08, 0xFF}, {0x5C, 0x5E}};
    return true;
}

bool RecoveryOnEepromLight(HMemoryImage& m, HCommEventData& event, HPrompt& prompt,
                           const Sources& sources) {
    if (!Ask(prompt, HStringTable::kShippingDefaultDefected, HMessageIcon::Question))
        return false;
    const std::optional<std::string> path =
        sources.chooseDataFile ? sources.chooseDataFile() : std::nullopt;
    if (!path) {
        prompt.ShowMessage(HStringTable::Get(HStringTable::kStopAdjRecovery), HMessageIcon::Stop);
        return false;
    }
    HLOG(3, "選択ファイル名[FILE%s]", path->c_str());
    HMemoryImage file{};
    if (const HDataFileResult read = HDataFile::Read(*path, file); !read.Ok()) {
        HLOG(1, "%s", "ファイル読み込みに失敗しました");
        // Whatever kept the file out, the person learns which file and why.
        prompt.ShowMessage(HStringTable::Format(HStringTable::kFileReadError, {*path}) + "\r\n" +
                               read.detail,
                           HMessageIcon::Stop);
        return false;
    }
    const bool same = FileCheckOnRecovery(m, file);
    HLOG(3, "FileCheckOnRecovery[RESULT:%d]", same ? 1 : 0);
    if (!same) {
        prompt.ShowMessage(HStringTable::Get(HStringTable::kMobileTxPowerMismatch),
                           HMessageIcon::Stop);
        return false;
    }
    std::copy(file.begin() + long(kFileCopyFirst), file.end(), m.begin() + long(kFileCopyFirst));
    bool ok = ReliabilityTest(m) == kBothSound;
    if (ok) {
        HLOG(3, "%s", "選択ファイルの信頼性テストをパスしました");
    } else {
        ok = SerialNumberCheck(m, prompt);
        HLOG(3, "シリアルナンバーチェック[RESULT:%d]", ok ? 1 : 0);
    }
    if (!ok)
        return false;
    HLOG(3, "%s", "選択ファイルに問題がなかった為、処理を続行します");
    EepromToFlash(m);
    Recompute(m);
    event.writeFlash = {{0x00, 0x5E}};
    return true;
}

bool RecoveryOnFlashLight(HMemoryImage& m, HCommEventData& event, HPrompt& prompt,
                          const Sources& sources) {
    if (!Ask(prompt, HStringTable::kAdjDefectedRecover, HMessageIcon::Question))
        return false;
    FlashToEeprom(m, kCopyList.size());
    Recompute(m);
    HHardwareGroup hw;
    hw.Load(m);
    const int band = hw.GetValue(HHardwareGroup::kRowBand);
    const int type = hw.GetValue(HHardwareGroup::kRowProductType);
    std::optional<HMemoryImage> defaults =
        sources.readDefaultFile ? sources.readDefaultFile(band, type) : std::nullopt;
    if (!defaults) {
        HLOG(3, "デフォルトファイルを見つけられなかった為、デフォルトデータを設定[FILE NAME:%s]",
             "");
        defaults = MakeImageForModel(band, type, 0);
    }
    // The radio's model codes (EEPROM word 1) stay its own: the built-in
    // image carries none, and a radio written without them no longer answers
    // as its model.
    const std::uint8_t production = m[kModelCodes], custom = m[kModelCodes + 1];
    for (auto [first, last] : {std::pair<std::size_t, std::size_t>{0x00, 0x03},
                               {0x22, 0x31},
                               {0x52, 0x1D5},
                               {0x1F4, 0x1F5},
                               {0x1FE, 0x202}})
        CopyBytes(*defaults, m, first, last);
    m[kModelCodes] = production;
    m[kModelCodes + 1] = custom;
    m[0x1D4] = m[0x1D5] = 0xFF;
    HChannels model;
    model.Load(m);
    model.Save(m);
    event.writeEeprom = {{0x00, 0xFF}};
    event.writeFlash = {{0x08, 0xFF}, {0x5C, 0x5E}};
    return true;
}

} // namespace

std::optional<HMemoryImage> ReadModelDefaultFile(int band, int productType) {
    const std::string_view name = HDefaultFiles::For(band, productType);
    if (name.empty())
        return std::nullopt;
    const std::string path = HProgramDir::WithSlash(HProgramDir::DataDir()) + std::string(name);
    HMemoryImage image{};
    if (!HDataFile::Read(path, image).Ok()) {
        HLOG(3, "default data file not read [FILE NAME:%s]", path.c_str());
        return std::nullopt;
    }
    return image;
}

void EepromToFlash(HMemoryImage& m) {
    for (const CopyPair& p : kCopyList) {
        // The adjustment values go with their checksum word in front.
        const bool values = p.eeprom == 0x06;
        const std::size_t from = values ? 0x04 : p.eeprom;
        const std::size_t to = values ? 0x310E : p.flash;
        std::copy_n(m.begin() + long(from), values ? p.length + 2 : p.length, m.begin() + long(to));
    }
}

int ReliabilityTest(const HMemoryImage& m) {
    if (std::equal(m.begin() + long(kIdentityEeprom),
                   m.begin() + long(kIdentityEeprom + kIdentityBytes),
                   m.begin() + long(kIdentityFlash)))
        return kBothSound;
    const bool eeprom = HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(m) &&
                        m[0] != 0xDF && m[0] != 0xDE && Big(m, kIdentityEeprom) == kIdentityMark;
    const bool flash = Big(m, kIdentityFlash) == kIdentityMark;
    return eeprom && flash ? kBothSound : eeprom ? kEepromOnly : flash ? kFlashOnly : kNeither;
}

bool SerialNumberCheck(const HMemoryImage& m, HPrompt& prompt) {
    HLOG(3, "%s", "[FUNC IN]SerialNumberCheck");
    HLOG(3, "製造年月[EEPROM:%d]", m[kDateEeprom]);
    HLOG(3, "製造年月[FLASH:%d]", m[kDateFlash]);
    HLOG(3, "Lot No.[EEPROM:%d]", m[kLotEeprom]);
    HLOG(3, "Lot No.[FLASH:%d]", m[kLotFlash]);
    bool ok = true;
    if (m[kDateEeprom] != m[kDateFlash] || m[kLotEeprom] != m[kLotFlash]) {
        const int differ = int(m[kLotEeprom]) - int(m[kLotFlash]);
        HLOG(3, "Lot No.の差分チェック[DIFFER:%d]", differ);
        if (differ >= -kLotTolerance && differ <= kLotTolerance) {
            ok = Ask(prompt, HStringTable::kLotNumberNgContinue, HMessageIcon::Exclamation);
        } else {
            prompt.ShowMessage(HStringTable::Get(HStringTable::kLotNumberNg), HMessageIcon::Stop);
            ok = false;
        }
    }
    HLOG(3, "%s", "[FUNC OUT]SerialNumberCheck");
    return ok;
}

bool FileCheckOnRecovery(const HMemoryImage& radio, const HMemoryImage& file) {
    HHardwareGroup a, b;
    a.Load(radio);
    b.Load(file);
    for (std::size_t row :
         {HHardwareGroup::kRowBand, HHardwareGroup::kRowProductType, HHardwareGroup::kRowTxPower})
        if (a.GetValue(row) != b.GetValue(row))
            return false;
    return true;
}

bool AdjustmentRecovery(HMemoryImage& buffer, HCommEventData& event, HPrompt& prompt,
                        const Sources& sources) {
    HLOG(3, "%s", "[FUNC IN]AdjustmentRecovery");
    const int result = ReliabilityTest(buffer);
    HLOG(3, "ReliabilityTest[RESULT:%d]", result);
    bool ok = false;
    switch (result) {
    case kBothSound:
        ok = RecoveryOnBothLight(buffer, event, prompt);
        break;
    case kEepromOnly:
        ok = RecoveryOnEepromLight(buffer, event, prompt, sources);
        break;
    case kFlashOnly:
        ok = RecoveryOnFlashLight(buffer, event, prompt, sources);
        break;
    default:
        prompt.ShowMessage(HStringTable::Get(HStringTable::kAdjDefected),
                           HMessageIcon::Exclamation);
        break;
    }
    HLOG(3, "%s", "[FUNC OUT]AdjustmentRecovery");
    return ok;
}

} // namespace HAdjustmentRecovery
