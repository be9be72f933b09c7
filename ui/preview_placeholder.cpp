#include "ui/preview_placeholder.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "platform/bitmap_loader.h"

namespace tavrel {

DibSection MakePreviewPlaceholder(int width, int height) {
    if (width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x2b, 0x2f, 0x36));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Sprocket holes down both edges of the film strip.
    const double hole = std::max(2.0, width / 14.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe8, 0xe8, 0xe8));
    for (double y = hole; y + hole < height; y += hole * 2) {
        painter.drawRoundedRect(QRectF(hole * 0.5, y, hole, hole * 0.8), 1, 1);
        painter.drawRoundedRect(QRectF(width - hole * 1.5, y, hole, hole * 0.8), 1, 1);
    }
    // The frame's window, and a play symbol in it.
    const QRectF window(hole * 2.5, hole, width - hole * 5, height - hole * 2);
    painter.setBrush(QColor(0x45, 0x4b, 0x55));
    painter.drawRect(window);
    const double side = std::min(window.width(), window.height()) * 0.4;
    const QPointF centre = window.center();
    QPainterPath play;
    play.moveTo(centre.x() - side * 0.4, centre.y() - side * 0.5);
    play.lineTo(centre.x() + side * 0.5, centre.y());
    play.lineTo(centre.x() - side * 0.4, centre.y() + side * 0.5);
    play.closeSubpath();
    painter.setBrush(QColor(0xf0, 0xf0, 0xf0));
    painter.drawPath(play);
    painter.end();
    return StretchTrueColourPicture(image, 32, width, height);
}

}  // namespace tavrel
