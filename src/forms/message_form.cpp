#include "forms/message_form.h"

namespace forms {

MessageForm::MessageForm(Host& host, std::string title, std::string message)
    : Form(host, "frmMensaje"),
      LabelMensaje(*this, "LabelMensaje"),
      cmdAceptar(*this, "cmdAceptar") {
  caption = std::move(title);
  width = 460;
  height = 150;
  LabelMensaje.caption = std::move(message);
  LabelMensaje.left = 16;
  LabelMensaje.top = 16;
  LabelMensaje.width = 428;
  LabelMensaje.height = 72;
  cmdAceptar.caption = "Aceptar";
  cmdAceptar.left = 180;
  cmdAceptar.top = 104;
  cmdAceptar.width = 100;
  cmdAceptar.height = 28;
  cmdAceptar.onClick = [this] { unload(); };
  defaultButton = &cmdAceptar;
}

}  // namespace forms
