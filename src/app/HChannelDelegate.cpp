#include "HChannelDelegate.h"

#include "HChannelTableModel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr const char* kColumnProperty = "rp57Column";
// Set on a new text editor until it takes its first key or click: the double
// click that opened it is handed on to it and would select one word of the
// text instead of all of it.
constexpr const char* kFreshProperty = "rp57Fresh";
constexpr int kTickSize = 13;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPixmap DrawTick(const QColor& colour) {
    QPixmap pixmap(kTickSize, kTickSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath path;
    path.moveTo(2.0, 7.0);
    path.lineTo(5.2, 10.5);
    path.lineTo(11.0, 2.5);
    p.drawPath(path);
    return pixmap;
}

} // namespace

HChannelDelegate::HChannelDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QPixmap HChannelDelegate::TickPicture(HTickState state) {
    // In use: a dark green tick; not in use: a grey one that reads as disabled.
    static const QPixmap inUse = DrawTick(QColor(0x00, 0x60, 0x20));
    static const QPixmap notInUse = DrawTick(QColor(0x80, 0x80, 0x80));
    switch (state) {
    case HTickState::TickedInUse:
        return inUse;
    case HTickState::TickedNotInUse:
        return notInUse;
    case HTickState::NotTick:
    case HTickState::Unticked:
        break;
    }
    return {};
}

QWidget* HChannelDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const auto* model = qobject_cast<const HChannelTableModel*>(index.model());
    if (!model)
        return nullptr;
    const HEditStart start =
        const_cast<HChannelTableModel*>(model)->Grid().BeginEdit(index.row(), index.column());
    if (!start.allowed)
        return nullptr;
    if (start.kind == HCellEdit::List) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QString::fromLatin1(kListEditorName));
        for (const std::string& text : start.listTexts)
            combo->addItem(ToQString(text));
        // A pick is the end of the edit, as in the original's drop-down cells.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            auto* self = const_cast<HChannelDelegate*>(this);
            emit self->commitData(combo);
            emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
        });
        return combo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(kTextEditorName));
    edit->setMaxLength(static_cast<int>(start.maxLength));
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    edit->setProperty(kColumnProperty, index.column());
    edit->setProperty(kFreshProperty, true);
    return edit;
}

void HChannelDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(index.data(Qt::EditRole).toInt());
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(index.data(Qt::EditRole).toString());
        edit->selectAll();
    }
}

void HChannelDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentIndex(), Qt::EditRole);
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, edit->text(), Qt::EditRole);
}

void HChannelDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QPixmap tick =
        TickPicture(static_cast<HTickState>(index.data(HChannelTableModel::TickRole).toInt()));
    if (tick.isNull())
        return;
    // Picture alignment 3 of the original grid: centred in the cell.
    QRect target(QPoint(), tick.size());
    target.moveCenter(option.rect.center());
    painter->drawPixmap(target, tick);
}

bool HChannelDelegate::FilterTypedKey(QLineEdit* edit, int column, const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return false; // the editor's own handling
    default:
        break;
    }
    // Shortcuts of the editor (select all, undo, clipboard) and keys that type
    // nothing (caret moves, Delete) are not characters the filter judges.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    if (text.size() != 1 || text[0].unicode() < 32 || text[0].unicode() == 127)
        return false;
    // What is typed replaces a selection, so it lands where the selection starts.
    const int position = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const HChannelColumns::HKeyResult r = HChannelColumns::FilterKey(
        column, static_cast<std::size_t>(position), static_cast<char32_t>(text[0].unicode()));
    switch (r.verdict) {
    case HChannelColumns::HKeyVerdict::Pass:
        return false;
    case HChannelColumns::HKeyVerdict::Insert:
        edit->insert(QString(QChar(static_cast<char16_t>(r.key))));
        return true;
    case HChannelColumns::HKeyVerdict::Replace:
        edit->setText(ToQString(r.text));
        return true;
    case HChannelColumns::HKeyVerdict::Drop:
        return true;
    }
    return true;
}

bool HChannelDelegate::eventFilter(QObject* object, QEvent* event) {
    if (auto* edit = qobject_cast<QLineEdit*>(object);
        edit && edit->property(kFreshProperty).toBool()) {
        if (event->type() == QEvent::MouseButtonDblClick)
            return true;
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            edit->setProperty(kFreshProperty, false);
    }
    if (event->type() == QEvent::KeyPress)
        if (auto* edit = qobject_cast<QLineEdit*>(object))
            if (edit->property(kColumnProperty).isValid() &&
                FilterTypedKey(edit, edit->property(kColumnProperty).toInt(),
                               static_cast<QKeyEvent*>(event)))
                return true;
    return QStyledItemDelegate::eventFilter(object, event);
}
