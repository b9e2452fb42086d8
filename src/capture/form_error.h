#pragma once

#include "forms/form.h"
#include "session/session_state.h"

namespace capture {

// "ERROR": shows gMsgError and, below it, that nothing was saved, or for a price variation
// warning, to check the price.
class FormError : public forms::Form {
 public:
  FormError(forms::Host& host, session::SessionState& state);

  forms::Label LabelError{*this, "LabelError"};
  forms::Label LabelGrabo{*this, "LabelGrabo"};
  forms::CommandButton cmdAceptarError{*this, "cmdAceptarError"};

 protected:
  void Form_Load() override;

 private:
  session::SessionState& g_;
};

}  // namespace capture
