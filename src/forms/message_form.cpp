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
  LabelMensaje.place(16, 16, 428, 72);
  cmdAceptar.caption = "Aceptar";
  cmdAceptar.place(180, 104, 100, 28);
  cmdAceptar.onClick = [this] { unload(); };
  defaultButton = &cmdAceptar;
}

}  // namespace forms
