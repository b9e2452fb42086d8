#pragma once

#include <functional>
#include <string>

#include "forms/host.h"
#include "store/database.h"

namespace session {

// Runs one database step of a screen. A failure of the store is shown to the operator as
// what the program was doing ("comprobar la clave de acceso"), why, in plain Spanish, never
// with the statement, and which file; returns false then. A file locked by another program
// is offered to try again; once the operator cancels, the event's further steps return
// false at once, without another wait or message. Any other failure of the step is told as
// what could not be done, its cause behind "Detalles", and also returns false. `advice`,
// when given, closes the message: what became of the event and what to do.
bool attemptStore(forms::Host& host, store::Database& database, const std::string& doing,
                  const std::function<void()>& step, const std::string& advice = {});

}  // namespace session
