#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "capture/captura.h"
#include "headless_host.h"
#include "session/frm_clave_acceso.h"
#include "session/session_state.h"
#include "temp_folder.h"

// A database with four delegations, and a run of the program up to the access screen, which
// the test then works as an operator would.
class AccessScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    auto db = testing_support::createDatabase(folder.path());
    testing_support::insert(db, "Cat_Deleg", {"Cve_Del", "desc_del", "acceso", "edo"},
                            {{"5", "Valle Alto", "105", "3"},
                             {"7", "Siete Lagos", "zzz", "4"},
                             {"12", "Costa Serena", "007", "7"},
                             {"21", "Sierra Añil", "AbC", "11"}});
    testing_support::insert(db, "Config", {"Cve_Del", "Cve_Ope"}, {{"0", "0"}});
    host.folder = folder.path();
    host.clock = forms::LocalDateTime{2006, 7, 21, 9, 30, 0};
  }

  void setConfig(const std::string& statement) { store::run(folder.path(), statement); }

  std::pair<std::string, std::string> config() {
    const auto rows = store::run(folder.path(), "SELECT Cve_Del, Cve_Ope from Config");
    return rows.empty() ? std::pair<std::string, std::string>{"<none>", "<none>"}
                        : std::pair{rows[0][0].asText(), rows[0][1].asText()};
  }

  // Starts the program; `operate` works the access screen. Returns the status the program
  // ended with, if it ended.
  std::optional<int> run(const std::function<void(session::frmClaveAcceso&)>& operate) {
    host.answerNext<session::frmClaveAcceso>(operate);
    try {
      captura.load();
    } catch (const testing_support::ProgramEnded& ended) {
      return ended.status;
    }
    return std::nullopt;
  }

  // A later run of the program that signs in with `key` and accepts module and date.
  session::SessionState signInAgain(const std::string& key) {
    session::SessionState fresh;
    capture::Captura again(host, fresh);
    host.answerNext<session::frmClaveAcceso>([&](session::frmClaveAcceso& access) {
      typeKey(access, key);
      access.keyPress(13);
    });
    again.load();
    return fresh;
  }

  // Types the key and presses Enter, as the operator does.
  static void typeKey(session::frmClaveAcceso& access, const std::string& key) {
    access.type(access.Text1, key);
    access.keyPress(13);
  }

  testing_support::TempFolder folder;
  testing_support::HeadlessHost host;
  session::SessionState state;
  capture::Captura captura{host, state};
};
