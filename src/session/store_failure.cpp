#include "session/store_failure.h"

#include "forms/message_form.h"
#include "store/error.h"

namespace session {

bool attemptStore(forms::Host& host, const std::string& doing, const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const store::StoreError& failure) {
    forms::MessageForm notice(host, "ERROR",
                              "No se pudo " + doing + ".\nCausa: " + failure.cause());
    host.showModal(notice);
    return false;
  }
}

}  // namespace session
