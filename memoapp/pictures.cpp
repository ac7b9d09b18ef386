#include "memoapp/pictures.h"

#include <QPainter>
#include <QPolygon>

namespace memoapp {

namespace {

constexpr int kIconSize = 32;
constexpr int kArrowSize = 16;

QPixmap TransparentPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// The triangle's tip is at the middle of the side it points to; its base
// spans the opposite side, leaving a pixel of ground around it.
QPixmap Arrow(bool pointsLeft) {
  QPixmap pixmap = TransparentPixmap(kArrowSize);
  const int tip = pointsLeft ? 2 : kArrowSize - 3;
  const int base = pointsLeft ? kArrowSize - 4 : 3;
  QPainter painter(&pixmap);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kArrowColour);
  painter.drawPolygon(QPolygon({QPoint(tip, kArrowSize / 2), QPoint(base, 1), QPoint(base, kArrowSize - 2)}));
  return pixmap;
}

}  // namespace

QPixmap LintrowIcon() {
  QPixmap pixmap = TransparentPixmap(kIconSize);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(176, 128, 0), 3));
  painter.setBrush(QColor(255, 214, 0));
  painter.drawEllipse(QRectF(2, 2, kIconSize - 4, kIconSize - 4));
  return pixmap;
}

QPixmap LeftArrow() { return Arrow(true); }

QPixmap RightArrow() { return Arrow(false); }

}  // namespace memoapp
