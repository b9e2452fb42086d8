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

// A list is tied to the label the operator reads beside it, so a screen reader says both.
TEST(QtView, EveryListIsTheBuddyOfItsLabel) {
  qt_tests::SignedInProgram program;
  program.start();
  for (const auto& [list, label] : {std::pair{"ComboDest", "Label3"},
                                    {"ComboProd", "Label4"},
                                    {"ComboPres", "Label5"},
                                    {"ComboOri", "LblOri"}}) {
    EXPECT_EQ(program.window.findChild<QLabel*>(label)->buddy(),
              program.window.findChild<QComboBox*>(list))
        << list;
  }
}

}  // namespace
