#pragma once

#include <string>

#include "forms/form.h"

namespace forms {

// A modal notice with one message and "Aceptar", for failures the screens do not handle
// themselves. A technical detail (an engine's own text, in its language) stays behind
// "Detalles", out of the message the operator reads.
class MessageForm : public Form {
 public:
  MessageForm(Host& host, std::string title, std::string message, std::string detail = {});

  Label LabelMensaje{*this, "LabelMensaje"};
  CommandButton cmdAceptar{*this, "cmdAceptar"};
  CommandButton cmdDetalles{*this, "cmdDetalles"};
  Label LabelDetalle{*this, "LabelDetalle"};

 private:
  void showDetail();
};

}  // namespace forms
