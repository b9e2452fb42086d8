#include <initializer_list>

#include "capture/captura.h"
#include "capture/form_fec_vol.h"
#include "session/capture_module.h"

namespace capture {

void Captura::chooseModuleFromMenu(std::string_view code) {
  if (!mayDiscardTyping("¿Cambiar de módulo?", "Cambiar de módulo")) return;
  const session::CaptureModule* module = session::findModule(code);
  g_.gDescMod = std::string(module->menuDescMod);
  g_.gModulo = std::string(module->code);
  CambiaModulo();
}

void Captura::Volumenes_Click() {
  if (!mayDiscardTyping("¿Cambiar de módulo?", "Cambiar de módulo")) return;
  const session::CaptureModule& volumes = session::moduleOfMenuItem("Volumenes");
  g_.gDescMod = std::string(volumes.menuDescMod);
  g_.gModulo = std::string(volumes.code);
  showEntryPeriodDialog();
  CambiaModulo();
}

void Captura::showEntryPeriodDialog() {
  FormFecVol period(host(), g_);
  host().showModal(period);
}

void Captura::CambiaModulo() {
  g_.gCambiaMod = "N";
  g_.gModulo = session::normalizedCode(g_.gModulo);
  g_.gCanasta = session::basketFlag(g_.gModulo);
  const std::string destination = g_.gCveDest;
  CargaCanasta();
  g_.gCargaListas = "S";
  CargaListas();
  // The refilled lists show the new module's first destination and their first items.
  // The day the buttons walk, the entry offered and the previous prices must be those of
  // what is on screen: the day of another destination is loaded anew, and the offered
  // entry is selected again in the new lists.
  if (g_.gCveDest != destination) {
    g_.gCanasta = session::basketFlag(g_.gModulo);
    loadDay();
  } else {
    PreparaNuevo();
    focusRecord();
  }
  // As at the start, inputs begin at the product, and the auction's presentation, which the
  // refilled list opened again, stays fixed.
  if (g_.gModulo == "INS") setFocus(ComboProd);
  if (g_.gModulo == "AND") ComboPres.enabled = false;
  g_.gConsecutivo = 0;
  g_.gCargaListas = "N";
  LabelMod.caption = g_.gDescMod;
  ComboMod.causesValidation = false;
  ComboMod.visible = false;
  ComboMod.enabled = false;
  LabelMod.visible = true;
}

void Captura::LabelMod_Click() {
  showInForce();
  g_.gCargaListas = "S";
  openListAtLabel(LabelMod, ComboMod, g_.gCambiaMod);
}

// Takes the chosen module over as the menu does: its layout, lists and day at once (and in
// "VOL" its entry period first), so nothing is saved under another module's layout.
void Captura::ComboMod_Validate(bool& cancel) {
  cancel = true;
  // Left on the module it shows, the list changes nothing on screen.
  if (g_.gCambiaMod == "S" && session::moduleCodeOf(ComboMod.text()) == g_.gModulo) {
    g_.gCambiaMod = "N";
  }
  if (g_.gCambiaMod == "S" && !mayDiscardTyping("¿Cambiar de módulo?", "Cambiar de módulo")) {
    g_.gCambiaMod = "N";
  }
  if (g_.gCambiaMod == "S") {
    g_.gDescMod = ComboMod.text();
    g_.gModulo = session::moduleCodeOf(g_.gDescMod);
    if (g_.gModulo == "VOL") showEntryPeriodDialog();
    CambiaModulo();
  }
  ComboMod.causesValidation = false;
  ComboMod.visible = ComboMod.enabled = false;
  LabelMod.visible = true;
}

void Captura::resetPriceBoxes() {
  for (forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni}) box->text = "0.00";
  TextObs.text.clear();
}

void Captura::applyLayoutPhase1() {
  const std::string& module = g_.gModulo;
  ComboPres.left = ComboProd.left;
  for (forms::ComboBox* list : {&ComboDest, &ComboPres, &ComboOri, &ComboFte, &ComboMun}) {
    list->width = ComboProd.width;
  }
  for (forms::TextBox* box : {&TextMax, &TextFrec, &TextUni}) box->width = TextMin.width;
  resetPriceBoxes();
  clearPreviousPrices();
  TextMin.enabled = TextMin.visible = true;
  TextMax.visible = TextMax.enabled = true;
  TextFrec.visible = TextFrec.enabled = true;
  ComboTrans.visible = ComboTrans.enabled = false;
  LblFte.visible = false;
  ComboFte.visible = ComboFte.enabled = false;
  const bool grains = module == "GRA";
  TextUni.enabled = TextUni.visible = !grains;
  LblUni.visible = !grains;
  if (module != "VOL") {
    TextObs.visible = TextObs.enabled = true;
    LblObs.visible = LblObs.enabled = true;
    LblFte.caption = "Fuente";
  }
  ComboOri.visible = LblOri.visible = module != "ACE";
  if (module == "INS") {
    ComboOri.enabled = false;
    ComboOri.visible = true;
    ComboDest.enabled = ComboDest.visible = false;
    setFocus(ComboProd);
  }
}

void Captura::applyLayoutPhase2() {
  const std::string& module = g_.gModulo;
  LblMin.caption = "Mínimo";
  LblMin.visible = true;
  ComboTrans.visible = ComboTrans.enabled = false;
  LblFte.visible = false;
  LblVol.visible = false;
  TextVol.visible = TextVol.enabled = false;
  if (module != "INS") ComboDest.visible = ComboDest.enabled = true;
  ComboFte.visible = ComboMun.visible = false;
  ComboFte.enabled = ComboMun.enabled = false;

  ComboOri.top = LblOri.top;
  LblFte.visible = false;
  LblOri.caption = "Origen";
  ComboOri.tabIndex = 5;
  ComboDest.left = LabelDest.left;

  if (module != "AZU") {
    LblMin.caption = "Mínimo";
    for (forms::Control* shown :
         std::initializer_list<forms::Control*>{&LblMax, &LblFrec, &TextMax, &TextFrec}) {
      shown->visible = true;
    }
    LblOri.caption = "Origen";
    ComboIng.visible = false;
    ComboOri.visible = ComboOri.enabled = true;
    ComboOri.visible = LblOri.visible = module != "ACE";
    ComboIng.enabled = false;
  } else {
    LblMin.caption = "Único";
    for (forms::Control* hidden : std::initializer_list<forms::Control*>{
             &LblMax, &LblFrec, &LblUni, &TextMax, &TextFrec, &TextUni}) {
      hidden->visible = false;
    }
    LblOri.caption = "Ingenio";
    ComboIng.visible = true;
    ComboIng.top = ComboOri.top;
    ComboIng.left = ComboOri.left;
    ComboIng.width = ComboOri.width;
    ComboOri.visible = ComboOri.enabled = false;
    ComboIng.enabled = true;
  }

  if (module != "INS") {
    ComboOri.top = LblOri.top;
  } else {
    ComboDest.visible = ComboDest.enabled = false;
    ComboFte.visible = ComboFte.enabled = true;
    ComboMun.visible = ComboMun.enabled = true;
    ComboMun.top = ComboOri.top;
    ComboOri.top = ComboDest.top;
    LblFte.visible = true;
    LblOri.caption = "Municipio";
    ComboOri.tabIndex = ComboDest.tabIndex;
    ComboOri.top = LabelDest.top;
    setFocus(ComboOri);
    ComboOri.visible = true;
    // The origin is the delegation's state, shown and fixed.
    ComboOri.enabled = false;
  }
  // The destination's name stands where its list would be; in "INS" the list is hidden.
  LabelDest.visible = module == "INS";

  if (module == "VOL") {
    ComboTrans.visible = ComboTrans.enabled = true;
    ComboTrans.top = ComboFte.top;
    ComboTrans.left = ComboProd.left;
    ComboTrans.width = ComboProd.width;
    LblFte.visible = true;
    LblFte.caption = "Transporte";
    TextObs.visible = TextObs.enabled = false;
    LblObs.visible = LblObs.enabled = false;
    for (forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni}) {
      box->visible = box->enabled = false;
    }
    for (forms::Label* label : {&LblMin, &LblMax, &LblFrec, &LblUni}) label->visible = false;
    LblVol.visible = true;
    TextVol.visible = TextVol.enabled = true;
  }

  if (module == "AND") ComboPres.enabled = false;
  nameControls();
}

}  // namespace capture
