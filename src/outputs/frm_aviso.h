#pragma once

#include "forms/form.h"
#include "session/session_state.h"

namespace outputs {

// "Archivo Grabado": the export file's name, its folder and how many records it holds,
// until the operator presses "Ok".
class frmAviso : public forms::Form {
 public:
  frmAviso(forms::Host& host, const session::SessionState& state);

  forms::Label Label1{*this, "Label1"};
  forms::Label lblArc{*this, "lblArc"};
  forms::Label Label2{*this, "Label2"};
  forms::Label lblDir{*this, "lblDir"};
  forms::Label lblCant{*this, "lblCant"};
  forms::Label Label3{*this, "Label3"};
  forms::CommandButton cmdOK{*this, "cmdOK"};

 protected:
  void Form_Load() override;

 private:
  void cmdOK_Click() { unload(); }

  const session::SessionState& g_;
};

}  // namespace outputs
