#include "session/frm_clave_acceso.h"

#include "forms/message_form.h"
#include "session/access_key.h"
#include "session/capture_date.h"
#include "session/capture_module.h"
#include "session/store_failure.h"
#include "store/connection.h"
#include "store/literal.h"
#include "store/server_security.h"
#include "text/dates.h"
#include "text/encoding.h"

namespace session {
namespace {

constexpr const char* kOtherDate = "Otra Fecha";
// Years outside these are taken for a typing slip, not a capture date.
constexpr int kFirstYear = 1990;
constexpr int kLastYear = 2100;

std::string trimBlanks(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool isOtherDate(const std::string& entry) {
  return entry.substr(0, 10) == kOtherDate;
}

// A numeric key written bare as a number: its sign, if any, then the digits as typed.
std::string numberLiteral(const std::string& key) {
  const std::string trimmed = trimBlanks(key);
  const bool signed_key = !trimmed.empty() && (trimmed[0] == '-' || trimmed[0] == '+');
  return (signed_key && trimmed[0] == '-' ? "-" : "") +
         store::sqlDecimal(signed_key ? trimmed.substr(1) : trimmed);
}

}  // namespace

void frmClaveAcceso::Form_Load() {
  captura_.showCaptureScreen(false);
  LabelDel1.caption = "";

  // A missing row or an empty column reads as no delegation and an ordinary operator.
  attemptStore(host(), g_.database(), "leer la configuración", [this] {
    const store::Rows config = g_.database().run("SELECT Cve_Del, Cve_Ope from Config");
    config_row_ = !config.empty();
    g_.gCveDel = config_row_ ? config[0][0].asText() : "";
    g_.gCveOpe = config_row_ ? config[0][1].asText() : "";
  });
  attemptStore(host(), g_.database(), "leer la lista de delegaciones",
               [this] { fillDelegations(); });
  fillModulesAndDates();
}

bool frmClaveAcceso::configuredDelegation() const {
  return g_.gCveOpe != "746" && g_.gCveDel != "0" && !g_.gCveDel.empty();
}

void frmClaveAcceso::fillDelegations() {
  // A stored key that is no number cannot name a delegation: the full list is offered.
  const bool configured = configuredDelegation() && isPlainInteger(g_.gCveDel);
  if (configured) {
    g_.gSQL =
        "SELECT Cve_Del, Desc_Del from Cat_Deleg where Cve_Del=" + store::sqlKey(g_.gCveDel) + " ";
  } else {
    g_.gSQL = "SELECT Cve_Del, Desc_Del from Cat_Deleg order by Desc_Del";
  }
  for (const store::Row& row : g_.database().run(g_.gSQL)) ComboDel.addItem(row[1].asText());
  if (configured) ComboDel.setListIndex(0);
}

void frmClaveAcceso::fillModulesAndDates() {
  for (const CaptureModule& module : captureModules())
    ComboMod.addItem(std::string(module.caption));
  ComboMod.setListIndex(4);

  const text::Date now = today(host());
  for (int i = 0; i <= 6; ++i) ComboFec.addItem(text::dateLabel(text::addDays(now, -i)));
  ComboFec.addItem("Otra Fecha...");
  ComboFec.setListIndex(0);
  TextFec.text = text::shortDate(now);
}

void frmClaveAcceso::cmdAceptar_Click() {
  std::string k = text::lastCharacters(trimBlanks(Text1.text), 3);
  if (!isNumericKey(k)) k.clear();
  if (trimBlanks(k).empty()) {
    unload();
    host().end(0);
  }
  if (k == "746") {
    g_.gCveOpe = "746";
    k.clear();
  }

  bool found = false;
  if (!attemptStore(host(), g_.database(), "comprobar la clave de acceso",
                    [&] { found = findDelegation(k); })) {
    Text1.text.clear();
    setFocus(Text1);
    return;
  }
  if (!found) {
    host().beep();
    LabelWrongKey.visible = true;
    Text1.text.clear();
    setFocus(Text1);
    return;
  }
  if (!ownDelegation()) {
    Text1.text.clear();
    setFocus(Text1);
    return;
  }
  LabelWrongKey.visible = false;
  captura_.showDelegation(g_.gDescDel);
  LabelDel1.caption = g_.gDescDel;
  g_.gFecha.clear();
  g_.gModulo = "FRU";
  g_.gCveDest.clear();

  attemptStore(host(), g_.database(), "guardar la delegación y el operador",
               [this] { writeConfig(); });
  showStageTwo();
}

// On a server prepared for several delegations the station's role belongs to one: a key of
// another (the "746" key included) is refused, naming the station's delegation. Elsewhere
// any delegation the key opens is the station's.
bool frmClaveAcceso::ownDelegation() {
  std::optional<int> station;
  std::string name;
  if (!attemptStore(host(), g_.database(), "leer la delegación de este equipo en el servidor", [&] {
        station = store::sessionDelegation(g_.database().connection());
        if (!station) return;
        g_.gSQL =
            "SELECT desc_del from Cat_Deleg where Cve_Del=" + store::sqlInteger(*station) + " ";
        const store::Rows found = g_.database().run(g_.gSQL);
        name = found.empty() ? "" : " (" + found[0][0].asText() + ")";
      })) {
    return false;
  }
  if (!station || std::to_string(*station) == g_.gCveDel) return true;
  host().beep();
  forms::MessageForm notice(host(), "Clave de otra delegación",
                            "Este equipo entra al servidor por la delegación " +
                                std::to_string(*station) + name +
                                ": solo se firma con una clave de esa delegación.");
  host().showModal(notice);
  return false;
}

// Looks the key up; on a match the session takes the delegation, the operator and the state.
bool frmClaveAcceso::findDelegation(const std::string& k) {
  const std::string select = "SELECT Cve_Del, desc_del, acceso, edo from Cat_Deleg where ";
  if (g_.gCveOpe == "746" && k.empty()) {
    g_.gSQL = select + "desc_del=" + store::sqlText(ComboDel.text()) + " ";
  } else {
    const std::string L = store::sqlText(text::toLower(k));
    const std::string N = store::sqlInteger(keyNumber(k).value_or(0));
    if (g_.gCveOpe == "746" || !configuredDelegation()) {
      g_.gSQL = select + "lcase(acceso)=" + L + " or cve_del=" + N;
    } else {
      g_.gSQL =
          select + "(lcase(acceso)=" + L + " or cve_del=" + numberLiteral(k) + ") and cve_del=" + N;
    }
  }
  const store::Rows found = g_.database().run(g_.gSQL);
  if (found.empty()) return false;
  const store::Row& row = found.front();
  g_.gDescDel = row[1].asText();
  g_.gCveDel = row[0].asText();
  if (g_.gCveOpe == "0" || g_.gCveOpe.empty()) g_.gCveOpe = g_.gCveDel;
  g_.gEdo = row[3].asInt32();
  return true;
}

void frmClaveAcceso::writeConfig() {
  const std::string del = store::sqlText(g_.gCveDel);
  const std::string ope = store::sqlText(g_.gCveOpe);
  if (config_row_) {
    g_.gSQL = "UPDATE Config SET Cve_Del=" + del + ", Cve_Ope=" + ope + " ";
  } else {
    g_.gSQL = "INSERT INTO Config (Cve_Del, Cve_Ope) values (" + del + ", " + ope + ")";
  }
  g_.database().run(g_.gSQL);
  config_row_ = true;
}

void frmClaveAcceso::showStageTwo() {
  LabelDel.visible = false;
  LabelCla.visible = false;
  LabelFec.visible = true;
  LabelMod.visible = true;
  LabelFec.top = LabelCla.top;
  LabelMod.top = LabelDel.top;
  ComboDel.visible = false;
  ComboFec.visible = true;
  Text1.visible = false;
  ComboMod.visible = true;
  ComboFec.top = LabelCla.top;
  ComboMod.top = LabelDel.top;
  cmdAceptar.visible = false;
  CmdAceptar2.visible = true;
  CmdAceptar2.top = LabelCla.top;
  defaultButton = &CmdAceptar2;
}

void frmClaveAcceso::ComboFec_Click() {
  if (!isOtherDate(ComboFec.text())) return;
  TextFec.top = ComboFec.top;
  TextFec.left = ComboFec.left;
  TextFec.visible = true;
  ComboFec.visible = false;
  TextFec.select(0, 2);
  setFocus(TextFec);
  LabelSel.visible = true;
}

void frmClaveAcceso::CmdAceptar2_Click() {
  g_.gDescMod = ComboMod.text();
  if (isOtherDate(ComboFec.text())) {
    const auto typed = text::parseDayFirst(TextFec.text);
    if (!typed) return refuseTypedDate("no es una fecha válida");
    if (typed->year < kFirstYear || typed->year > kLastYear) {
      return refuseTypedDate("no es una fecha válida: el año debe estar entre " +
                             std::to_string(kFirstYear) + " y " + std::to_string(kLastYear));
    }
    if (!confirmCaptureDate(host(), *typed, g_.gDescMod)) {
      setFocus(TextFec);
      TextFec.select(0, static_cast<int>(TextFec.text.size()));
      return;
    }
    g_.gFecha = text::dateLabel(*typed);
  } else {
    g_.gFecha = ComboFec.text();
  }
  captura_.showModuleAndDate(g_.gDescMod, g_.gFecha);
  unload();
  captura_.showCaptureScreen(true);
}

void frmClaveAcceso::refuseTypedDate(const std::string& reason) {
  forms::MessageForm notice(host(), "Fecha no válida",
                            "«" + TextFec.text + "» " + reason +
                                ".\nEscriba la fecha como dd/mm/aaaa, por ejemplo " +
                                text::shortDate(today(host())) + ".");
  host().showModal(notice);
  setFocus(TextFec);
  TextFec.select(0, static_cast<int>(TextFec.text.size()));
}

void frmClaveAcceso::onCloseRequest() {
  unload();
  host().end(0);
}

}  // namespace session
