#pragma once

#include <string>

#include "headless_host.h"
#include "session/frm_clave_acceso.h"

namespace testing_support {

// Queues the operator's sign-in with `key` (delegation 5's by default): the key again while
// it is refused (a fault may strike its check), Enter again while the access screen stays
// open.
inline void queueSignIn(testing_support::HeadlessHost& host, const std::string& key = "005") {
  host.answerNext<session::frmClaveAcceso>([key](session::frmClaveAcceso& access) {
    for (int i = 0; i < 3 && access.Text1.visible; ++i) {
      access.type(access.Text1, key);
      access.keyPress(forms::kEnterKey);
    }
    for (int i = 0; i < 3 && !access.unloaded(); ++i) access.keyPress(forms::kEnterKey);
  });
}

}  // namespace testing_support
