#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "capture/captura.h"
#include "capture_catalogue.h"
#include "outputs/day_output_files.h"
#include "qt/form_view.h"
#include "qt/qt_host.h"
#include "session/session_state.h"
#include "temp_folder.h"

namespace qt_tests {

// The Qt host without the operator's viewer: a report is written, not opened.
class TestHost : public qt::QtHost {
 public:
  using QtHost::QtHost;
  bool openDocument(const std::filesystem::path&) override { return true; }
};

// Pastes `text` into `edit` as an operator does with Ctrl+V.
inline void paste(QWidget* edit, const QString& text) {
  QApplication::clipboard()->setText(text);
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

// Works the access screen with the keyboard, from inside its modal loop; each of
// `wrong_keys` is pasted into the key box and refused before the right key is typed.
inline void signInWithKeyboard(bool& done, const std::vector<QString>& wrong_keys = {}) {
  QDialog* dialog = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->objectName() == "frmClaveAcceso") {
      dialog = qobject_cast<QDialog*>(widget);
    }
  }
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  auto* key = dialog->findChild<QLineEdit*>("Text1");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(QApplication::focusWidget(), key);
  EXPECT_EQ(key->echoMode(), QLineEdit::Password);
  for (const QString& wrong : wrong_keys) {
    paste(key, wrong);
    QTest::keyClick(key, Qt::Key_Return);
    EXPECT_TRUE(key->isVisible());
    EXPECT_TRUE(key->text().isEmpty());
  }
  QTest::keyClicks(QApplication::focusWidget(), "005");
  // Each typed character shows as "*", whatever the widget style's own mask is.
  EXPECT_EQ(key->displayText(), QStringLiteral("***"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

  auto* modules = dialog->findChild<QComboBox*>("ComboMod");
  auto* dates = dialog->findChild<QComboBox*>("ComboFec");
  EXPECT_TRUE(modules->isVisible());
  EXPECT_FALSE(key->isVisible());
  EXPECT_EQ(modules->currentText(), QString::fromUtf8("Frutas y Hortalizas"));
  EXPECT_EQ(dates->count(), 8);
  EXPECT_EQ(dialog->findChild<QLabel*>("LabelDel1")->text(),
            QString::fromUtf8("Delegación Valle Alto"));

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  done = !dialog->isVisible();
}

// A failed step must not leave the modal loop running.
inline void closeAccessScreen() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->objectName() == "frmClaveAcceso") {
      qobject_cast<QDialog*>(widget)->done(0);
    }
  }
}

// The program on a demo database, signed in through the access screen's widgets.
struct SignedInProgram {
  SignedInProgram() {
    auto db = testing_support::createDatabase(folder.path());
    // No capture days: by the real clock they would be years old and purged at the start.
    testing_support::writeCatalogues(db);
  }

  void start(const std::vector<QString>& wrong_keys = {}) {
    captura.useOutputs(outputs);
    QTimer::singleShot(0, [this, wrong_keys] {
      signInWithKeyboard(closed_by_enter, wrong_keys);
      closeAccessScreen();
    });
    window.forward([this] { captura.load(); });
  }

  testing_support::TempFolder folder;
  TestHost host{folder.path()};
  session::SessionState state;
  capture::Captura captura{host, state};
  outputs::DayOutputFiles outputs{host, state};
  qt::FormView window{captura, host};
  bool closed_by_enter = false;
};

// While it lives, every modal form that opens is closed with Enter, its name noted.
class ModalCloser {
 public:
  ModalCloser() {
    QObject::connect(&watch_, &QTimer::timeout, [this] {
      QWidget* modal = nullptr;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isModal()) modal = widget;
      }
      if (!modal || modal == last_) return;
      last_ = modal;
      closed.push_back(modal->objectName().toStdString());
      for (const QLabel* label : modal->findChildren<QLabel*>()) {
        said.push_back(label->text().toStdString());
      }
      QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_Return);
    });
    watch_.start(10);
  }
  std::vector<std::string> closed;
  std::vector<std::string> said;

 private:
  QTimer watch_;
  QWidget* last_ = nullptr;
};

}  // namespace qt_tests
