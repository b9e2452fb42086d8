#pragma once

#include <functional>
#include <string>

#include "forms/host.h"

namespace session {

// Runs one database step of a screen. A failure of the store is shown to the operator as
// what the program was doing ("comprobar la clave de acceso"), why, in plain Spanish, never
// with the statement, and which file; returns false then. A file locked by another program
// is offered to try again; once the operator cancels, the event's further steps return
// false at once, without another wait or message. Other failures pass through.
bool attemptStore(forms::Host& host, const std::string& doing, const std::function<void()>& step);

}  // namespace session
