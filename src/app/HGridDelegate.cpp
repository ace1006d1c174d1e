#include "HGridDelegate.h"

#include "HGridTableModel.h"
#include "HQtText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace {

constexpr const char* kColumnProperty = "rp57Column";
// Set on a new text editor until it takes its first key or click: the double
// click that opened it is handed on to it and would select one word of the
// text instead of all of it.
constexpr const char* kFreshProperty = "rp57Fresh";
constexpr int kTickSize = 13;

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

HGridDelegate::HGridDelegate(HGridSource& grid, QObject* parent)
    : QStyledItemDelegate(parent), m_grid(grid) {}

QPixmap HGridDelegate::TickPicture(HTickState state) {
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

QWidget* HGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const HEditStart start = m_grid.BeginEdit(index.row(), index.column());
    if (!start.allowed)
        return nullptr;
    if (start.kind == HCellEdit::List) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QString::fromLatin1(kListEditorName));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        for (const std::string& text : start.listTexts)
            combo->addItem(ToQString(text));
        // A pick is the end of the edit, as in the original's drop-down cells.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            auto* self = const_cast<HGridDelegate*>(this);
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
    // Text comes in by keys or by the paste key alone, both filtered.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setAcceptDrops(false);
    return edit;
}

void HGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(index.data(Qt::EditRole).toInt());
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(index.data(Qt::EditRole).toString());
        edit->selectAll();
    }
}

void HGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentIndex(), Qt::EditRole);
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, edit->text(), Qt::EditRole);
}

void HGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QPixmap tick =
        TickPicture(static_cast<HTickState>(index.data(HGridTableModel::TickRole).toInt()));
    if (tick.isNull())
        return;
    // Picture alignment 3 of the original grid: centred in the cell.
    QRect target(QPoint(), tick.size());
    target.moveCenter(option.rect.center());
    painter->drawPixmap(target, tick);
}

void HGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    QRect rect = option.rect;
    rect.setWidth(std::max(rect.width(), combo->sizeHint().width()));
    // Near the grid's right edge it grows to the left instead.
    if (const QWidget* parent = combo->parentWidget(); parent && rect.right() > parent->width())
        rect.moveRight(std::max(parent->width(), option.rect.right()));
    if (rect.left() < 0)
        rect.moveLeft(0);
    combo->setGeometry(rect);
}

void HGridDelegate::PasteFiltered(QLineEdit* edit, int column, const QString& text) const {
    QString result = edit->text();
    int position = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        position = edit->selectionStart();
        result.remove(position, static_cast<int>(edit->selectedText().size()));
    }
    for (const QChar ch : text) {
        const HKeyResult r = m_grid.FilterKey(column, static_cast<std::size_t>(position),
                                              static_cast<char32_t>(ch.unicode()));
        if (r.verdict == HKeyVerdict::Replace) {
            result = ToQString(r.text);
            position = static_cast<int>(result.size());
        } else if (r.verdict == HKeyVerdict::Insert && result.size() < edit->maxLength()) {
            result.insert(position++, QChar(static_cast<char16_t>(r.key)));
        }
    }
    edit->setText(result);
    edit->setCursorPosition(position);
}

bool HGridDelegate::FilterTypedKey(QLineEdit* edit, int column, const QKeyEvent* event) const {
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
    const HKeyResult r = m_grid.FilterKey(column, static_cast<std::size_t>(position),
                                          static_cast<char32_t>(text[0].unicode()));
    switch (r.verdict) {
    case HKeyVerdict::Pass:
        return false;
    case HKeyVerdict::Insert:
        edit->insert(QString(QChar(static_cast<char16_t>(r.key))));
        return true;
    case HKeyVerdict::Replace:
        edit->setText(ToQString(r.text));
        return true;
    case HKeyVerdict::Drop:
        return true;
    }
    return true;
}

bool HGridDelegate::StepList(QComboBox* combo, const QKeyEvent* event) const {
    if (combo->view() != nullptr && combo->view()->isVisible())
        return false; // the open list moves its own selection
    if (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))
        return false; // Alt+Down opens the list
    const int last = combo->count() - 1;
    int index = combo->currentIndex();
    switch (event->key()) {
    case Qt::Key_Up:
        index = std::max(0, index - 1);
        break;
    case Qt::Key_Down:
        index = std::min(last, index + 1);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_Home:
        index = 0;
        break;
    case Qt::Key_PageDown:
    case Qt::Key_End:
        index = last;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // The step the keys reached is the pick.
        auto* self = const_cast<HGridDelegate*>(this);
        emit self->commitData(combo);
        emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
        return true;
    }
    default:
        return false;
    }
    // Without the activated signal, which would end the edit at the first step.
    combo->setCurrentIndex(index);
    return true;
}

bool HGridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (auto* combo = qobject_cast<QComboBox*>(object);
        combo && event->type() == QEvent::KeyPress &&
        StepList(combo, static_cast<QKeyEvent*>(event)))
        return true;
    if (auto* edit = qobject_cast<QLineEdit*>(object);
        edit && edit->property(kFreshProperty).toBool()) {
        if (event->type() == QEvent::MouseButtonDblClick)
            return true;
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            edit->setProperty(kFreshProperty, false);
    }
    auto* edit = qobject_cast<QLineEdit*>(object);
    if (edit && edit->property(kColumnProperty).isValid()) {
        const int column = edit->property(kColumnProperty).toInt();
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Paste)) {
                PasteFiltered(edit, column, QApplication::clipboard()->text());
                return true;
            }
            if (FilterTypedKey(edit, column, key))
                return true;
        }
        // The middle button pastes the X selection.
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
            PasteFiltered(edit, column, QApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
