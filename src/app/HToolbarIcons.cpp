#include "HToolbarIcons.h"

#include "HMainCommands.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// Every picture is drawn on a 16 x 16 grid and rendered at 16 and 32 pixels.
QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        paint(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QColor kInk(60, 60, 60);
const QColor kPaper(255, 255, 255);

void Page(QPainter& p, QRectF r) {
    QPainterPath path;
    const qreal fold = 3.5;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void TextLines(QPainter& p, QRectF r, int count) {
    p.setPen(QPen(QColor(120, 140, 170), 1.0));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 4.5 + 2.0 * i;
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void Arrow(QPainter& p, bool down, const QColor& color) {
    QPainterPath path;
    if (down) {
        path.moveTo(5.5, 1.5);
        path.lineTo(10.5, 1.5);
        path.lineTo(10.5, 7.5);
        path.lineTo(14, 7.5);
        path.lineTo(8, 14.5);
        path.lineTo(2, 7.5);
        path.lineTo(5.5, 7.5);
    } else {
        path.moveTo(5.5, 14.5);
        path.lineTo(10.5, 14.5);
        path.lineTo(10.5, 8.5);
        path.lineTo(14, 8.5);
        path.lineTo(8, 1.5);
        path.lineTo(2, 8.5);
        path.lineTo(5.5, 8.5);
    }
    path.closeSubpath();
    p.setPen(QPen(color.darker(150), 1.0));
    p.setBrush(color);
    p.drawPath(path);
}

} // namespace

namespace HToolbarIcons {

QIcon ForCommand(int id) {
    switch (id) {
    case HCmd::kFileNew:
        return Draw([](QPainter& p) { Page(p, QRectF(3.5, 1.5, 9, 13)); });
    case HCmd::kFileOpen:
        return Draw([](QPainter& p) {
            p.setPen(QPen(QColor(150, 110, 20), 1.0));
            p.setBrush(QColor(240, 200, 90));
            p.drawRect(QRectF(1.5, 4.5, 12, 9));
            p.drawRect(QRectF(1.5, 3.0, 5, 1.5));
            p.setBrush(QColor(250, 220, 120));
            QPolygonF flap;
            flap << QPointF(3.5, 7.5) << QPointF(15, 7.5) << QPointF(13.5, 13.5)
                 << QPointF(1.5, 13.5);
            p.drawPolygon(flap);
        });
    case HCmd::kFileSave:
        return Draw([](QPainter& p) {
            p.setPen(QPen(QColor(30, 50, 110), 1.0));
            p.setBrush(QColor(70, 100, 190));
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(kPaper);
            p.drawRect(QRectF(4, 1.5, 8, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(4.5, 9.5, 7, 5));
        });
    case HCmd::kEditCopy:
        return Draw([](QPainter& p) {
            const QRectF back(1.5, 1.5, 8, 10);
            const QRectF front(6.5, 4.5, 8, 10);
            Page(p, back);
            Page(p, front);
            TextLines(p, front, 4);
        });
    case HCmd::kEditPaste:
        return Draw([](QPainter& p) {
            p.setPen(QPen(QColor(110, 70, 30), 1.0));
            p.setBrush(QColor(190, 140, 80));
            p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(QRectF(4, 1.5, 5, 2.5));
            const QRectF page(6.5, 5.5, 8, 9);
            Page(p, page);
            TextLines(p, page, 3);
        });
    case HCmd::kFilePrint:
        return Draw([](QPainter& p) {
            Page(p, QRectF(4.5, 1.5, 7, 6));
            p.setPen(QPen(kInk, 1.0));
            p.setBrush(QColor(190, 190, 190));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 10.5, 7, 4));
            p.setBrush(QColor(60, 180, 60));
            p.setPen(Qt::NoPen);
            p.drawEllipse(QPointF(12.5, 8.5), 0.8, 0.8);
        });
    case HCmd::kToolUpload:
        // Upload brings the radio's memory into the program.
        return Draw([](QPainter& p) { Arrow(p, true, QColor(60, 170, 70)); });
    case HCmd::kToolDownload:
        // Download sends the program's image to the radio.
        return Draw([](QPainter& p) { Arrow(p, false, QColor(230, 130, 40)); });
    case HCmd::kAppAbout:
        return Draw([](QPainter& p) {
            p.setPen(QPen(QColor(30, 70, 150), 1.0));
            p.setBrush(QColor(60, 120, 210));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(8, 4.8), 1.1, 1.1);
            p.drawRoundedRect(QRectF(7, 7, 2, 5.5), 0.5, 0.5);
        });
    default:
        return {};
    }
}

} // namespace HToolbarIcons
