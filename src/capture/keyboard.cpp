#include <string>

#include "capture/captura.h"
#include "forms/message_form.h"

namespace capture {
namespace {

struct KeyOfButton {
  forms::ShortcutKey key;
  forms::CommandButton Captura::*button;
  const char* keys;
  const char* action;
  // The navigation buttons' captions are symbols; their action is what they are called.
  bool namedByAction;
};

// Ctrl keys for the buttons an operator presses on every record.
constexpr KeyOfButton kButtonKeys[] = {
    {forms::ShortcutKey::Enter, &Captura::CmdGrabar, "Ctrl+Intro",
     "Grabar el registro desde cualquier campo", false},
    {forms::ShortcutKey::Z, &Captura::CmdDeshacer, "Ctrl+Z", "Deshacer la última eliminación",
     false},
    {forms::ShortcutKey::Home, &Captura::cmdPrimero, "Ctrl+Inicio", "Primer Registro", true},
    {forms::ShortcutKey::PageUp, &Captura::cmdAnterior, "Ctrl+RePág", "Registro Anterior", true},
    {forms::ShortcutKey::PageDown, &Captura::cmdSiguiente, "Ctrl+AvPág", "Siguiente Registro",
     true},
    {forms::ShortcutKey::End, &Captura::cmdUltimo, "Ctrl+Fin", "Último Registro", true},
};

// The keys that are not Ctrl keys of a button: the screen's mnemonics and the moves.
constexpr const char* kOtherKeys[] = {
    "Intro: pasar al campo siguiente (en un botón, oprimirlo)",
    "Tab / Mayús+Tab: campo siguiente / anterior",
    "Alt+R: Reporte      Alt+G: Genera Archivo",
    "Alt+A: menú Archivo      Alt+S: menú Selecciona (módulo, destino, fecha)",
    "Alt+T: esta lista",
};

}  // namespace

void Captura::bindKeys() {
  for (const KeyOfButton& binding : kButtonKeys) {
    forms::CommandButton& button = this->*binding.button;
    bindShortcut(binding.key, button);
    button.toolTip = std::string(binding.action) + " (" + binding.keys + ")";
    button.accessibleDescription = button.toolTip;
    if (binding.namedByAction) button.accessibleName = binding.action;
  }
}

void Captura::Teclas_Click() {
  std::string list;
  for (const KeyOfButton& binding : kButtonKeys) {
    list += std::string(binding.keys) + ": " + binding.action + "\n";
  }
  for (const char* line : kOtherKeys) list += std::string(line) + "\n";
  list.pop_back();
  forms::MessageForm keys(host(), "Teclas", list);
  host().showModal(keys);
}

// Each list and box is named by the label the operator reads beside it, which the module's
// layout may re-caption or move ("Ingenio", "Único", "Transporte"; in "INS" the origin
// list takes the destination's row).
void Captura::nameControls() {
  ComboMod.accessibleName = "Módulo";
  ComboFec.accessibleName = "Fecha";
  ComboDest.labelledBy = &Label3;
  ComboProd.labelledBy = &Label4;
  ComboPres.labelledBy = &Label5;
  ComboOri.labelledBy = g_.gModulo == "INS" ? &Label3 : &LblOri;
  ComboIng.labelledBy = ComboMun.labelledBy = &LblOri;
  ComboFte.labelledBy = ComboTrans.labelledBy = &LblFte;
  TextMin.labelledBy = &LblMin;
  TextMax.labelledBy = &LblMax;
  TextFrec.labelledBy = &LblFrec;
  TextUni.labelledBy = &LblUni;
  TextVol.labelledBy = &LblVol;
  TextObs.labelledBy = &LblObs;
}

}  // namespace capture
