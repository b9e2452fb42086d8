#include "session/store_failure.h"

#include "forms/form.h"
#include "forms/message_form.h"
#include "forms/question_form.h"
#include "store/database.h"
#include "store/error.h"
#include "store/server_settings.h"

namespace session {

bool attemptStore(forms::Host& host, store::Database& database, const std::string& doing,
                  const std::function<void()>& step, const std::string& advice) {
  // Once the event gave up on the database, its other steps give up at once.
  if (database.givenUp()) return false;
  while (true) {
    try {
      step();
      return true;
    } catch (const store::StoreError& failure) {
      const std::string where = store::databaseLocation(host.programFolder());
      using Kind = store::StoreError::Kind;
      if (failure.kind() != Kind::Busy && failure.kind() != Kind::Serialization) {
        // The engine's own words, in its language, stay behind "Detalles".
        forms::MessageForm notice(host, "ERROR",
                                  "No se pudo " + doing + ".\nCausa: " + failure.explanation() +
                                      "\n" + where + (advice.empty() ? "" : "\n\n" + advice),
                                  failure.detail());
        host.showModal(notice);
        // A database that cannot be reached now will not be reached by the event's next
        // step either: one message for the event.
        if (failure.kind() == Kind::CannotOpen || failure.lostTheServer()) {
          database.noteGivenUp();
        }
        return false;
      }
      // Another program holds the file: the operator may close it and try again, and the
      // event then goes on whole.
      forms::QuestionForm retry(host, "Base de datos ocupada",
                                "No se pudo " + doing +
                                    ": otro programa tiene abierta la base de datos.\n" + where +
                                    "\n\nCierre ese programa y vuelva a intentarlo, o cancele.",
                                "Volver a intentar", "Cancelar");
      host.showModal(retry);
      if (!retry.accepted()) {
        database.noteGivenUp();
        return false;
      }
    } catch (const forms::ScreenMisuse&) {
      throw;
    } catch (const std::exception& failure) {
      // Not the database's doing (a file, a name, a value the step could not take): the
      // operator is told what could not be done, and the event goes on without it.
      forms::MessageForm notice(
          host, "ERROR", "No se pudo " + doing + "." + (advice.empty() ? "" : "\n\n" + advice),
          failure.what());
      host.showModal(notice);
      return false;
    }
  }
}

}  // namespace session
