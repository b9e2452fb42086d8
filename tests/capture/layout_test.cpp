#include <initializer_list>
#include <map>
#include <sstream>

#include "capture_fixture.h"
#include "session/capture_module.h"

namespace {

// What a module's layout decides, as one line per control.
std::string profile(capture::Captura& c) {
  std::ostringstream out;
  for (forms::Control* control : std::initializer_list<forms::Control*>{
           &c.LblMin,    &c.LblMax,   &c.LblFrec, &c.LblUni,   &c.LblVol,     &c.TextMin,
           &c.TextMax,   &c.TextFrec, &c.TextUni, &c.TextVol,  &c.LblOri,     &c.ComboOri,
           &c.ComboIng,  &c.ComboMun, &c.LblFte,  &c.ComboFte, &c.ComboTrans, &c.ComboDest,
           &c.ComboPres, &c.LblObs,   &c.TextObs}) {
    out << control->name() << (control->visible ? " shown" : " hidden")
        << (control->enabled ? "" : " disabled") << " '" << control->caption << "' at "
        << control->left << "," << control->top << " w" << control->width << " tab"
        << control->tabIndex << "\n";
  }
  return out.str();
}

// The screen of each module, as the operator sees it. The price boxes shown go by letter:
// Mínimo, maXimo, Frecuente, Único, Volumen. An empty caption means the label is hidden.
struct Expected {
  const char* caption;
  std::string price_boxes;
  const char* min_caption;
  const char* origin_caption;
  const char* origin_list;  // ComboOri, ComboIng or ComboMun
  bool destination_list;
  const char* source_caption;
  bool observations;
};

const Expected kModules[] = {
    {"Frutas y Hortalizas", "MXFU", "Mínimo", "Origen", "ComboOri", true, "", true},
    {"Flores", "MXFU", "Mínimo", "Origen", "ComboOri", true, "", true},
    {"Granos y Semillas", "MXF", "Mínimo", "Origen", "ComboOri", true, "", true},
    {"Aceites Comestibles", "MXFU", "Mínimo", "", "", true, "", true},
    {"Azúcar", "M", "Único", "Ingenio", "ComboIng", true, "", true},
    {"Insumos Agrícolas", "MXFU", "Mínimo", "Municipio", "ComboMun", false, "Fuente", true},
    {"Volúmenes de Ingreso", "V", "", "Origen", "ComboOri", true, "Transporte", false},
    {"Anden de Subasta", "MXFU", "Mínimo", "Origen", "ComboOri", true, "", true},
};

void expectCaptionOrHidden(const forms::Label& label, const std::string& caption) {
  EXPECT_EQ(label.visible, !caption.empty()) << label.name();
  EXPECT_EQ(label.visible ? label.caption : caption, caption) << label.name();
}

void expectLayout(capture::Captura& c, const Expected& e) {
  for (const auto& [box, letter] :
       {std::pair{&c.TextMin, 'M'}, std::pair{&c.TextMax, 'X'}, std::pair{&c.TextFrec, 'F'},
        std::pair{&c.TextUni, 'U'}, std::pair{&c.TextVol, 'V'}}) {
    EXPECT_EQ(box->visible, e.price_boxes.find(letter) != std::string::npos) << box->name();
  }
  expectCaptionOrHidden(c.LblMin, e.min_caption);
  EXPECT_EQ(c.LblUni.visible, c.TextUni.visible);
  EXPECT_EQ(c.LblMax.visible, c.TextMax.visible);
  EXPECT_EQ(c.LblVol.visible, c.TextVol.visible);
  expectCaptionOrHidden(c.LblOri, e.origin_caption);
  for (forms::ComboBox* list : {&c.ComboIng, &c.ComboMun}) {
    EXPECT_EQ(list->visible, list->name() == e.origin_list) << list->name();
  }
  EXPECT_EQ(c.ComboDest.visible && c.ComboDest.enabled, e.destination_list);
  expectCaptionOrHidden(c.LblFte, e.source_caption);
  EXPECT_EQ(c.ComboFte.visible, std::string(e.source_caption) == "Fuente");
  EXPECT_EQ(c.ComboTrans.visible, std::string(e.source_caption) == "Transporte");
  EXPECT_EQ(c.TextObs.visible, e.observations);
  EXPECT_EQ(c.LblObs.visible, e.observations);
  if (std::string(e.origin_list) == "ComboIng") {
    EXPECT_EQ(c.ComboIng.top, c.ComboOri.top);
    EXPECT_EQ(c.ComboIng.left, c.ComboOri.left);
    EXPECT_FALSE(c.ComboOri.visible);
  }
}

// Each module starts with its own layout, and choosing it from the menu, whichever module
// was on screen, gives the same screen control by control.
TEST_F(CaptureScreen, EachModuleHasItsOwnLayoutWhetherStartedOrChosenFromTheMenu) {
  std::map<std::string, std::string> started;
  for (const Expected& module : kModules) {
    SCOPED_TRACE(module.caption);
    capture::Captura& c = start(module.caption);
    expectLayout(c, module);
    started[module.caption] = profile(c);
    EXPECT_EQ(c.LabelMod.caption, module.caption);
    EXPECT_EQ(c.caption, "TARVEL - Máscara de Captura 2006 (Agrícolas)");
    const std::string code = session::moduleCodeOf(module.caption);
    EXPECT_EQ(state->gModulo, code);
    // A basket guides every module but these three, where an earlier day of the first
    // destination gives one: flowers have none at the central market.
    const bool guided = code != "AND" && code != "AZU" && code != "VOL" && code != "FLO";
    EXPECT_EQ(state->gCanasta, guided ? "S" : "N");
    if (code == "INS") {
      // The state is fixed in the destination row and the work starts at the product.
      EXPECT_FALSE(c.ComboOri.enabled);
      EXPECT_TRUE(c.ComboOri.visible);
      EXPECT_EQ(c.ComboOri.top, c.LabelDest.top);
      EXPECT_EQ(c.ComboMun.top, c.LblOri.top);
      EXPECT_EQ(c.ComboOri.text(), "3 Valle Alto");
      EXPECT_EQ(c.focused(), &c.ComboProd);
      EXPECT_TRUE(c.LabelDest.visible);
      EXPECT_EQ(c.LabelDest.caption, "Central de Abasto Valle Alto");
    } else {
      EXPECT_FALSE(c.LabelDest.visible);
      EXPECT_EQ(c.ComboOri.tabIndex, 5);
    }
    if (code == "AND") {
      EXPECT_FALSE(c.ComboPres.enabled);
    }
    if (code == "VOL") {
      EXPECT_EQ(c.ComboTrans.left, c.ComboProd.left);
      EXPECT_EQ(c.ComboTrans.top, c.ComboFte.top);
      // The period is asked for last, over the volume screen.
      EXPECT_EQ(host.modalForms.back(), "FormFecVol");
      EXPECT_EQ(periodAskedOver, "volume");
      EXPECT_EQ(state->gFecDe, "2006/07/21");
      EXPECT_EQ(state->gFecA, "2006/07/21");
    }
  }

  for (const char* from :
       {"Volúmenes de Ingreso", "Granos y Semillas", "Azúcar", "Insumos Agrícolas"}) {
    for (const Expected& to : kModules) {
      capture::Captura& c = start(from);
      const std::string code = session::moduleCodeOf(to.caption);
      periodAskedOver.clear();
      for (forms::MenuItem* item : c.Selecciona.items()) {
        if (item->name() == session::findModule(code)->menuItem) menu(*item);
      }
      SCOPED_TRACE(std::string(from) + " -> " + to.caption);
      // The volumes' period is asked for over the screen the menu was chosen on.
      if (code == "VOL") {
        EXPECT_EQ(periodAskedOver, code == session::moduleCodeOf(from) ? "volume" : "prices");
      }
      // The auction's presentation is fixed from the switch on, as after a start.
      if (code == "AND") {
        EXPECT_FALSE(c.ComboPres.enabled);
      }
      EXPECT_EQ(profile(c), started[to.caption]);
      EXPECT_EQ(state->gModulo, code);
      EXPECT_EQ(state->gConsecutivo, 0);
      EXPECT_EQ(c.LabelMod.caption, code == "AND" ? "Anden de Subastas" : to.caption);
      EXPECT_FALSE(c.ComboMod.visible);
    }
  }
}

}  // namespace
