#pragma once

#include <QWidget>

namespace qt {

// The program's banner: a drawn band with its title, in place of a picture file.
class BannerWidget : public QWidget {
 public:
  explicit BannerWidget(QWidget* parent) : QWidget(parent) {}
  void setTitle(const QString& title);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
};

}  // namespace qt
