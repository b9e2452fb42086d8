#include "capture/form_fec_vol.h"

#include "capture/period_dates.h"
#include "forms/message_form.h"

namespace capture {

FormFecVol::FormFecVol(forms::Host& host, session::SessionState& state)
    : Form(host, "FormFecVol"), g_(state) {
  caption = "Periodo de ingreso";
  width = 320;
  height = 170;
  Label1.caption = "Periodo de ingreso del producto";
  Label1.style.bold = true;
  Label1.place(20, 14, 280);
  Label2.caption = "Desde:";
  Label2.place(20, 52, 70);
  TextFecDe.place(100, 50, 120);
  TextFecDe.labelledBy = &Label2;
  Label3.caption = "Hasta:";
  Label3.place(20, 86, 70);
  TextFecA.place(100, 84, 120);
  TextFecA.labelledBy = &Label3;
  ComAceptar.caption = "Aceptar";
  ComAceptar.place(110, 124, 100, 30);
  defaultButton = &ComAceptar;
  TextFecDe.tabIndex = 0;
  TextFecA.tabIndex = 1;
  ComAceptar.tabIndex = 2;

  // Entering a date box selects its day digits.
  TextFecDe.onGotFocus = [this] { TextFecDe.select(0, 2); };
  TextFecA.onGotFocus = [this] { TextFecA.select(0, 2); };
  ComAceptar.onClick = [this] { ComAceptar_Click(); };
}

void FormFecVol::Form_Load() {
  TextFecDe.text = FormatoDMA(g_.gFecDe);
  TextFecA.text = FormatoDMA(g_.gFecA);
}

namespace {

// A period date in the forms the converters read, or as the access screen reads a typed
// date (5/7/06, 05-07-2006, …).
std::optional<text::Date> typedPeriodDate(const std::string& typed) {
  if (const auto date = periodDate(FormatoAMD(typed))) return date;
  return text::parseDayFirst(typed);
}

}  // namespace

// Only two real dates, the start not after the end, reach the session, year first with two
// digits for day and month.
void FormFecVol::ComAceptar_Click() {
  const auto start = typedPeriodDate(TextFecDe.text);
  const auto end = typedPeriodDate(TextFecA.text);
  const std::string form = "\nEscriba las fechas como dd/mm/aaaa.";
  if (!start) return refuse(TextFecDe, "«" + TextFecDe.text + "» no es una fecha válida." + form);
  if (!end) return refuse(TextFecA, "«" + TextFecA.text + "» no es una fecha válida." + form);
  if (*end < *start) {
    return refuse(TextFecDe, "La fecha Desde, " + text::shortDate(*start) +
                                 ", es posterior a la fecha Hasta, " + text::shortDate(*end) + ".");
  }
  g_.gFecDe = FormatoAMD(text::shortDate(*start));
  g_.gFecA = FormatoAMD(text::shortDate(*end));
  unload();
}

void FormFecVol::refuse(forms::TextBox& box, const std::string& message) {
  forms::MessageForm notice(host(), "Periodo de ingreso", message);
  host().showModal(notice);
  setFocus(box);
  box.select(0, static_cast<int>(box.text.size()));
}

}  // namespace capture
