#pragma once

#include <functional>

#include "forms/form.h"
#include "session/hand_over.h"
#include "session/session_state.h"
#include "store/database.h"
#include "text/dates.h"

namespace session {

// The access screen: delegation and access key first; once the key is accepted the same
// window offers module and capture date, and its second "Aceptar" hands over to the
// capture screen `captura`.
class frmClaveAcceso : public forms::Form {
 public:
  frmClaveAcceso(forms::Host& host, SessionState& state, CaptureHandOver& captura);

  forms::Picture Picture1{*this, "Picture1"};
  forms::Frame Frame1{*this, "Frame1"};
  forms::Label lblProductName{*this, "lblProductName"};
  forms::Label lblVersion{*this, "lblVersion"};
  forms::Label LabelDel{*this, "LabelDel"};
  forms::ComboBox ComboDel{*this, "ComboDel"};
  forms::Label LabelCla{*this, "LabelCla"};
  forms::TextBox Text1{*this, "Text1"};
  forms::CommandButton cmdAceptar{*this, "cmdAceptar"};
  forms::Label LabelDel1{*this, "LabelDel1"};
  forms::Label LabelMod{*this, "LabelMod"};
  forms::ComboBox ComboMod{*this, "ComboMod"};
  forms::Label LabelFec{*this, "LabelFec"};
  forms::ComboBox ComboFec{*this, "ComboFec"};
  forms::TextBox TextFec{*this, "TextFec"};
  forms::Label LabelSel{*this, "LabelSel"};
  // Says that the key was wrong, for a station that does not sound the beep.
  forms::Label LabelWrongKey{*this, "LabelWrongKey"};
  forms::CommandButton CmdAceptar2{*this, "CmdAceptar2"};

  void cmdAceptar_Click();
  void ComboFec_Click();
  void CmdAceptar2_Click();

 protected:
  void Form_Load() override;
  void onCloseRequest() override;
  // Each event is one operation on the database of the program's folder.
  void runEvent(const std::function<void()>& event) override {
    g_.gRuta = host().programFolder().string();
    const store::OperationScope operation(g_.database());
    event();
  }

 private:
  void layOut();
  bool configuredDelegation() const;
  void fillDelegations();
  void fillModulesAndDates();
  bool findDelegation(const std::string& k);
  bool ownDelegation();
  void writeConfig();
  void showStageTwo();
  void refuseTypedDate(const std::string& reason);
  // Whether the operator goes on with a date the start-up purge deletes, or a future one.

  SessionState& g_;
  CaptureHandOver& captura_;
  bool config_row_ = false;
};

}  // namespace session
