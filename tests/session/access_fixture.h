#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "headless_host.h"
#include "server_database.h"
#include "session/frm_clave_acceso.h"
#include "session/hand_over.h"
#include "session/session_state.h"
#include "temp_folder.h"

// Stands in for the capture screen: records what the access screen hands over.
struct HandOverRecord : session::CaptureHandOver {
  void showCaptureScreen(bool show) override { shown = show; }
  void showDelegation(const std::string& name) override { delegation = name; }
  void showModuleAndDate(const std::string& moduleCaption, const std::string& dateLabel) override {
    module = moduleCaption;
    date = dateLabel;
  }
  bool shown = true;
  std::string delegation;
  std::string module;
  std::string date;
};

// A database with four delegations, and a run of the program up to the access screen, which
// the test then works as an operator would.
class AccessScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    store::Connection& db = database.connection();
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

  // Opens the access screen as the program's start does; `operate` works it. Returns the
  // status the program ended with, if it ended.
  std::optional<int> run(const std::function<void(session::frmClaveAcceso&)>& operate) {
    return runOn(state, captura, operate);
  }

  std::optional<int> runOn(session::SessionState& session, HandOverRecord& handOver,
                           const std::function<void(session::frmClaveAcceso&)>& operate) {
    session::frmClaveAcceso access(host, session, handOver);
    host.answerNext<session::frmClaveAcceso>(operate);
    try {
      host.showModal(access);
    } catch (const testing_support::ProgramEnded& ended) {
      return ended.status;
    }
    return std::nullopt;
  }

  // A later run of the program that signs in with `key` and accepts module and date.
  session::SessionState signInAgain(const std::string& key) {
    session::SessionState fresh;
    HandOverRecord handOver;
    runOn(fresh, handOver, [&](session::frmClaveAcceso& access) {
      typeKey(access, key);
      access.keyPress(forms::kEnterKey);
    });
    return fresh;
  }

  // Types the key, or a date, and presses Enter, as the operator does.
  static void typeKey(session::frmClaveAcceso& access, const std::string& key) {
    access.type(access.Text1, key);
    access.keyPress(forms::kEnterKey);
  }
  static void typeDate(session::frmClaveAcceso& access, const std::string& date) {
    access.type(access.TextFec, date);
    access.keyPress(forms::kEnterKey);
  }

  testing_support::TempFolder folder;
  testing_support::TestDatabase database{folder.path()};
  testing_support::HeadlessHost host;
  session::SessionState state;
  HandOverRecord captura;
};
