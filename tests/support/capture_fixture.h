#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/captura.h"
#include "capture/form_error.h"
#include "capture/form_fec_vol.h"
#include "capture_catalogue.h"
#include "forms/message_form.h"
#include "headless_host.h"
#include "server_database.h"
#include "session/frm_clave_acceso.h"
#include "session/session_state.h"
#include "store/connection.h"
#include "temp_folder.h"

// The test catalogues with their capture days before Friday 21/07/2006, and a run of the
// program signed in through the access screen.
class CaptureScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::writeCaptureCatalogue(database.connection(), text::Date{2006, 7, 21});
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
      access.keyPress(forms::kEnterKey);
      for (int i = 0; i < access.ComboMod.listCount(); ++i) {
        if (access.ComboMod.itemText(i) == caption) access.choose(access.ComboMod, i);
      }
      access.keyPress(forms::kEnterKey);
    });
    if (more_answers) more_answers();
    if (caption == "Volúmenes de Ingreso") answerPeriodDialog();
    captura->load();
    return *captura;
  }

  // Accepts the period as offered, noting which screen it was asked over.
  void answerPeriodDialog() {
    host.answerNext<capture::FormFecVol>([this](capture::FormFecVol& period) {
      const bool volume = captura->TextVol.visible && captura->ComboTrans.visible;
      periodAskedOver = volume ? "volume" : "prices";
      period.keyPress(forms::kEnterKey);
    });
  }

  // Chooses a module from the Selecciona menu.
  void menu(forms::MenuItem& item) {
    if (item.name() == "Volumenes") answerPeriodDialog();
    captura->clickMenu(item);
  }

  // A record written straight into the file, as an earlier day's work.
  struct Row {
    std::string module = "FRU";
    int destination = 10;
    std::string date = "2006-07-20";
    int product = 1;
    int presentation = 1;
    int origin = 3;
    std::optional<std::string> minimum = "100";
    std::optional<std::string> maximum = "120";
    std::optional<std::string> frequent = "110";
    std::string observations = "";
    int source = 1;
    int municipality = 301;
    std::optional<int> transport = std::nullopt;
    std::optional<std::int64_t> key = std::nullopt;
  };
  std::int64_t addRow(const Row& row) { return addRows({row}); }
  // Yesterday's fruit basket at the central market: avocado (type F), watermelon (G) and
  // tomato (H), each from Valle Alto, sold at 100.
  void yesterdaysBasket() {
    sql("DELETE FROM Reg_Pre");
    for (int product : {4, 1, 3}) addRow({.product = product});
  }
  // Returns the largest key in the file.
  std::int64_t addRows(const std::vector<Row>& list) {
    std::vector<tarvel_db::CsvRecord> records;
    const auto optional = [](const auto& value) {
      return value ? std::optional(std::to_string(*value)) : std::nullopt;
    };
    for (const Row& row : list) {
      records.push_back({optional(row.key), "5", row.module, row.date, std::to_string(row.product),
                         std::to_string(row.origin), std::to_string(row.destination),
                         std::to_string(row.presentation), row.minimum, row.maximum, row.frequent,
                         "0", "1", row.observations, std::to_string(row.source),
                         std::to_string(row.municipality), optional(row.transport)});
    }
    store::Connection& db = database.connection();
    testing_support::insert(db, "Reg_Pre",
                            {"Consec", "Cve_del", "Cve_Mod", "Fecha", "Cve_prod", "Cve_ori",
                             "Cve_des", "Cve_pres", "Pre_min", "Pre_max", "Pre_frec", "Pre_uni",
                             "Consecutivo", "Obs", "Cve_inf", "Cve_mun", "Cve_tra"},
                            records);
    return db.runNative("SELECT max(Consec) FROM Reg_Pre")[0][0].asInteger();
  }

  // Answers the next notice (its text lands in `notices`), keeping its "Detalles".
  void answerNotice() {
    host.answerNext<forms::MessageForm>([this](forms::MessageForm& notice) {
      notice.click(notice.cmdDetalles);
      details.push_back(notice.LabelDetalle.visible ? notice.LabelDetalle.caption : "");
      notice.keyPress(forms::kEnterKey);
    });
  }

  // Answers the next error dialog, keeping its two lines as "first | second".
  void answerError() {
    host.answerNext<capture::FormError>([this](capture::FormError& dialog) {
      errors.push_back(dialog.LabelError.caption + " | " + dialog.LabelGrabo.caption);
      dialog.keyPress(forms::kEnterKey);
    });
  }

  // Types the three prices as the operator does, each box left for the next.
  void typePrices(const std::string& minimum, const std::string& maximum,
                  const std::string& frequent) {
    captura->type(captura->TextMin, minimum);
    captura->type(captura->TextMax, maximum);
    captura->type(captura->TextFrec, frequent);
  }

  std::int64_t rows(const std::string& where = "1=1") {
    return count("SELECT count(*) FROM Reg_Pre WHERE " + where);
  }

  static std::vector<std::string> texts(const forms::ComboBox& list) {
    std::vector<std::string> all;
    for (const auto& item : list.items()) all.push_back(item.text);
    return all;
  }

  testing_support::TempFolder folder;
  testing_support::TestDatabase database{folder.path()};
  testing_support::HeadlessHost host;
  std::unique_ptr<session::SessionState> state;
  std::unique_ptr<capture::Captura> captura;
  std::vector<std::string> errors;
  std::vector<std::string>& notices = host.notices;
  std::vector<std::string> details;
  std::string periodAskedOver;
};
