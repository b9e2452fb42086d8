#include "capture/captura.h"
#include "capture/list_entries.h"
#include "capture/price_history.h"
#include "capture/price_record.h"
#include "capture/price_text.h"
#include "capture/statements.h"
#include "store/connection.h"
#include "text/money.h"

#include <utility>

namespace capture {
namespace {

// Selects a box's whole text, as every price box does when entered.
void selectAll(forms::TextBox& box) {
  box.select(0, 25);
}

}  // namespace

// A price box left is rewritten in the money form without "$" (1234.5 gives 1,234.50, 0
// gives an empty box). A text that is not an amount stays as typed for the operator to
// correct; the save refuses it.
void Captura::reformatPrice(forms::TextBox& box) {
  if (text::readPrice(box.text)) box.text = shownPrice(box.text);
}

void Captura::markIfNotAmount(forms::TextBox& box) {
  box.style.background = amountOf(box.text) ? "" : "#ffd7d7";
  // The line names what is still wrong: the text of one box, or the boxes when several are.
  std::vector<const forms::TextBox*> wrong;
  for (const forms::TextBox* each : {&TextMin, &TextMax, &TextFrec, &TextUni, &TextVol}) {
    if (!each->style.background.empty()) wrong.push_back(each);
  }
  std::string said;
  for (std::size_t i = 0; i < wrong.size(); ++i) {
    said += (i == 0 ? "" : i + 1 == wrong.size() ? " y " : ", ") + wrong[i]->spokenName();
  }
  LabelPriceNotice.visible = !wrong.empty();
  LabelPriceNotice.caption = wrong.empty()       ? ""
                             : wrong.size() == 1 ? "«" + wrong[0]->text + "» no es un número"
                                                 : said + " no son números";
}

// Entering the minimum shows the five most recent earlier prices of the record's key and
// takes the mean of their minimums as the reference of the variation warning.
void Captura::TextMin_GotFocus() {
  selectAll(TextMin);
  clearPreviousPrices();
  g_.gPromMin = 0;
  const auto date = text::dateOfLabel(g_.gFecha);
  const auto destination = selectedKey(ComboDest);
  const auto product = selectedKey(ComboProd);
  const auto presentation = selectedKey(ComboPres);
  const auto origin = selectedKey(g_.gModulo == "AZU" ? ComboIng : ComboOri);
  if (!date || !destination || !product || !presentation || !origin) return;

  g_.gSQL = previousPricesStatement(
      PriceKey{g_.gModulo, *destination, *product, *presentation, *origin}, *date);
  store::Rows rows;
  if (!attempt("leer los precios anteriores", [&] { rows = runSQL(); })) return;
  std::vector<double> minimums;
  for (std::size_t i = 0; i < rows.size() && i < static_cast<std::size_t>(LabDiaAnt.size()); ++i) {
    const store::Row& row = rows[i];
    const int line = static_cast<int>(i);
    const auto day = row[4].asDate();
    const std::string dayLabel = day ? text::dateLabel(*day) : "";
    LabDiaAnt[line].caption = dayLabel;
    LabDiaAnt[line].accessibleName = "Precios anteriores del " + dayLabel;
    // A screen reader reads each earlier price with its column and day.
    const std::pair<forms::LabelArray*, const forms::TextBox*> columns[] = {
        {&LabMinAnt, &TextMin}, {&LabMaxAnt, &TextMax}, {&LabFrecAnt, &TextFrec}};
    for (std::size_t c = 0; c < std::size(columns); ++c) {
      forms::Label& value = (*columns[c].first)[line];
      value.caption = shownPrice(row[c].asText());
      value.accessibleName =
          columns[c].second->spokenName() + " del " + dayLabel + ": " + value.caption;
    }
    minimums.push_back(row[0].isNull() ? 0 : row[0].asReal());
  }
  g_.gPromMin = referencePrice(minimums);
}

// The warning is advisory: the price stays as typed and the record can be saved. A price
// left for another position, for a delete or for the undo of one is abandoned, so it is not
// checked.
void Captura::TextMin_LostFocus() {
  reformatPrice(TextMin);
  markIfNotAmount(TextMin);
  const forms::Control* next = focusGoingTo();
  for (const forms::Control* leaves :
       {&cmdPrimero, &cmdAnterior, &cmdSiguiente, &cmdUltimo, &CmdBorrar, &CmdDeshacer}) {
    if (next == leaves) return;
  }
  const auto minimum = text::readPrice(TextMin.text.empty() ? "0" : TextMin.text);
  if (minimum && variesTooMuch(*minimum, g_.gPromMin)) {
    showError("Variación en precio mayor de 30%");
  }
}

void Captura::TextMax_LostFocus() {
  reformatPrice(TextMax);
  markIfNotAmount(TextMax);
}

void Captura::TextFrec_LostFocus() {
  reformatPrice(TextFrec);
  markIfNotAmount(TextFrec);
}

// The single price is rewritten as the other prices are; the volume keeps its text as
// typed and is only checked.
void Captura::TextUni_LostFocus() {
  reformatPrice(TextUni);
  markIfNotAmount(TextUni);
}

void Captura::TextVol_LostFocus() {
  markIfNotAmount(TextVol);
}

// Entering the volume selects what it shows: a saved record's own volume, or the "0" a new
// record starts from, so walking past the box on the way to "Grabar Cambio" keeps it.
void Captura::TextVol_GotFocus() {
  selectAll(TextVol);
}

}  // namespace capture
