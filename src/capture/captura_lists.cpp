#include "capture/captura.h"
#include "capture/list_entries.h"
#include "session/capture_module.h"
#include "store/literal.h"
#include "text/encoding.h"

namespace capture {

void Captura::CargaListas() {
  if (g_.gCargaListas != "S") return;
  g_.gCargaListas = "N";
  const session::CaptureModule* module = session::findModule(session::normalizedCode(g_.gModulo));
  const std::string letter = module ? std::string(module->typeLetter) : "";
  resetPriceBoxes();

  // A module code outside the table names no flag column: no destination is offered.
  attempt("cargar la lista de destinos",
          [&] { fillDestinations(module ? std::string(module->destColumn) : ""); });
  if (g_.gModulo == "INS") {
    selectByKey(ComboOri, g_.gEdo);
    ComboOri.enabled = false;
  }
  // At the auction destination the volume module takes the auction's products.
  const bool auction = g_.gCveDest == "100" && g_.gModulo == "VOL";
  const std::string first = auction ? "B" : letter;
  const std::string second = auction ? "H" : letter;
  attempt("cargar la lista de productos",
          [&] { fillProducts(first, auction ? "AND" : session::normalizedCode(g_.gModulo)); });
  attempt("cargar la lista de presentaciones", [&] { fillPresentations(first, second); });
}

// An empty result leaves the list empty, gCveDest as it was and the label blank.
void Captura::fillDestinations(const std::string& column) {
  ComboDest.clear();
  store::Rows rows;
  if (!column.empty()) {
    g_.gSQL = "SELECT Cve_Des, Desc_Des from Cat_Dest where Coord=" + store::sqlText(g_.gCveDel) +
              " and " + " " + column + "='S' order by Desc_Des ";
    rows = runSQL();
  }
  LabelDest.caption = rows.empty() ? "" : rows.front()[1].asText();
  for (const store::Row& row : rows) {
    ComboDest.setItemData(ComboDest.addItem(row[1].asText()), keyDatum(row[0]));
  }
  ComboDest.setListIndex(0);
  if (ComboDest.listCount() > 0) g_.gCveDest = std::to_string(ComboDest.itemData(0));
}

void Captura::fillProducts(std::string typeLetter, std::string productModule) {
  ComboProd.clear();
  if (g_.gModulo == "ACE") {
    g_.gSQL =
        "SELECT Cve_Prod, Desc_Prod, Cat_Var_Ace.Descripcion, Num_Prod from Cat_Prod left join "
        "Cat_Var_Ace ON mid(Cat_Prod.Cve_Prod,3,1) = Cat_Var_Ace.Variedad where Cve_Mod=" +
        store::sqlText(productModule) + " order by Desc_Prod, Calidad ";
  } else {
    const std::string letter = store::sqlText(typeLetter);
    g_.gSQL = "SELECT Cve_Prod, Desc_Prod, Calidad, Num_Prod from Cat_Prod where Cve_Mod=" +
              store::sqlText(productModule) + " or InStr(Tipo," + letter +
              ")>0 or mid(Tipo,2,1)=" + letter + " or mid(Tipo,3,1)=" + letter +
              " order by Desc_Prod, Calidad ";
  }
  int count = 0;
  for (const store::Row& row : runSQL()) {
    const std::string key = row[0].asText();
    const std::string name = row[1].asText();
    const std::string detail = row[2].asText();
    const bool in_parentheses = g_.gModulo == "INS" && !detail.empty();
    const std::string suffix = in_parentheses ? " (" + detail + ")" : " " + detail;
    const std::int32_t product = keyDatum(row[3]);
    if (g_.gModulo != "FLO") {
      // Sugars are listed by their sort, without the leading word.
      const std::string shown =
          text::firstCharacters(name, 6) == "Azúcar"
              ? name.substr(std::min(name.size(), text::firstCharacters(name, 7).size()))
              : name;
      ComboProd.setItemData(ComboProd.addItem(shown + suffix), product);
      ++count;
    }
    ComboProd.setItemData(ComboProd.addItem(key + " " + name + suffix), product);
    ++count;
  }
  ComboProd.setListIndex(0);
  g_.gNumProd = count;
}

// Outside sugar and grains the broad batch comes first and the narrow batch follows, so a
// presentation can be listed twice; the first narrow entry (position B) is then selected.
void Captura::fillPresentations(const std::string& typeLetter, const std::string& secondLetter) {
  ComboPres.clear();
  int count = 0;
  int broad = 0;
  const bool single_batch = g_.gModulo == "AZU" || g_.gModulo == "GRA";
  const std::string first = store::sqlText(typeLetter);
  const std::string second = store::sqlText(secondLetter);
  if (!single_batch) {
    g_.gSQL = "SELECT Cve_Pres, Desc_Pres, Cla_Pres from Cat_Pres where InStr(Tipo," + first +
              ")>0 or InStr(Tipo," + second + ")>0 or mid(Tipo,2,1)=" + first +
              " or mid(Tipo,3,1)=" + first + " order by Cve_Pres ";
    for (const store::Row& row : runSQL()) {
      const std::string shown = g_.gModulo == "ACE" ? row[1].asText() + " " + row[2].asText()
                                                    : row[0].asText() + " " + row[1].asText();
      ComboPres.setItemData(ComboPres.addItem(shown), keyDatum(row[0]));
      ++count;
    }
    broad = ComboPres.listCount();
  }
  g_.gSQL = "SELECT Cve_Pres, Desc_Pres, Cla_Pres from Cat_Pres where InStr(Tipo," + first +
            ")>0  or InStr(Tipo," + second + ")>0 order by Cve_Pres ";
  for (const store::Row& row : runSQL()) {
    ComboPres.setItemData(ComboPres.addItem(row[2].asText() + " " + row[1].asText()),
                          keyDatum(row[0]));
    ++count;
  }
  g_.gNumPres = count;
  const bool first_entry = single_batch || g_.gModulo == "ACE";
  ComboPres.setListIndex(first_entry ? 0 : broad);
  // A single presentation leaves nothing to choose.
  ComboPres.enabled = count != 1;
}

void Captura::LabelDest_Click() {
  if (g_.gModulo != "INS") openListAtLabel(LabelDest, ComboDest, g_.gCambiaDest);
}

void Captura::SelDestino_Click() {
  LabelDest_Click();
}

void Captura::ComboDest_Validate(bool& cancel) {
  cancel = true;
  if (g_.gCambiaDest != "S") return;
  g_.gCambiaDest = "N";
  LabelDest.caption = ComboDest.text();
  LabelDest.visible = false;
  if (g_.gModulo != "INS") ComboDest.visible = ComboDest.enabled = true;
  ComboDest.causesValidation = false;
}

// Leaving the destination list builds the day of a destination other than the one on
// screen; passing through it keeps the record on screen and what was typed into it.
void Captura::ComboDest_LostFocus() {
  const std::string chosen = ComboDest.listIndex() >= 0
                                 ? std::to_string(ComboDest.itemData(ComboDest.listIndex()))
                                 : g_.gCveDest;
  if (chosen != dayDestination_ && !dayDestination_.empty() &&
      !mayDiscardTyping("¿Cambiar de destino?", "Cambiar de destino")) {
    // Kept: the list goes back to the destination whose record is on screen.
    for (int i = 0; i < ComboDest.listCount(); ++i) {
      if (std::to_string(ComboDest.itemData(i)) == dayDestination_) ComboDest.setListIndex(i);
    }
    g_.gCveDest = dayDestination_;
  } else {
    g_.gCveDest = chosen;
    if (g_.gCveDest != dayDestination_) CargaCanasta();
  }
  LabelDest.caption = ComboDest.text();
  LabelDest.visible = false;
  if (g_.gModulo != "INS") ComboDest.visible = ComboDest.enabled = true;
}

}  // namespace capture
