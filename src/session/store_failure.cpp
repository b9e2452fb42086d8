#include "session/store_failure.h"

#include "forms/message_form.h"
#include "store/connection.h"
#include "store/error.h"

namespace session {

bool attemptStore(forms::Host& host, const std::string& doing, const std::function<void()>& step) {
  // Once the file was found locked, the event's other steps give up at once: one message,
  // one wait.
  if (store::OperationScope::locked()) return false;
  try {
    step();
    return true;
  } catch (const store::StoreError& failure) {
    if (failure.kind() == store::StoreError::Kind::Busy) store::OperationScope::noteLocked();
    forms::MessageForm notice(
        host, "ERROR",
        "No se pudo " + doing + ".\nCausa: " + failure.cause() +
            "\nArchivo: " + store::databasePath(host.programFolder()).string());
    host.showModal(notice);
    return false;
  }
}

}  // namespace session
