#pragma once

#include <filesystem>
#include <fstream>

#include "capture/captura.h"
#include "capture_catalogue.h"
#include "headless_host.h"
#include "server_database.h"
#include "session/session_state.h"
#include "sign_in.h"
#include "store/server_settings.h"
#include "temp_folder.h"

namespace server_tests {

// A program folder whose settings file names a new server database holding the test
// catalogue with its capture days before Friday 21/07/2006.
struct ServerFolder {
  ServerFolder() {
    {
      store::Connection server = testing_support::createServerSchema(database);
      testing_support::writeCaptureCatalogue(server, text::Date{2006, 7, 21});
    }
    std::ofstream(folder.path() / store::kSettingsFileName)
        << "# La base de datos de la delegación\nservidor = " << database.uri() << "\n";
  }

  testing_support::TempFolder folder;
  testing_support::ServerDatabase database;
};

// One station working in `folder` on Friday 21/07/2006, signed in with `key` (delegation 5's
// by default) into "Frutas y Hortalizas"; every message and warning is answered with Enter,
// as an operator would.
struct Station {
  explicit Station(const std::filesystem::path& folder, const std::string& key = "005") {
    host.folder = folder;
    host.clock = forms::LocalDateTime{2006, 7, 21, 8, 0, 0};
    host.enterOnEveryModal = true;
    testing_support::queueSignIn(host, key);
    screen.load();
  }

  testing_support::HeadlessHost host;
  session::SessionState state;
  capture::Captura screen{host, state};
};

}  // namespace server_tests
