#include <string>

#include "capture/captura.h"
#include "forms/message_form.h"

namespace capture {
namespace {

struct KeyOfButton {
  forms::ShortcutKey key;
  forms::CommandButton Captura::*button;
  // Whether the button has anything to do now; a key with nothing to do stays the box's.
  bool (Captura::*applies)() const;
  const char* keys;
  const char* action;
  // The navigation buttons' captions are symbols; their action is what they are called.
  bool namedByAction;
};

// Ctrl keys for the buttons an operator presses on every record.
constexpr KeyOfButton kButtonKeys[] = {
    {forms::ShortcutKey::Enter, &Captura::CmdGrabar, nullptr, "Ctrl+Intro",
     "Grabar el registro desde cualquier campo", false},
    {forms::ShortcutKey::Z, &Captura::CmdDeshacer, &Captura::canUndoDelete, "Ctrl+Z",
     "Deshacer la última eliminación (en un campo con algo escrito, deshace lo escrito)", false},
    {forms::ShortcutKey::Home, &Captura::cmdPrimero, &Captura::canGoFirst, "Ctrl+Inicio",
     "Primer Registro", true},
    {forms::ShortcutKey::PageUp, &Captura::cmdAnterior, &Captura::canGoBack, "Ctrl+RePág",
     "Registro Anterior", true},
    {forms::ShortcutKey::PageDown, &Captura::cmdSiguiente, &Captura::canGoOn, "Ctrl+AvPág",
     "Siguiente Registro", true},
    {forms::ShortcutKey::End, &Captura::cmdUltimo, &Captura::canGoLast, "Ctrl+Fin",
     "Último Registro", true},
    {forms::ShortcutKey::Delete, &Captura::CmdBorrar, nullptr, "Ctrl+Supr",
     "Eliminar el registro mostrado", false},
};

// The keys that are not Ctrl keys of a button: the screen's mnemonics and the moves.
constexpr const char* kOtherKeys[] = {
    "Intro: pasar al campo siguiente (en un botón, oprimirlo)",
    "Tab / Mayús+Tab: campo siguiente / anterior",
    "Alt+R: Reporte      Alt+G: Genera Archivo",
    "Alt+A: menú Archivo (Reporte, Generar, Salir)",
    "Alt+S: menú Selecciona: el módulo por su letra subrayada, D: destino, E: fecha",
    "Alt+T: esta lista",
};

}  // namespace

void Captura::bindKeys() {
  for (const KeyOfButton& binding : kButtonKeys) {
    forms::CommandButton& button = this->*binding.button;
    std::function<bool()> applies;
    if (binding.applies) applies = [this, can = binding.applies] { return (this->*can)(); };
    bindShortcut(binding.key, button, std::move(applies));
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
