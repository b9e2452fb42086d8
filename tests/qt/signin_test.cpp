#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "capture/captura.h"
#include "capture_catalogue.h"
#include "qt/form_view.h"
#include "qt/qt_host.h"
#include "qt/translations.h"
#include "session/session_state.h"
#include "store/data_folder.h"
#include "temp_folder.h"

#include "qt_program.h"

namespace {

using qt_tests::SignedInProgram;

// The focused control is marked plainly from the first keystroke: its frame differs from
// the same control's without the focus.
TEST(QtView, TheFocusedControlIsPlainlyMarked) {
  SignedInProgram program;
  program.start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
  // A button says the action it does and its key.
  auto* first = program.window.findChild<QPushButton*>("cmdPrimero");
  EXPECT_EQ(first->accessibleName(), QStringLiteral("Primer Registro"));
  EXPECT_TRUE(first->toolTip().contains(QStringLiteral("Ctrl+Inicio")));
  for (const char* name : {"ComboProd", "TextMin", "CmdGrabar"}) {
    auto* widget = program.window.findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr) << name;
    program.window.forward([&] { program.captura.focus(program.captura.TextObs); });
    const QImage without = widget->grab().toImage();
    program.window.forward([&] { program.captura.focus(*program.captura.find(name)); });
    ASSERT_TRUE(widget->hasFocus()) << name;
    const QImage with = widget->grab().toImage();
    EXPECT_NE(without.pixelColor(1, 1), with.pixelColor(1, 1)) << name;
  }
}

TEST(QtView, StandardButtonsSpeakSpanish) {
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text().remove('&'), QStringLiteral("Aceptar"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&'), QStringLiteral("Cancelar"));
}

// The installed program and tarvel-db find the same data folder.
TEST(QtView, TheDataFolderIsTheToolkitsApplicationDataFolder) {
  const QString name = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(store::kDataFolderName);
  EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString(),
            store::userDataFolder().string());
  QCoreApplication::setApplicationName(name);
}

}  // namespace

// One application object for the whole test program, alive while the tests run.
int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  qt::installSpanishTranslations(application);
  return RUN_ALL_TESTS();
}
