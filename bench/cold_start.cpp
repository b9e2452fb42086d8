// The program's start up to its access screen on screen, then an exit: scripts/bench times
// it as a whole process beside minimal_window, the least a Qt program can do.
#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "capture/captura.h"
#include "outputs/day_output_files.h"
#include "qt/form_view.h"
#include "qt/qt_host.h"
#include "qt/translations.h"
#include "session/session_state.h"
#include "session/startup.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  qt::installSpanishTranslations(application);
  qt::QtHost host;
  if (session::databaseProblem(host.programFolder())) return 1;
  session::SessionState state;
  capture::Captura captura(host, state);
  outputs::DayOutputFiles outputs(host, state);
  captura.useOutputs(outputs);
  qt::FormView window(captura, host);
  // Runs inside the access screen's modal loop, once it is shown.
  QTimer::singleShot(0, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->isVisible() && widget->objectName() == "frmClaveAcceso") std::_Exit(0);
    }
    std::_Exit(2);
  });
  window.forward([&] { captura.load(); });
  return 3;
}
