#pragma once

#include "headless_host.h"
#include "session/frm_clave_acceso.h"

namespace testing_support {

// Queues the operator's sign-in with delegation 5's key: the key again while it is refused
// (a fault may strike its check), Enter again while the access screen stays open.
inline void queueSignIn(testing_support::HeadlessHost& host) {
  host.answerNext<session::frmClaveAcceso>([](session::frmClaveAcceso& access) {
    for (int i = 0; i < 3 && access.Text1.visible; ++i) {
      access.type(access.Text1, "005");
      access.keyPress(forms::kEnterKey);
    }
    for (int i = 0; i < 3 && !access.unloaded(); ++i) access.keyPress(forms::kEnterKey);
  });
}

}  // namespace testing_support
