#include "capture/captura.h"
#include "capture/price_text.h"
#include "store/connection.h"
#include "store/literal.h"

namespace capture {
namespace {

constexpr const char* kExisting = "...es el Registro No. ";
constexpr const char* kNew = "...sería el Registro No. ";

}  // namespace

void Captura::showPositionLabels(bool existing) {
  const std::string n = std::to_string(g_.gRegNum);
  const std::string t = std::to_string(records.count());
  const std::string b = std::to_string(basket.size());
  const std::string said =
      (existing ? kExisting : kNew) + n + " de un total de " + t + " ya Grabados";
  if (g_.gCanasta == "S") {
    LblRegNum.caption = n + " / " + t + " -> " + b;
    LblRegES.caption = said + ", de una Canasta de Productos de " + b;
  } else {
    LblRegNum.caption = n + " / " + t;
    LblRegES.caption = said;
  }
}

void Captura::showNewRecordState() {
  Label1.caption = "NUEVO Registro por Grabar";
  CmdGrabar.caption = "Grabar Nuevo";
  CmdBorrar.visible = false;
}

// With a basket the product is given, so the work starts at the minimum price. Entering
// it by program refills the previous prices like an entry by the operator, also when the
// focus is there already.
void Captura::focusRecord() {
  if (g_.gCanasta == "S") {
    if (focused() == &TextMin) {
      TextMin_GotFocus();
    } else {
      setFocus(TextMin);
    }
  } else {
    setFocus(ComboProd);
  }
}

void Captura::clearPreviousPrices() {
  for (forms::LabelArray* column : {&LabDiaAnt, &LabMinAnt, &LabMaxAnt, &LabFrecAnt, &LabUniAnt}) {
    for (int i = 0; i < column->size(); ++i) (*column)[i].caption.clear();
  }
}

void Captura::selectByKey(forms::ComboBox& list, std::int64_t key, int occurrence) {
  int found = -1;
  for (int i = 0; i < list.listCount() && occurrence > 0; ++i) {
    if (list.itemData(i) == key) {
      found = i;
      --occurrence;
    }
  }
  if (found >= 0) list.setListIndex(found);
}

// A presentation may be listed twice; outside oils its second entry is the one shown.
void Captura::selectPresentation(std::int64_t key) {
  selectByKey(ComboPres, key, g_.gModulo == "ACE" ? 1 : 2);
}

// Shows saved record gRegNum, read anew from the database. A number without a key shows
// nothing and leaves the screen as it is.
void Captura::MuestraRegistro() {
  const auto key = records.keyAt(g_.gRegNum);
  if (!key) return;
  const bool volumes = g_.gModulo == "VOL";
  g_.gSQL = std::string(
                "SELECT Reg_Pre.Cve_des, Reg_Pre.Cve_prod, Reg_Pre.Cve_pres, Reg_Pre.Cve_ori, "
                "Pre_min, Pre_max, Pre_frec, Pre_uni, Fecha, Reg_Pre.Obs, Cve_inf, Cve_mun ") +
            (volumes ? ", Vol, Cve_Tra, Fecha_de, Fecha_a " : "") + " from Reg_Pre " +
            " where Consec=" + store::sqlInteger(*key) + " ";
  store::Rows rows;
  if (!attempt("leer el registro", [&] { rows = runSQL(); }) || rows.empty()) return;
  const store::Row& row = rows.front();

  showPositionLabels(true);
  Label1.caption = "Registro existente";
  CmdGrabar.caption = "Grabar Cambio";
  CmdBorrar.visible = CmdBorrar.enabled = true;

  selectByKey(ComboProd, row[1].asInteger());
  selectPresentation(row[2].asInteger());
  selectByKey(g_.gModulo == "AZU" ? ComboIng : ComboOri, row[3].asInteger());
  if (g_.gModulo == "INS") {
    selectByKey(ComboFte, row[10].asInteger());
    selectByKey(ComboMun, row[11].asInteger());
  }
  if (volumes) {
    selectByKey(ComboTrans, row[13].asInteger());
    selectByKey(ComboMun, row[11].asInteger());
  }
  TextMin.text = shownPrice(row[4].asText());
  TextMax.text = shownPrice(row[5].asText());
  TextFrec.text = shownPrice(row[6].asText());
  // The stored single price is not shown.
  TextUni.text = "0.00";
  TextObs.text = row[9].asText();
  if (volumes) TextVol.text = row[12].asText();

  // The focus comes once the record is shown, so the reference price is the record's own;
  // the panel is left empty until the minimum is next entered.
  focusRecord();
  if (g_.gModulo == "INS" && g_.gCanasta != "S") setFocus(ComboOri);
  clearPreviousPrices();
}

// Prefills a new record from basket entry gPosCanasta; the prices start at "0.00".
void Captura::PreparaNuevo() {
  if (const auto entry = basket.at(g_.gPosCanasta)) {
    selectByKey(ComboProd, entry->product);
    selectPresentation(entry->presentation);
    selectByKey(g_.gModulo == "AZU" ? ComboIng : ComboOri, entry->origin);
  }
  for (forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni}) box->text = "0.00";
}

// The first new position after the saved records, prefilled from its basket entry.
void Captura::moveToNewPosition() {
  showNewRecordState();
  g_.gPosCanasta = g_.gRegNum;
  PreparaNuevo();
  focusRecord();
  showPositionLabels(false);
}

void Captura::cmdPrimero_Click() {
  if (g_.gRegNum > 1 && records.count() > 0) {
    g_.gRegNum = 1;
    MuestraRegistro();
  }
}

void Captura::cmdUltimo_Click() {
  CmdBorrar.visible = false;
  if (g_.gRegNum < records.count()) {
    g_.gRegNum = records.count();
    MuestraRegistro();
  }
}

void Captura::cmdAnterior_Click() {
  CmdBorrar.visible = false;
  if (g_.gRegNum <= 1) return;
  --g_.gRegNum;
  if (g_.gRegNum <= records.count()) {
    MuestraRegistro();
  } else if (g_.gCanasta == "S") {
    --g_.gPosCanasta;
    PreparaNuevo();
    focusRecord();
    showPositionLabels(false);
  }
}

void Captura::cmdSiguiente_Click() {
  CmdBorrar.visible = false;
  if (g_.gRegNum <= records.count()) {
    ++g_.gRegNum;
    if (g_.gRegNum <= records.count()) {
      MuestraRegistro();
    } else {
      moveToNewPosition();
    }
  } else if (g_.gCanasta == "S") {
    // Skips a basket entry that was not observed today.
    ++g_.gPosCanasta;
    ++g_.gRegNum;
    PreparaNuevo();
    focusRecord();
    showPositionLabels(false);
  }
}

}  // namespace capture
