#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <iostream>

#include "capture/captura.h"
#include "outputs/day_output_files.h"
#include "qt/form_view.h"
#include "qt/qt_host.h"
#include "qt/translations.h"
#include "session/session_state.h"
#include "session/startup.h"
#include "store/data_folder.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QCoreApplication::setApplicationName(store::kDataFolderName);
  qt::installSpanishTranslations(application);
  const store::DataFolder data = store::chooseDataFolder(
      QCoreApplication::applicationDirPath().toStdString(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
  qt::QtHost host(data.path);

  if (const auto problem = session::databaseProblem(data.path, data.portable)) {
    std::cerr << *problem << '\n';
    QMessageBox::critical(nullptr, QStringLiteral("TARVEL Captura"),
                          QString::fromStdString(*problem));
    return 1;
  }

  session::SessionState state;
  capture::Captura captura(host, state);
  outputs::DayOutputFiles outputs(host, state);
  captura.useOutputs(outputs);
  qt::FormView window(captura, host);
  window.forward([&] { captura.load(); });
  return QApplication::exec();
}
