#include <QAbstractItemView>
#include <QLabel>
#include <cmath>

#include "qt_program.h"

namespace {

double luminance(const QColor& color) {
  const auto channel = [](double value) {
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
         0.0722 * channel(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  const double lighter = std::max(luminance(a), luminance(b));
  const double darker = std::min(luminance(a), luminance(b));
  return (lighter + 0.05) / (darker + 0.05);
}

// The contrast between the row's background (its corner pixel) and the pixel of its text
// that stands out most from it.
double highlightedRowContrast(QAbstractItemView& view) {
  const QRect row = view.visualRect(view.currentIndex());
  const QImage image = view.viewport()->grab(row).toImage();
  const QColor background = image.pixelColor(1, 1);
  double best = 1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      best = std::max(best, contrast(background, image.pixelColor(x, y)));
    }
  }
  return best;
}

// An entry reached with the arrow keys in an open list reads plainly, in every list of the
// capture screen, with the focus style on the list itself.
TEST(QtView, TheHighlightedEntryOfEveryOpenListReadsPlainly) {
  qt_tests::SignedInProgram program;
  program.start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
  int checked = 0;
  for (auto* combo : program.window.findChildren<QComboBox*>()) {
    if (!combo->isVisible() || !combo->isEnabled() || combo->count() < 2) continue;
    combo->setFocus(Qt::MouseFocusReason);
    combo->showPopup();
    QAbstractItemView& view = *combo->view();
    QTest::keyClick(&view, Qt::Key_Down);
    ASSERT_TRUE(view.currentIndex().isValid()) << combo->objectName().toStdString();
    EXPECT_GE(highlightedRowContrast(view), 4.5) << combo->objectName().toStdString();
    combo->hidePopup();
    ++checked;
  }
  EXPECT_GE(checked, 4);
}

// Ctrl+Z in a box with typing undoes the typing; in a box without, it brings back the record
// deleted.
TEST(QtView, CtrlZUndoesTheBoxsTypingBeforeTheDelete) {
  qt_tests::SignedInProgram program;
  program.start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
  capture::Captura& c = program.captura;
  auto* minimum = program.window.findChild<QLineEdit*>("TextMin");
  program.window.forward([&] { c.focus(c.TextMin); });
  for (const char* price : {"10", "12", "11"}) {
    QTest::keyClicks(QApplication::focusWidget(), price);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
  ASSERT_EQ(c.records.count(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(c.records.count(), 0);

  program.window.forward([&] { c.focus(c.TextMin); });
  QTest::keyClick(minimum, Qt::Key_End);
  QTest::keyClicks(minimum, "7");
  QTest::keyClick(minimum, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(minimum->text(), QStringLiteral("0.00"));
  EXPECT_EQ(c.TextMin.text, "0.00");
  EXPECT_EQ(c.records.count(), 0);
  QTest::keyClick(minimum, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(c.records.count(), 1);
}

}  // namespace
