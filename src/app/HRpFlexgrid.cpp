#include "HRpFlexgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>

HRpFlexgrid::HRpFlexgrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("grid%1").arg(kControlId));
    // F2 belongs to the group step, so the platform's edit key is not used.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
}

bool HRpFlexgrid::CommitOpenEditor() {
    if (!IsEditing())
        return false;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void HRpFlexgrid::DiscardOpenEditor() {
    if (!IsEditing())
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool HRpFlexgrid::event(QEvent* event) {
    // F3 kept here reaches keyPressEvent; otherwise the window's F3 runs.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F3 && key->modifiers() == Qt::NoModifier && !IsEditing() &&
            (!m_keepsF3 || m_keepsF3(currentIndex()))) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void HRpFlexgrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!IsEditing() && plain) {
        switch (event->key()) {
        case Qt::Key_F2:
            emit NextGroupRequested();
            event->accept();
            return;
        case Qt::Key_Space:
            if (current.isValid())
                emit CellActionRequested(current.row(), current.column(), HCellActionMode::Space);
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current.isValid())
                emit CellActionRequested(current.row(), current.column(), HCellActionMode::Enter);
            event->accept();
            return;
        case Qt::Key_F3:
            if (current.isValid())
                emit ToneShortcutRequested(current.row(), current.column());
            event->accept();
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void HRpFlexgrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    // A cell edited in place opens its editor; every other cell takes the
    // double click as its action (toggles, the priority channel, column 0).
    if (event->button() == Qt::LeftButton && index.isValid() &&
        !(index.flags() & Qt::ItemIsEditable)) {
        setCurrentIndex(index);
        emit CellActionRequested(index.row(), index.column(), HCellActionMode::DoubleClick);
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}
