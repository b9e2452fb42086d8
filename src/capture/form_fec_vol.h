#pragma once

#include "forms/form.h"
#include "session/session_state.h"

namespace capture {

// "Periodo de ingreso": the period in which the product of a volume record entered the
// market. Accepting stores both dates year first in gFecDe and gFecA.
class FormFecVol : public forms::Form {
 public:
  FormFecVol(forms::Host& host, session::SessionState& state);

  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::TextBox TextFecDe{*this, "TextFecDe"};
  forms::Label Label3{*this, "Label3"};
  forms::TextBox TextFecA{*this, "TextFecA"};
  forms::CommandButton ComAceptar{*this, "ComAceptar"};

  void ComAceptar_Click();

 protected:
  void Form_Load() override;

 private:
  void refuse(forms::TextBox& box, const std::string& message);

  session::SessionState& g_;
};

}  // namespace capture
