#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "session/hand_over.h"
#include "session/session_state.h"
#include "store/value.h"

namespace capture {

// The capture screen, the program's main window. It exists once for the whole run; its
// load opens the access screen first and then prepares the lists, the basket and the
// layout of the chosen module. Handlers live in files by concern: modules and layout,
// start, lists.
class Captura : public forms::Form, public session::CaptureHandOver {
 public:
  Captura(forms::Host& host, session::SessionState& state);

  // What the access screen hands over.
  void showCaptureScreen(bool shown) override { visible = shown; }
  void showDelegation(const std::string& name) override { LabelDel.caption = name; }
  void showModuleAndDate(const std::string& module, const std::string& date) override;

  forms::Picture Banner;
  forms::Label LabelDel;
  forms::Label LabelMod;
  forms::ComboBox ComboMod;
  forms::Label LabelFec;
  forms::ComboBox ComboFec;
  forms::Label Label3;
  forms::Label LabelDest;
  forms::ComboBox ComboDest;
  forms::Label Label4;
  forms::ComboBox ComboProd;
  forms::Label Label5;
  forms::ComboBox ComboPres;
  forms::Label LblOri;
  forms::ComboBox ComboOri;
  forms::ComboBox ComboIng;
  forms::ComboBox ComboMun;
  forms::Label LblFte;
  forms::ComboBox ComboFte;
  forms::ComboBox ComboTrans;
  forms::Label LblMin;
  forms::Label LblMax;
  forms::Label LblFrec;
  forms::Label LblUni;
  forms::Label LblVol;
  forms::TextBox TextMin;
  forms::TextBox TextMax;
  forms::TextBox TextFrec;
  forms::TextBox TextUni;
  forms::TextBox TextVol;
  forms::LabelArray LabDiaAnt;
  forms::LabelArray LabMinAnt;
  forms::LabelArray LabMaxAnt;
  forms::LabelArray LabFrecAnt;
  forms::LabelArray LabUniAnt;
  forms::Label LblObs;
  forms::TextBox TextObs;
  forms::Label Label1;
  forms::Label LblRegNum;
  forms::Label LblRegES;
  forms::CommandButton cmdPrimero;
  forms::CommandButton cmdAnterior;
  forms::CommandButton cmdSiguiente;
  forms::CommandButton cmdUltimo;
  forms::CommandButton CmdGrabar;
  forms::CommandButton CmdBorrar;
  forms::CommandButton CmdReporte;
  forms::CommandButton CmdGenera;

  forms::MenuItem Archivo;
  forms::MenuItem Reporte;
  forms::MenuItem Generar;
  forms::MenuItem Salir;
  forms::MenuItem Selecciona;
  forms::MenuItem Frutas;
  forms::MenuItem Azucar;
  forms::MenuItem Aceites;
  forms::MenuItem Granos;
  forms::MenuItem Flores;
  forms::MenuItem Insumos;
  forms::MenuItem Volumenes;
  forms::MenuItem Anden;
  forms::MenuItem Separador;
  forms::MenuItem SelDestino;

  // Modules and layout.
  void Salir_Click();
  void Volumenes_Click();
  void LabelMod_Click();
  void ComboMod_Validate(bool& cancel);
  void CambiaModulo();
  void CargaCanasta();

  // Start and date.
  void LabelFec_Click();
  void ComboFec_Validate(bool& cancel);

  // Module-dependent lists and destination.
  void CargaListas();
  void LabelDest_Click();
  void SelDestino_Click();
  void ComboDest_Validate(bool& cancel);
  void ComboDest_LostFocus();

 protected:
  void Form_Load() override;
  void Form_KeyPress(int& key) override;
  void onCloseRequest() override;

 private:
  void layOut();
  // A label that opens a list: the list takes the label's place and the focus, and its
  // Validate acts while `flag` is "S".
  void openListAtLabel(forms::Label& label, forms::ComboBox& list, std::string& flag);
  void wireHandlers();
  void chooseModuleFromMenu(std::string_view code);
  void applyLayoutPhase1();
  void applyLayoutPhase2();
  void resetPriceBoxes();

  void fillModuleAndDateLists();
  void purgeOldRecords();
  void fillOrigins();
  void fillCatalogue(forms::ComboBox& list, const std::string& statement, int& count);
  void fillSugarMills();
  void alignPreviousPricesPanel();
  void showEntryPeriodDialog();

  void fillDestinations(const std::string& column);
  void fillProducts(std::string typeLetter, std::string productModule);
  void fillPresentations(const std::string& typeLetter, const std::string& secondLetter);

  // Runs a statement built in gSQL on its own connection.
  store::Rows runSQL();
  // Runs one step of the start or of a list reload; a database failure is shown to the
  // operator and the rest goes on.
  bool attempt(const std::string& what, const std::function<void()>& step);

  session::SessionState& g_;
};

}  // namespace capture
