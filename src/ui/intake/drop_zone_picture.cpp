#include "ui/intake/drop_zone_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace lumivane {

namespace {

const QColor frameBlue(0, 0, 192);
const QColor pageFill(235, 241, 255);

void paintFrame(QPainter &painter, qreal side)
{
    QPen pen(frameBlue, side / 60.0, Qt::DashLine);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = side / 30.0;
    painter.drawRoundedRect(QRectF(inset, inset, side - 2 * inset, side - 2 * inset), side / 10.0,
                            side / 10.0);
}

// A sheet with a folded top-right corner and a few lines of "markup" on it.
void paintPage(QPainter &painter, qreal side)
{
    const QRectF page(side * 0.32, side * 0.36, side * 0.36, side * 0.46);
    const qreal fold = page.width() * 0.3;
    QPainterPath outline;
    outline.moveTo(page.topLeft());
    outline.lineTo(page.right() - fold, page.top());
    outline.lineTo(page.right(), page.top() + fold);
    outline.lineTo(page.bottomRight());
    outline.lineTo(page.bottomLeft());
    outline.closeSubpath();
    painter.setPen(QPen(frameBlue, side / 80.0));
    painter.setBrush(pageFill);
    painter.drawPath(outline);

    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(corner);

    painter.setPen(QPen(frameBlue, side / 70.0, Qt::SolidLine, Qt::RoundCap));
    const qreal left = page.left() + page.width() * 0.18;
    const qreal lineLengths[] = {0.55, 0.64, 0.4, 0.58};
    qreal y = page.top() + fold + page.height() * 0.12;
    for (const qreal length : lineLengths) {
        painter.drawLine(QPointF(left, y), QPointF(left + page.width() * length, y));
        y += page.height() * 0.14;
    }
}

// An arrow coming down from above into the page.
void paintArrow(QPainter &painter, qreal side)
{
    const qreal x = side / 2.0;
    painter.setPen(QPen(frameBlue, side / 30.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QPointF(x, side * 0.12), QPointF(x, side * 0.30));
    painter.setBrush(frameBlue);
    const QPointF head[] = {
        {x - side * 0.07, side * 0.25}, {x + side * 0.07, side * 0.25}, {x, side * 0.33}};
    painter.drawPolygon(head, 3);
}

}  // namespace

QPixmap dropZonePicture(int side)
{
    QPixmap picture(side, side);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    paintFrame(painter, side);
    paintPage(painter, side);
    paintArrow(painter, side);
    return picture;
}

}  // namespace lumivane
