#include "capture/captura.h"

#include "session/capture_module.h"
#include "session/store_failure.h"
#include "store/connection.h"

namespace capture {

std::string Captura::menuCaption(std::string_view item, std::size_t letter) {
  std::string caption(session::moduleOfMenuItem(item).caption);
  return caption.insert(letter, "&");
}

Captura::Captura(forms::Host& host, session::SessionState& state)
    : Form(host, "Captura"), g_(state) {
  layOut();
  nameControls();
  wireHandlers();
  bindKeys();
}

void Captura::wireHandlers() {
  Salir.onClick = [this] { Salir_Click(); };
  // The menu's entries do what the buttons of the same name do.
  Reporte.onClick = [this] { CmdReporte_Click(); };
  Generar.onClick = [this] { CmdGenera_Click(); };
  for (forms::MenuItem* item : {&Frutas, &Azucar, &Aceites, &Granos, &Flores, &Insumos, &Anden}) {
    item->onClick = [this, code = session::moduleOfMenuItem(item->name()).code] {
      chooseModuleFromMenu(code);
    };
  }
  Volumenes.onClick = [this] { Volumenes_Click(); };
  SelDestino.onClick = [this] { SelDestino_Click(); };
  LabelMod.onClick = [this] { LabelMod_Click(); };
  ComboMod.onValidate = [this](bool& cancel) { ComboMod_Validate(cancel); };
  LabelFec.onClick = [this] { LabelFec_Click(); };
  SelFecha.onClick = [this] { LabelFec_Click(); };
  ComboFec.onValidate = [this](bool& cancel) { ComboFec_Validate(cancel); };
  LabelDest.onClick = [this] { LabelDest_Click(); };
  ComboDest.onValidate = [this](bool& cancel) { ComboDest_Validate(cancel); };
  ComboDest.onLostFocus = [this] { ComboDest_LostFocus(); };

  TextMin.onGotFocus = [this] { TextMin_GotFocus(); };
  TextMin.onLostFocus = [this] { TextMin_LostFocus(); };
  TextMax.onLostFocus = [this] { TextMax_LostFocus(); };
  TextFrec.onLostFocus = [this] { TextFrec_LostFocus(); };
  TextUni.onLostFocus = [this] { TextUni_LostFocus(); };
  TextVol.onLostFocus = [this] { TextVol_LostFocus(); };
  for (forms::TextBox* box : {&TextMax, &TextFrec, &TextUni}) {
    box->onGotFocus = [box] { box->select(0, 25); };
  }
  TextVol.onGotFocus = [this] { TextVol_GotFocus(); };

  cmdPrimero.onClick = [this] { cmdPrimero_Click(); };
  cmdAnterior.onClick = [this] { cmdAnterior_Click(); };
  cmdSiguiente.onClick = [this] { cmdSiguiente_Click(); };
  cmdUltimo.onClick = [this] { cmdUltimo_Click(); };
  CmdGrabar.onClick = [this] { CmdGrabar_Click(); };
  CmdBorrar.onClick = [this] { CmdBorrar_Click(); };
  CmdDeshacer.onClick = [this] { CmdDeshacer_Click(); };
  Teclas.onClick = [this] { Teclas_Click(); };
  CmdReporte.onClick = [this] { CmdReporte_Click(); };
  CmdGenera.onClick = [this] { CmdGenera_Click(); };
}

void Captura::runEvent(const std::function<void()>& event) {
  const forms::LongWork work(host(), "Procesando, un momento por favor…");
  // Named before the event's scope opens, so that the event's statements and its scope are
  // on the one database of the program's folder.
  g_.gRuta = host().programFolder().string();
  const store::OperationScope operation(g_.database(), [this] { host().stillWorking(); });
  const EventStart start{saveScreen(),    g_,          basket, records, deleted_,
                         dayDestination_, shownRecord_};
  event();
  if (g_.database().givenUp() && !g_.database().changedRows()) {
    restoreScreen(start.screen);
    g_ = start.session;
    basket = start.basket;
    records = start.records;
    deleted_ = start.deleted;
    dayDestination_ = start.dayDestination;
    shownRecord_ = start.shownRecord;
  }
}

void Captura::CmdReporte_Click() {
  if (outputs_) outputs_->writeReport();
  returnFocusFrom(CmdReporte);
}

void Captura::CmdGenera_Click() {
  if (outputs_) outputs_->writeExport();
  returnFocusFrom(CmdGenera);
}

// A button pressed on the way puts the focus back where the operator was typing, so the next
// keys land there and Enter does not press the button again.
void Captura::returnFocusFrom(const forms::CommandButton& button) {
  if (focused() == &button && leftLast()) setFocus(*leftLast());
}

// Enter moves on like Tab from a text box or a list; on a button it still presses it.
void Captura::Form_KeyPress(int& key) {
  if (key != forms::kEnterKey || !focused()) return;
  const forms::ControlKind kind = focused()->kind();
  if (kind == forms::ControlKind::TextBox || kind == forms::ControlKind::ComboBox) {
    postTab();
    key = 0;
  }
}

void Captura::openListAtLabel(forms::Label& label, forms::ComboBox& list, std::string& flag) {
  label.visible = false;
  list.visible = true;
  list.left = label.left;
  list.top = label.top;
  flag = "S";
  list.enabled = true;
  setFocus(list);
  list.causesValidation = true;
}

// Closing with a half-keyed record asks first; nothing else is asked.
void Captura::onCloseRequest() {
  if (!mayDiscardTyping("¿Salir del programa?", "Salir sin grabar")) return;
  unload();
  host().end(0);
}

void Captura::Salir_Click() {
  if (!mayDiscardTyping("¿Salir del programa?", "Salir sin grabar")) return;
  host().end(0);
}

store::Rows Captura::runSQL() {
  return g_.database().run(g_.gSQL);
}

bool Captura::attempt(const std::string& what, const std::function<void()>& step,
                      const std::string& advice) {
  return session::attemptStore(host(), g_.database(), what, step, advice);
}

void Captura::showModuleAndDate(const std::string& module, const std::string& date) {
  LabelFec.caption = date;
  LabelMod.caption = module;
}

}  // namespace capture
