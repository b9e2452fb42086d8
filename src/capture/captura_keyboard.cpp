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
    // In a box Ctrl+Supr is the box's own key (it deletes to the end of the word).
    {forms::ShortcutKey::Delete, &Captura::CmdBorrar, &Captura::focusOutsideBoxes, "Ctrl+Supr",
     "Eliminar el registro mostrado (fuera de las casillas de texto)", false},
};

// The moves, which no caption shows.
constexpr const char* kMoves[] = {
    "Intro: pasar al campo siguiente (en un botón, oprimirlo)",
    "Tab / Mayús+Tab: campo siguiente / anterior",
};

// What choosing a menu item does besides what its caption says.
std::string itemNote(const forms::MenuItem& item) {
  if (item.name() == "Volumenes")
    return " (pide el periodo de ingreso; elíjalo de nuevo para cambiarlo)";
  if (item.name() == "SelDestino" || item.name() == "SelFecha") return " (abre su lista)";
  return "";
}

}  // namespace

bool Captura::focusOutsideBoxes() const {
  return !focused() || focused()->kind() != forms::ControlKind::TextBox;
}

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

// The list is read off the buttons' keys and the captions' underlined letters, so it names
// every key the screen has.
void Captura::Teclas_Click() {
  std::string list;
  for (const KeyOfButton& binding : kButtonKeys) {
    list += std::string(binding.keys) + ": " + binding.action + "\n";
  }
  for (const char* line : kMoves) list += std::string(line) + "\n";
  for (const forms::Control* control : controls()) {
    if (control->kind() != forms::ControlKind::CommandButton) continue;
    if (const std::string key = forms::mnemonicOf(control->caption); !key.empty()) {
      list += "Alt+" + key + ": " + forms::withoutMnemonic(control->caption) + "\n";
    }
  }
  for (const forms::MenuItem* menu : menus()) {
    list += "Alt+" + forms::mnemonicOf(menu->caption) + ": ";
    if (menu->items().empty()) {
      list += "esta lista\n";
      continue;
    }
    list += "menú " + forms::withoutMnemonic(menu->caption) + ", y en él";
    for (const forms::MenuItem* item : menu->items()) {
      if (item->caption.empty()) continue;
      list += (item == menu->items().front() ? " " : ", ") + forms::mnemonicOf(item->caption) +
              ": " + forms::withoutMnemonic(item->caption) + itemNote(*item);
    }
    list += "\n";
  }
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
