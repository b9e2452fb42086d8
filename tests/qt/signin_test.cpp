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

TEST(QtView, SignsInAndChoosesTheDestinationThroughRealWidgetsWithTheKeyboard) {
  SignedInProgram program;
  program.start();
  qt::FormView& window = program.window;
  EXPECT_TRUE(program.closed_by_enter);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(),
            QString::fromUtf8("TARVEL - Máscara de Captura 2006 (Agrícolas)"));
  EXPECT_EQ(window.findChild<QLabel*>("LabelDel")->text(),
            QString::fromUtf8("Delegación Valle Alto"));
  EXPECT_EQ(window.findChild<QLabel*>("LabelMod")->text(),
            QString::fromUtf8("Frutas y Hortalizas"));
  EXPECT_EQ(window.findChild<QLabel*>("LabelFec")->text().toStdString(), program.state.gFecha);
  // Every widget speaks the label beside it or the action it does, and says its key.
  EXPECT_EQ(window.findChild<QLineEdit*>("TextMin")->accessibleName(), QString::fromUtf8("Mínimo"));
  auto* first = window.findChild<QPushButton*>("cmdPrimero");
  EXPECT_EQ(first->accessibleName(), QStringLiteral("Primer Registro"));
  EXPECT_TRUE(first->toolTip().contains(QStringLiteral("Ctrl+Inicio")));

  // With the keyboard alone: Alt+S opens "Selecciona", "Destino" opens the destination list,
  // a choice and Enter take it over and move on.
  ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->objectName(), "Selecciona");
  QTest::keyClick(menu, Qt::Key_Up);  // "Fecha", the last item
  QTest::keyClick(menu, Qt::Key_Up);
  QTest::keyClick(menu, Qt::Key_Return);
  auto* destinations = program.window.findChild<QComboBox*>("ComboDest");
  EXPECT_EQ(QApplication::focusWidget(), destinations);
  QTest::keyClick(destinations, Qt::Key_Down);
  QTest::keyClick(destinations, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(program.state.gCveDest, "11");
  EXPECT_NE(QApplication::focusWidget(), destinations);
  EXPECT_EQ(destinations->currentText(), QString::fromUtf8("Mercado Morelos del Valle"));
}

// The focused control is marked plainly from the first keystroke: its frame differs from
// the same control's without the focus.
TEST(QtView, TheFocusedControlIsPlainlyMarked) {
  SignedInProgram program;
  program.start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
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
