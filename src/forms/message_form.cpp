#include "forms/message_form.h"

#include <algorithm>

namespace forms {

MessageForm::MessageForm(Host& host, std::string title, std::string message)
    : Form(host, "frmMensaje"),
      LabelMensaje(*this, "LabelMensaje"),
      cmdAceptar(*this, "cmdAceptar") {
  caption = std::move(title);
  // Room for every line of the message, at least three.
  const auto lines = static_cast<int>(std::count(message.begin(), message.end(), '\n')) + 1;
  const int text_height = std::max(72, lines * 16);
  width = 560;
  height = text_height + 78;
  LabelMensaje.caption = std::move(message);
  LabelMensaje.place(16, 16, 528, text_height);
  cmdAceptar.caption = "Aceptar";
  cmdAceptar.place(230, text_height + 32, 100, 28);
  cmdAceptar.onClick = [this] { unload(); };
  defaultButton = &cmdAceptar;
}

}  // namespace forms
