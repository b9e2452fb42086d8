#include "session/frm_clave_acceso.h"

#include "forms/message_form.h"
#include "session/access_key.h"
#include "store/connection.h"
#include "store/literal.h"
#include "text/dates.h"
#include "text/encoding.h"

namespace session {
namespace {

constexpr const char* kOtherDate = "Otra Fecha";

text::Date today(forms::Host& host) {
  const forms::LocalDateTime now = host.now();
  return text::Date{now.year, now.month, now.day};
}

std::string trimBlanks(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool isOtherDate(const std::string& entry) {
  return entry.substr(0, 10) == kOtherDate;
}

}  // namespace

void frmClaveAcceso::Form_Load() {
  captura_.visible = false;
  g_.gRuta = host().programFolder().string();
  LabelDel1.caption = "";

  // A missing row or an empty column reads as no delegation and an ordinary operator.
  const store::Rows config = store::run(g_.gRuta, "SELECT Cve_Del, Cve_Ope from Config");
  config_row_ = !config.empty();
  g_.gCveDel = config_row_ ? config[0][0].asText() : "";
  g_.gCveOpe = config_row_ ? config[0][1].asText() : "";

  fillDelegations();
  fillModulesAndDates();
}

bool frmClaveAcceso::configuredDelegation() const {
  return g_.gCveOpe != "746" && g_.gCveDel != "0" && !g_.gCveDel.empty();
}

void frmClaveAcceso::fillDelegations() {
  // A stored key that is no number cannot name a delegation: the full list is offered.
  const bool configured = configuredDelegation() && isPlainInteger(g_.gCveDel);
  if (configured) {
    g_.gSQL = "SELECT Cve_Del, Desc_Del from Cat_Deleg where Cve_Del=" + g_.gCveDel + " ";
  } else {
    g_.gSQL = "SELECT Cve_Del, Desc_Del from Cat_Deleg order by Desc_Del";
  }
  for (const store::Row& row : store::run(g_.gRuta, g_.gSQL)) ComboDel.addItem(row[1].asText());
  if (configured) ComboDel.setListIndex(0);
}

void frmClaveAcceso::fillModulesAndDates() {
  for (const char* module :
       {"Frutas y Hortalizas", "Azúcar", "Aceites Comestibles", "Granos y Semillas", "Flores",
        "Insumos Agrícolas", "Volúmenes de Ingreso", "Anden de Subasta"}) {
    ComboMod.addItem(module);
  }
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

  const std::string L = text::toLower(k);
  const std::string N = k.empty() ? "" : std::to_string(keyNumber(k).value_or(0));
  const std::string select = "SELECT Cve_Del, desc_del, acceso, edo from Cat_Deleg where ";
  if (g_.gCveOpe == "746" && k.empty()) {
    g_.gSQL = select + "desc_del='" + store::escapeText(ComboDel.text()) + "' ";
  } else if (g_.gCveOpe == "746" || !configuredDelegation()) {
    g_.gSQL = select + "lcase(acceso)='" + L + "' or cve_del=" + N;
  } else {
    g_.gSQL = select + "(lcase(acceso)='" + L + "' or cve_del=" + L + ") and cve_del=" + N;
  }

  const store::Rows found = store::run(g_.gRuta, g_.gSQL);
  if (found.empty()) {
    host().beep();
    Text1.text.clear();
    setFocus(Text1);
    return;
  }
  const store::Row& row = found.front();
  g_.gDescDel = row[1].asText();
  g_.gCveDel = row[0].asText();
  if (g_.gCveOpe == "0" || g_.gCveOpe.empty()) g_.gCveOpe = g_.gCveDel;
  captura_.control<forms::Label>("LabelDel").caption = g_.gDescDel;
  LabelDel1.caption = g_.gDescDel;
  g_.gEdo = static_cast<int>(row[3].asInteger());
  g_.gFecha.clear();
  g_.gModulo = "FRU";
  g_.gCveDest.clear();

  writeConfig();
  showStageTwo();
}

void frmClaveAcceso::writeConfig() {
  const std::string del = store::escapeText(g_.gCveDel);
  const std::string ope = store::escapeText(g_.gCveOpe);
  if (config_row_) {
    g_.gSQL = "UPDATE Config SET Cve_Del='" + del + "', Cve_Ope='" + ope + "' ";
  } else {
    g_.gSQL = "INSERT INTO Config (Cve_Del, Cve_Ope) values ('" + del + "', '" + ope + "')";
  }
  store::run(g_.gRuta, g_.gSQL);
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
    if (!typed) return refuseTypedDate();
    g_.gFecha = text::dateLabel(*typed);
  } else {
    g_.gFecha = ComboFec.text();
  }
  captura_.control<forms::Label>("LabelFec").caption = g_.gFecha;
  captura_.control<forms::Label>("LabelMod").caption = g_.gDescMod;
  unload();
  captura_.visible = true;
}

void frmClaveAcceso::refuseTypedDate() {
  forms::MessageForm notice(host(), "Fecha no válida",
                            "«" + TextFec.text +
                                "» no es una fecha válida.\nEscríbala como dd/mm/aaaa, por "
                                "ejemplo " +
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
