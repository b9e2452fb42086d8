#pragma once

#include "forms/form.h"
#include "session/session_state.h"

namespace capture {

// The capture screen, the program's main window. It exists once for the whole run; its
// load opens the access screen first.
class Captura : public forms::Form {
 public:
  Captura(forms::Host& host, session::SessionState& state);

  forms::Picture Banner;
  forms::Label LabelDel;
  forms::Label LabelMod;
  forms::Label LabelFec;

 protected:
  void Form_Load() override;
  void onCloseRequest() override;

 private:
  session::SessionState& g_;
};

}  // namespace capture
