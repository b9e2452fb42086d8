#pragma once

#include <string>

#include "forms/form.h"

namespace forms {

// A modal notice with one message and "Aceptar", for failures the screens do not handle
// themselves.
class MessageForm : public Form {
 public:
  MessageForm(Host& host, std::string title, std::string message);

  Label LabelMensaje;
  CommandButton cmdAceptar;
};

}  // namespace forms
