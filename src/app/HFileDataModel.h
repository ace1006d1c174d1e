#pragma once
// The raw image editor's table: 16 image bytes a row as "%02X", each row
// labelled with the radio address of its first byte. The first 512 bytes
// (the EEPROM words) are at radio addresses 0x00000 up; the FLASH pages that
// follow are at 0x1C880 up. Edits go into the image the model was given.
#include "HMemoryImage.h"

#include <QAbstractTableModel>

class HFileDataModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kBytesPerRow = 16;
    static constexpr int kEepromRows = static_cast<int>(HImageMap::kEepromBytes) / kBytesPerRow;
    static constexpr unsigned kSecondAreaAddress = 0x1C880;
    static_assert(kEepromRows == 32);

    // `accessLevel` 2 shows the whole image, 0 and 1 the bytes before the
    // band and identity words; 0 refuses every edit.
    HFileDataModel(HMemoryImage& image, int accessLevel, QObject* parent = nullptr);

    [[nodiscard]] static int ShownBytes(int accessLevel);
    // "%05Xh" of the radio address of a row's first byte.
    [[nodiscard]] static QString RowLabel(int row);
    // The image byte of a cell; -1 past the bytes shown.
    [[nodiscard]] int ByteIndex(const QModelIndex& index) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Takes one or two hexadecimal digits; anything else, an empty text
    // included, is refused and leaves the byte as it was.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    HMemoryImage& m_image;
    int m_accessLevel;
    int m_shown;
};
