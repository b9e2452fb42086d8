#include "capture/captura.h"
#include "capture/price_text.h"
#include "forms/message_form.h"
#include "store/connection.h"
#include "store/literal.h"

namespace capture {
namespace {

constexpr const char* kExisting = "...es el Registro No. ";
constexpr const char* kNew = "...sería el Registro No. ";
constexpr const char* kMissingEntry = " (no está en el catálogo)";

std::optional<std::int64_t> keyOf(const store::Value& value) {
  if (value.isNull()) return std::nullopt;
  return value.asInteger();
}

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
  dropMissingEntries();
  TextVol.text = "0";
  markRecordShown();
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
    for (int i = 0; i < column->size(); ++i) {
      (*column)[i].caption.clear();
      (*column)[i].accessibleName.clear();
    }
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

// A key the list does not hold is shown as an entry of its own, marked, so the record on
// screen is the stored one and a change writes back its own key.
void Captura::showStoredKey(forms::ComboBox& list, std::optional<std::int64_t> stored,
                            int occurrence) {
  // A record that names none shows none, and a change must choose one.
  if (!stored) return list.setListIndex(-1);
  const std::int64_t key = *stored;
  for (int i = 0; i < list.listCount(); ++i) {
    if (list.itemData(i) == key) {
      selectByKey(list, key, occurrence);
      return;
    }
  }
  const int added = list.addItem(std::to_string(key) + kMissingEntry);
  list.setItemData(added, static_cast<std::int32_t>(key));
  list.setListIndex(added);
}

// The marked entries belong to the record that was shown; a selection on one is dropped
// with it, so nothing of that record is saved into another.
void Captura::dropMissingEntries() {
  for (forms::ComboBox* list :
       {&ComboProd, &ComboPres, &ComboOri, &ComboIng, &ComboFte, &ComboMun, &ComboTrans}) {
    for (int i = list->listCount() - 1; i >= 0; --i) {
      if (list->itemText(i).ends_with(kMissingEntry)) list->removeItem(i);
    }
  }
}

// A presentation may be listed twice; outside oils its second entry is the one shown.
void Captura::selectPresentation(std::int64_t key) {
  selectByKey(ComboPres, key, g_.gModulo == "ACE" ? 1 : 2);
}

// Another station deleted record gRegNum since this screen listed the day's records.
void Captura::tellRecordGone(const std::string& consequence) {
  forms::MessageForm notice(
      host(), "AVISO",
      "El registro No. " + std::to_string(g_.gRegNum) + " ya no existe: se borró desde otro " +
          "equipo." + (consequence.empty() ? "" : " " + consequence) +
          "\nVuelva a elegir el destino para ver los registros del día como están ahora.");
  host().showModal(notice);
}

// Shows saved record gRegNum, read anew from the database. False, with the screen as it
// was, when the number has no key or the record cannot be read.
bool Captura::MuestraRegistro() {
  const auto key = records.keyAt(g_.gRegNum);
  if (!key) return false;
  const bool volumes = g_.gModulo == "VOL";
  g_.gSQL = std::string(
                "SELECT Reg_Pre.Cve_des, Reg_Pre.Cve_prod, Reg_Pre.Cve_pres, Reg_Pre.Cve_ori, "
                "Pre_min, Pre_max, Pre_frec, Pre_uni, Fecha, Reg_Pre.Obs, Cve_inf, Cve_mun ") +
            (volumes ? ", Vol, Cve_Tra, Fecha_de, Fecha_a " : "") + " from Reg_Pre " +
            " where Consec=" + store::sqlInteger(*key) + " ";
  // Everything is read before anything on screen changes.
  struct Shown {
    std::int64_t product, presentation, origin;
    std::optional<std::int64_t> source, municipality, transport;
    std::string minimum, maximum, frequent, single, observations, volume;
  };
  std::optional<Shown> shown;
  bool gone = false;
  attempt("leer el registro", [&] {
    const store::Rows rows = runSQL();
    gone = rows.empty();
    if (gone) return;
    const store::Row& row = rows.front();
    shown = Shown{row[1].asInteger(),
                  row[2].asInteger(),
                  row[3].asInteger(),
                  keyOf(row[10]),
                  keyOf(row[11]),
                  volumes ? keyOf(row[13]) : std::nullopt,
                  shownPrice(row[4].asText()),
                  shownPrice(row[5].asText()),
                  shownPrice(row[6].asText()),
                  row[7].asText(),
                  row[9].asText(),
                  volumes ? row[12].asText() : ""};
  });
  if (gone) tellRecordGone();
  if (!shown) return false;

  showPositionLabels(true);
  Label1.caption = "Registro existente";
  CmdGrabar.caption = "Grabar Cambio";
  CmdBorrar.visible = CmdBorrar.enabled = true;
  dropMissingEntries();
  showStoredKey(ComboProd, shown->product);
  showStoredKey(ComboPres, shown->presentation, g_.gModulo == "ACE" ? 1 : 2);
  showStoredKey(g_.gModulo == "AZU" ? ComboIng : ComboOri, shown->origin);
  if (g_.gModulo == "INS") {
    showStoredKey(ComboFte, shown->source);
    showStoredKey(ComboMun, shown->municipality);
  }
  if (volumes) {
    showStoredKey(ComboTrans, shown->transport);
    // The municipality is not on the volume screen: its list keeps its entry as before.
    if (shown->municipality) selectByKey(ComboMun, *shown->municipality);
  }
  TextMin.text = shown->minimum;
  TextMax.text = shown->maximum;
  TextFrec.text = shown->frequent;
  // Shown rounded as every price is; a change writes the stored amount back unless the
  // operator changed the box.
  TextUni.text = shownPrice(shown->single);
  singleStored_ = shown->single;
  TextObs.text = shown->observations;
  if (volumes) TextVol.text = shown->volume;

  // The focus comes once the record is shown, so the reference price is the record's own;
  // the panel is left empty until the minimum is next entered.
  focusRecord();
  if (g_.gModulo == "INS" && g_.gCanasta != "S") setFocus(ComboOri);
  clearPreviousPrices();
  markRecordShown();
  return true;
}

// Moves onto saved record `number`; a record that cannot be shown leaves the position
// where it was.
void Captura::showSavedRecord(std::int64_t number) {
  const std::int64_t before = g_.gRegNum;
  g_.gRegNum = number;
  if (MuestraRegistro()) return;
  g_.gRegNum = before;
  // A saved record still on screen keeps the Eliminar button that the move had hidden.
  if (before <= records.count()) CmdBorrar.visible = true;
}

// After a save or a delete the position has moved on in the table; if the record there
// cannot be shown, the screen goes to the first new position rather than keep showing
// another record under its number.
void Captura::showRecordAfterChange() {
  if (g_.gRegNum <= records.count() && MuestraRegistro()) return;
  g_.gRegNum = records.count() + 1;
  moveToNewPosition();
}

// Prefills a new record from basket entry gPosCanasta; the prices start at "0.00" and the
// volume at "0".
void Captura::PreparaNuevo() {
  if (const auto entry = basket.at(g_.gPosCanasta)) {
    selectByKey(ComboProd, entry->product);
    selectPresentation(entry->presentation);
    selectByKey(g_.gModulo == "AZU" ? ComboIng : ComboOri, entry->origin);
  }
  // Inputs are priced in the delegation's own state.
  if (g_.gModulo == "INS") selectByKey(ComboOri, g_.gEdo);
  clearPreviousPrices();
  for (forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni}) box->text = "0.00";
  TextVol.text = "0";
  markRecordShown();
}

// The first new position after the saved records, prefilled from its basket entry.
void Captura::moveToNewPosition() {
  showNewRecordState();
  offerBasketEntry();
  PreparaNuevo();
  focusRecord();
  showPositionLabels(false);
}

bool Captura::canGoFirst() const {
  return g_.gRegNum > 1 && records.count() > 0;
}

bool Captura::canGoBack() const {
  return g_.gRegNum > 1 && (g_.gRegNum - 1 <= records.count() || g_.gCanasta == "S");
}

bool Captura::canGoOn() const {
  return g_.gRegNum <= records.count() || g_.gCanasta == "S";
}

bool Captura::canGoLast() const {
  return g_.gRegNum < records.count();
}

void Captura::cmdPrimero_Click() {
  forgetDeletedRecord();
  if (canGoFirst()) showSavedRecord(1);
}

void Captura::cmdUltimo_Click() {
  forgetDeletedRecord();
  CmdBorrar.visible = false;
  if (canGoLast()) showSavedRecord(records.count());
}

void Captura::cmdAnterior_Click() {
  forgetDeletedRecord();
  CmdBorrar.visible = false;
  if (!canGoBack()) return;
  if (g_.gRegNum - 1 <= records.count()) {
    showSavedRecord(g_.gRegNum - 1);
  } else {
    --g_.gRegNum;
    offerBasketEntry();
    PreparaNuevo();
    focusRecord();
    showPositionLabels(false);
  }
}

void Captura::cmdSiguiente_Click() {
  forgetDeletedRecord();
  CmdBorrar.visible = false;
  if (g_.gRegNum < records.count()) {
    showSavedRecord(g_.gRegNum + 1);
  } else if (g_.gRegNum == records.count()) {
    ++g_.gRegNum;
    moveToNewPosition();
  } else if (g_.gCanasta == "S") {
    // Skips a basket entry that was not observed today.
    ++g_.gRegNum;
    offerBasketEntry();
    PreparaNuevo();
    focusRecord();
    showPositionLabels(false);
  }
}

}  // namespace capture
