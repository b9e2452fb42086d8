#include "capture/form_error.h"

#include "text/encoding.h"

namespace capture {

FormError::FormError(forms::Host& host, session::SessionState& state)
    : Form(host, "FormError"), g_(state) {
  caption = "ERROR";
  width = 380;
  height = 150;
  for (forms::Label* line : {&LabelError, &LabelGrabo}) {
    line->style.foreground = "#d00000";
    line->style.background = "#ffff80";
    line->style.bold = true;
    line->style.centered = true;
    line->left = 16;
    line->width = 348;
    line->height = 30;
  }
  LabelError.caption = "Mensaje de error";
  LabelError.top = 14;
  LabelGrabo.caption = "No grabó el registro";
  LabelGrabo.top = 50;
  cmdAceptarError.caption = "Aceptar";
  cmdAceptarError.place(140, 100, 100, 30);
  defaultButton = &cmdAceptarError;
  cmdAceptarError.onClick = [this] { unload(); };
}

void FormError::Form_Load() {
  LabelError.caption = g_.gMsgError;
  if (text::toUpper(text::firstCharacters(LabelError.caption, 5)) == "VARIA") {
    LabelGrabo.caption = "Verifique y corrija si está mal";
  }
}

}  // namespace capture
