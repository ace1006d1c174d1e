#include "HFileDataModel.h"

HFileDataModel::HFileDataModel(HMemoryImage& image, int accessLevel, QObject* parent)
    : QAbstractTableModel(parent), m_image(image), m_accessLevel(accessLevel),
      m_shown(ShownBytes(accessLevel)) {}

int HFileDataModel::ShownBytes(int accessLevel) {
    return static_cast<int>(accessLevel == 2 ? kImageSize : HImageMap::kFlashEnd);
}

QString HFileDataModel::RowLabel(int row) {
    const unsigned address =
        row < kEepromRows
            ? static_cast<unsigned>(row) * kBytesPerRow
            : kSecondAreaAddress + static_cast<unsigned>(row - kEepromRows) * kBytesPerRow;
    return QStringLiteral("%1").arg(address, 5, 16, QLatin1Char('0')).toUpper() + QLatin1Char('h');
}

int HFileDataModel::ByteIndex(const QModelIndex& index) const {
    if (!index.isValid())
        return -1;
    const int byte = index.row() * kBytesPerRow + index.column();
    return byte < m_shown ? byte : -1;
}

int HFileDataModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (m_shown + kBytesPerRow - 1) / kBytesPerRow;
}

int HFileDataModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kBytesPerRow;
}

QVariant HFileDataModel::data(const QModelIndex& index, int role) const {
    const int byte = ByteIndex(index);
    if (byte < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QStringLiteral("%1")
            .arg(m_image[static_cast<std::size_t>(byte)], 2, 16, QLatin1Char('0'))
            .toUpper();
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant HFileDataModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return RowLabel(section);
    return QStringLiteral("%1").arg(section, 0, 16).toUpper();
}

Qt::ItemFlags HFileDataModel::flags(const QModelIndex& index) const {
    if (ByteIndex(index) < 0)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_accessLevel != 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool HFileDataModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int byte = ByteIndex(index);
    if (role != Qt::EditRole || byte < 0 || m_accessLevel == 0)
        return false;
    const QString text = value.toString();
    if (text.isEmpty() || text.size() > 2)
        return false;
    unsigned parsed = 0;
    for (const QChar ch : text) {
        const int digit = QStringLiteral("0123456789ABCDEF").indexOf(ch.toUpper());
        if (digit < 0)
            return false;
        parsed = parsed * 16 + static_cast<unsigned>(digit);
    }
    m_image[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(parsed);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}
