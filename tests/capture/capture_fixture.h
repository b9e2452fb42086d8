#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/captura.h"
#include "capture/form_fec_vol.h"
#include "capture_catalogue.h"
#include "forms/message_form.h"
#include "headless_host.h"
#include "session/frm_clave_acceso.h"
#include "session/session_state.h"
#include "store/connection.h"
#include "temp_folder.h"

// The test catalogues with their capture days before Friday 21/07/2006, and a run of the
// program signed in through the access screen.
class CaptureScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    auto db = testing_support::createDatabase(folder.path());
    testing_support::writeCaptureCatalogue(db, text::Date{2006, 7, 21});
    host.folder = folder.path();
    host.clock = forms::LocalDateTime{2006, 7, 21, 8, 0, 0};
  }

  void sql(const std::string& statement) { store::run(folder.path(), statement); }
  std::int64_t count(const std::string& statement) {
    return store::run(folder.path(), statement)[0][0].asInteger();
  }

  // Signs in with `key` and the module `caption`, answering the period dialog of "VOL".
  // `more_answers` queues answers for the modal forms the start opens after sign-in.
  capture::Captura& start(const std::string& caption, const std::string& key = "005",
                          const std::function<void()>& more_answers = {}) {
    state = std::make_unique<session::SessionState>();
    captura = std::make_unique<capture::Captura>(host, *state);
    host.answerNext<session::frmClaveAcceso>([caption, key](session::frmClaveAcceso& access) {
      access.type(access.Text1, key);
      access.keyPress(13);
      for (int i = 0; i < access.ComboMod.listCount(); ++i) {
        if (access.ComboMod.itemText(i) == caption) access.choose(access.ComboMod, i);
      }
      access.keyPress(13);
    });
    if (more_answers) more_answers();
    if (caption == "Volúmenes de Ingreso") answerPeriodDialog();
    captura->load();
    return *captura;
  }

  void answerPeriodDialog() {
    host.answerNext<capture::FormFecVol>([](capture::FormFecVol& period) { period.keyPress(13); });
  }

  // Chooses a module from the Selecciona menu.
  void menu(forms::MenuItem& item) {
    if (item.name() == "Volumenes") answerPeriodDialog();
    captura->clickMenu(item);
  }

  static std::vector<std::string> texts(const forms::ComboBox& list) {
    std::vector<std::string> all;
    for (const auto& item : list.items()) all.push_back(item.text);
    return all;
  }

  testing_support::TempFolder folder;
  testing_support::HeadlessHost host;
  std::unique_ptr<session::SessionState> state;
  std::unique_ptr<capture::Captura> captura;
};
