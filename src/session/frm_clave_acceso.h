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

  forms::Picture Picture1;
  forms::Frame Frame1;
  forms::Label lblProductName;
  forms::Label lblVersion;
  forms::Label LabelDel;
  forms::ComboBox ComboDel;
  forms::Label LabelCla;
  forms::TextBox Text1;
  forms::CommandButton cmdAceptar;
  forms::Label LabelDel1;
  forms::Label LabelMod;
  forms::ComboBox ComboMod;
  forms::Label LabelFec;
  forms::ComboBox ComboFec;
  forms::TextBox TextFec;
  forms::Label LabelSel;
  // Says that the key was wrong, for a station that does not sound the beep.
  forms::Label LabelWrongKey;
  forms::CommandButton CmdAceptar2;

  void cmdAceptar_Click();
  void ComboFec_Click();
  void CmdAceptar2_Click();

 protected:
  void Form_Load() override;
  void onCloseRequest() override;
  // The statements of one event share one connection.
  void runEvent(const std::function<void()>& event) override {
    const store::OperationScope operation(g_.database());
    event();
  }

 private:
  void layOut();
  bool configuredDelegation() const;
  void fillDelegations();
  void fillModulesAndDates();
  bool findDelegation(const std::string& k);
  void writeConfig();
  void showStageTwo();
  void refuseTypedDate(const std::string& reason);
  // Whether the operator goes on with a date the start-up purge deletes, or a future one.

  SessionState& g_;
  CaptureHandOver& captura_;
  bool config_row_ = false;
};

}  // namespace session
