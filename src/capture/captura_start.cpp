#include <cstdio>

#include "capture/captura.h"
#include "capture/list_entries.h"
#include "forms/message_form.h"
#include "session/capture_date.h"
#include "session/capture_module.h"
#include "session/frm_clave_acceso.h"
#include "store/archive.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/literal.h"
#include "store/server_settings.h"
#include "text/dates.h"

namespace capture {
namespace {

// What the purge of `day` deletes, in the stored form, for the archive and the copies.
// HH:MM:SS of `moment`.
std::string clockTime(const forms::LocalDateTime& moment) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", moment.hour, moment.minute, moment.second);
  return text;
}

std::string purgedRecords(const text::Date& day) {
  return "Fecha <= '" + text::isoDate(text::addDays(day, -session::kKeptDays)) +
         "' OR (Cve_Mod = 'FRU' AND Fecha <= '" +
         text::isoDate(text::addDays(day, -session::kFruitKeptDays)) + "')";
}

}  // namespace

void Captura::Form_Load() {
  {
    session::frmClaveAcceso access(host(), g_, *this);
    host().showModal(access);
  }
  try {
    prepareScreen();
  } catch (const forms::ScreenMisuse&) {
    throw;
  } catch (const std::exception& failure) {
    // A screen built halfway would take typing it cannot save: the program says what
    // failed and ends instead.
    forms::MessageForm notice(host(), "ERROR",
                              "No se pudo preparar la pantalla de captura. El programa se "
                              "cerrará; vuelva a iniciarlo.",
                              failure.what());
    host().showModal(notice);
    unload();
    host().end(1);
  }
}

// Everything the screen needs after the sign-in: lists, the purge, the basket, the layout.
void Captura::prepareScreen() {
  fillModuleAndDateLists();
  g_.gModulo = session::moduleCodeOf(g_.gDescMod);
  const std::string purged = purgeOldRecords();
  attempt("cargar la lista de orígenes", [this] { fillOrigins(); });

  g_.gCargaListas = "S";
  CargaListas();
  ComboDest.setListIndex(0);
  g_.gCargaListas = "N";

  attempt("cargar la lista de ingenios", [this] { fillSugarMills(); });
  attempt("cargar la lista de fuentes", [this] {
    fillCatalogue(ComboFte, "SELECT Cve_Inf, Desc_Inf from Cat_Fte order by Cve_Inf ", g_.gNumFte);
  });
  attempt("cargar la lista de municipios", [this] {
    fillCatalogue(ComboMun,
                  "SELECT Mun, Municipio from Cat_Muni where edo=" + store::sqlInteger(g_.gEdo) +
                      " order by Mun ",
                  g_.gNumMun);
  });
  attempt("cargar la lista de transportes", [this] {
    fillCatalogue(ComboTrans, "SELECT Cve_Tra, Desc_Tra from Cat_Trans order by Cve_Tra ",
                  g_.gNumTrans);
  });

  if (g_.gModulo != "INS") {
    LabelDest.visible = false;
    ComboDest.visible = ComboDest.enabled = true;
  }
  ComboDest.left = LabelDest.left;
  ComboDest.top = LabelDest.top;
  alignPreviousPricesPanel();

  const auto date = text::dateOfLabel(g_.gFecha);
  g_.gFechaSQL = date ? text::yearSlashDate(*date) : "";
  g_.gFecDe = g_.gFecA = g_.gFechaSQL;
  g_.gCanasta = session::basketFlag(g_.gModulo);

  ComboDest.enabled = true;
  CargaCanasta();
  if (g_.gModulo != "INS") {
    ComboDest.visible = ComboDest.enabled = true;
    LabelDest.visible = false;
  } else {
    ComboOri.enabled = false;
    ComboOri.visible = true;
    ComboDest.enabled = ComboDest.visible = false;
    setFocus(ComboProd);
  }
  // Given up on the database (locked, or out of reach), the start cannot build the screen; the
  // program ends rather than show it half built.
  if (g_.database().givenUp()) {
    unload();
    host().end(1);
  }
  // What the purge deleted is routine news of every morning: a line on the screen, not a
  // window that takes the focus from the first price.
  LabelPurgeNews.caption = purged;
  LabelPurgeNews.visible = !purged.empty();
  if (g_.gModulo == "VOL") showEntryPeriodDialog();
}

void Captura::fillModuleAndDateLists() {
  ComboMod.clear();
  for (const session::CaptureModule& module : session::captureModules())
    ComboMod.addItem(std::string(module.caption));
  ComboMod.setListIndex(0);
  ComboFec.clear();
  const text::Date now = session::today(host());
  for (int i = 0; i <= 9; ++i) ComboFec.addItem(text::dateLabel(text::addDays(now, -i)));
  ComboFec.setListIndex(0);
}

// Records of every module are kept 30 days, those of fruits and vegetables 7; older ones
// move to the archive of purged records. Nothing is deleted without a checked copy of the
// file from before: a start that would delete rows first copies the database into a backup
// of its own, and without one it deletes nothing. Returns what the operator is told of it:
// what was deleted, where it was archived and where the copy is.
std::string Captura::purgeOldRecords() {
  const text::Date now = session::today(host());
  const std::string all_before = store::sqlDate(text::addDays(now, -session::kKeptDays));
  const std::string fruit_before = store::sqlDate(text::addDays(now, -session::kFruitKeptDays));
  std::int64_t old_rows = 0;
  g_.gSQL = "SELECT count(*) FROM Reg_Pre WHERE ((Reg_Pre.Fecha)<=" + all_before +
            ") or ((Reg_Pre.Cve_Mod=\"FRU\") and ((Reg_Pre.Fecha)<=" + fruit_before + "));";
  if (!attempt("contar los registros antiguos", [&] { old_rows = runSQL()[0][0].asInteger(); }) ||
      old_rows == 0) {
    return {};
  }
  const std::filesystem::path folder = host().programFolder();
  // A server's data is copied by its administrator's own backups; this copy is of a file.
  const bool on_file = !store::hasSettings(folder);
  const forms::LocalDateTime moment = host().now();
  const std::filesystem::path copy =
      store::purgeBackupPath(folder, now, moment.hour, moment.minute, moment.second);
  const bool copied =
      !on_file ||
      attempt(
          "copiar la base de datos a " + copy.string() + " antes de borrar los registros antiguos",
          [&] {
            const forms::LongWork work(host(), "Copiando la base de datos a la carpeta " +
                                                   std::string(store::kBackupFolderName) + "…");
            store::backUpDatabase(store::databasePath(folder), copy);
          },
          "No se borró ningún registro; se intentará de nuevo en el próximo inicio. Revise que "
          "haya espacio en el disco y permiso de escritura en la carpeta " +
              copy.parent_path().string() + ".");
  if (!copied) return {};
  if (on_file) {
    attempt("retirar las copias antiguas de la carpeta " + std::string(store::kBackupFolderName),
            [&] { store::removeOldBackups(folder, purgedRecords); });
  }
  // The records go to the archive and leave the database in one transaction, checked there
  // first: each is always in one or the other.
  std::int64_t moved = 0;
  const bool purged = attempt("pasar los registros antiguos al archivo histórico y borrarlos", [&] {
    const forms::LongWork work(
        host(), "Pasando al archivo histórico los registros de más de " +
                    std::to_string(session::kKeptDays) + " días (de más de " +
                    std::to_string(session::kFruitKeptDays) + " en Frutas y Hortalizas)…");
    moved = store::archiveAndPurge(
        g_.database().connection(), folder, purgedRecords(now),
        text::isoDate(now) + " " + clockTime(moment), [&] {
          g_.gSQL = "DELETE FROM Reg_Pre WHERE ((Reg_Pre.Fecha)<=" + all_before + ");";
          runSQL();
          g_.gSQL =
              "DELETE FROM Reg_Pre WHERE ((Reg_Pre.Cve_Mod=\"FRU\") "
              "and ((Reg_Pre.Fecha)<=" +
              fruit_before + "));";
          runSQL();
        });
  });
  if (!purged) return {};
  return (moved == 1 ? std::string("Se borró 1 registro")
                     : "Se borraron " + std::to_string(moved) + " registros") +
         " de más de " + std::to_string(session::kKeptDays) + " días (de más de " +
         std::to_string(session::kFruitKeptDays) + " en Frutas y Hortalizas) y " +
         (moved == 1 ? "pasó" : "pasaron") + " al archivo histórico." +
         (on_file ? "\nEl archivo histórico y la copia completa están en " +
                        copy.parent_path().string() + "."
                  : std::string("\nEl archivo histórico es la tabla ") + store::kArchiveTableName +
                        " del servidor, que se respalda con las copias de su administrador.");
}

// Every origin under its key, then those with an abbreviation under it; the first
// abbreviated entry is selected, or none when no origin has one.
void Captura::fillOrigins() {
  ComboOri.clear();
  g_.gNumOri = 0;
  g_.gSQL = "SELECT Cve_Ori, Desc_Ori from Cat_Ori order by Cve_Ori ";
  for (const store::Row& row : runSQL()) {
    ComboOri.setItemData(ComboOri.addItem(row[0].asText() + " " + row[1].asText()),
                         keyDatum(row[0]));
    ++g_.gNumOri;
  }
  g_.gSQL = "SELECT Cve_Ori, Desc_Ori, Abrev from Cat_Ori where Abrev>'' order by Abrev ";
  for (const store::Row& row : runSQL()) {
    ComboOri.setItemData(ComboOri.addItem(row[2].asText() + " " + row[1].asText()),
                         keyDatum(row[0]));
  }
  ComboOri.setListIndex(g_.gNumOri);
}

void Captura::fillSugarMills() {
  ComboIng.clear();
  g_.gSQL = "SELECT Cve_Ing, Desc_Ing, Consecutivo from Cat_Ing order by Cve_Ing ";
  for (const store::Row& row : runSQL()) {
    const std::int32_t mill = keyDatum(row[2]);
    ComboIng.setItemData(ComboIng.addItem(row[0].asText() + " " + row[1].asText()), mill);
    ComboIng.setItemData(ComboIng.addItem(row[1].asText() + " " + row[0].asText()), mill);
  }
  ComboIng.setListIndex(0);
  g_.gNumIng = ComboIng.listCount();
}

// A catalogue listed as key, blank, name, with the key as item datum.
void Captura::fillCatalogue(forms::ComboBox& list, const std::string& statement, int& count) {
  list.clear();
  g_.gSQL = statement;
  for (const store::Row& row : runSQL()) {
    list.setItemData(list.addItem(row[0].asText() + " " + row[1].asText()), keyDatum(row[0]));
  }
  list.setListIndex(0);
  count = list.listCount();
}

void Captura::alignPreviousPricesPanel() {
  for (int i = 0; i < 5; ++i) {
    forms::LabelArray* columns[] = {&LabMinAnt, &LabMaxAnt, &LabFrecAnt, &LabUniAnt};
    forms::TextBox* boxes[] = {&TextMin, &TextMax, &TextFrec, &TextUni};
    for (int c = 0; c < 4; ++c) {
      (*columns[c])[i].top = LabDiaAnt[i].top;
      (*columns[c])[i].left = boxes[c]->left;
      (*columns[c])[i].caption.clear();
    }
    LabDiaAnt[i].left = LabDiaAnt[0].left;
    LabDiaAnt[i].caption.clear();
  }
}

void Captura::LabelFec_Click() {
  showInForce();
  openListAtLabel(LabelFec, ComboFec, g_.gCambiaFec);
}

// The module and date lists open on the module and date in force, so a list left as it
// opened changes nothing.
void Captura::showInForce() {
  ComboMod.setListIndex(-1);
  for (int i = 0; i < ComboMod.listCount(); ++i) {
    if (session::moduleCodeOf(ComboMod.itemText(i)) == g_.gModulo) ComboMod.setListIndex(i);
  }
  ComboFec.setListIndex(-1);
  for (int i = 0; i < ComboFec.listCount(); ++i) {
    if (ComboFec.itemText(i) == g_.gFecha) ComboFec.setListIndex(i);
  }
}

// A new date rebuilds the day as a new destination does: the basket, the saved records and
// the position are those of the date on screen, and new records are saved under it. A date
// whose records the next start purges, or a later one, is asked about first.
void Captura::ComboFec_Validate(bool& cancel) {
  cancel = true;
  if (g_.gCambiaFec != "S") return;
  g_.gCambiaFec = "N";
  ComboFec.visible = ComboFec.enabled = false;
  ComboFec.causesValidation = false;
  LabelFec.visible = true;
  const auto chosen = text::dateOfLabel(ComboFec.text());
  if (!chosen || ComboFec.text() == g_.gFecha ||
      !session::confirmCaptureDate(host(), *chosen, g_.gDescMod) ||
      !mayDiscardTyping("¿Cambiar de fecha?", "Cambiar de fecha")) {
    for (int i = 0; i < ComboFec.listCount(); ++i) {
      if (ComboFec.itemText(i) == g_.gFecha) ComboFec.setListIndex(i);
    }
    return;
  }
  // An entry period that was the capture date follows it.
  const std::string before = g_.gFechaSQL;
  g_.gFecha = ComboFec.text();
  LabelFec.caption = g_.gFecha;
  g_.gFechaSQL = text::yearSlashDate(*chosen);
  // Compared as dates: the period dialog writes its dates with two-digit months and days.
  const auto wasCaptureDate = [&](const std::string& end) {
    return text::parseYearFirst(end) == text::parseYearFirst(before);
  };
  if (wasCaptureDate(g_.gFecDe) && wasCaptureDate(g_.gFecA)) {
    g_.gFecDe = g_.gFecA = g_.gFechaSQL;
  }
  CargaCanasta();
}

}  // namespace capture
