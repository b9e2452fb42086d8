#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "capture/captura.h"
#include "outputs/day_output_files.h"
#include "qt/form_view.h"
#include "qt/qt_host.h"
#include "qt/translations.h"
#include "session/session_state.h"
#include "session/startup.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  qtview::installSpanishTranslations(application);
  qtview::QtHost host;

  if (const auto problem = session::databaseProblem(host.programFolder())) {
    std::cerr << *problem << '\n';
    QMessageBox::critical(nullptr, QStringLiteral("TARVEL Captura"),
                          QString::fromStdString(*problem));
    return 1;
  }

  session::SessionState state;
  capture::Captura captura(host, state);
  outputs::DayOutputFiles outputs(host, state);
  captura.useOutputs(outputs);
  qtview::FormView window(captura, host);
  window.forward([&] { captura.load(); });
  return QApplication::exec();
}
