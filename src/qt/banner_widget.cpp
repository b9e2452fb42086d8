#include "qt/banner_widget.h"

#include <QLinearGradient>
#include <QPainter>

namespace qt {

void BannerWidget::setTitle(const QString& title) {
  if (title == title_) return;
  title_ = title;
  update();
}

void BannerWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, width(), height());
  sky.setColorAt(0, QColor(0x1d, 0x5c, 0x2e));
  sky.setColorAt(1, QColor(0x8d, 0xb8, 0x3a));
  painter.fillRect(rect(), sky);

  // Rows of a field, drawn as soft arcs along the bottom.
  painter.setPen(QPen(QColor(255, 255, 255, 40), 2));
  for (int i = 0; i < 6; ++i) {
    const int y = height() - 8 - i * 10;
    painter.drawArc(QRect(-width() / 4, y, width() * 3 / 2, height()), 0, 180 * 16);
  }
  painter.setBrush(QColor(0xf2, 0xc1, 0x2e));
  painter.setPen(Qt::NoPen);
  const int sun = height() / 2;
  painter.drawEllipse(QPoint(width() - sun - 16, sun), sun / 2, sun / 2);

  QFont font = painter.font();
  font.setBold(true);
  font.setPointSize(std::max(12, height() / 4));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(rect().adjusted(20, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, title_);
  QFont small = font;
  small.setBold(false);
  small.setPointSize(std::max(8, height() / 9));
  painter.setFont(small);
  painter.drawText(rect().adjusted(20, 0, 0, -6), Qt::AlignBottom | Qt::AlignLeft,
                   QStringLiteral("Servicio de información de mercados agrícolas de Tarvelia"));
}

}  // namespace qt
