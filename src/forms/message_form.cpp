#include "forms/message_form.h"

#include <algorithm>

namespace forms {
namespace {

// About as many characters as fit across the message at the screens' font; a longer line
// wraps onto the next.
constexpr int kCharactersPerLine = 72;

int wrappedLines(const std::string& message) {
  int lines = 0;
  int characters = 0;
  const auto end_line = [&] {
    lines += std::max(1, (characters + kCharactersPerLine - 1) / kCharactersPerLine);
    characters = 0;
  };
  for (const char c : message) {
    if (c == '\n') {
      end_line();
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++characters;  // UTF-8: continuation bytes belong to the character before
    }
  }
  end_line();
  return lines;
}

}  // namespace

MessageForm::MessageForm(Host& host, std::string title, std::string message, std::string detail)
    : Form(host, "frmMensaje") {
  caption = std::move(title);
  // Room for every line of the message as the window wraps it, at least three.
  const int text_height = std::max(72, wrappedLines(message) * 17);
  width = 560;
  height = text_height + 78;
  LabelMensaje.caption = std::move(message);
  LabelMensaje.place(16, 16, 528, text_height);
  cmdAceptar.caption = "Aceptar";
  cmdAceptar.place(230, text_height + 32, 100, 28);
  cmdAceptar.onClick = [this] { unload(); };
  defaultButton = &cmdAceptar;

  LabelDetalle.visible = cmdDetalles.visible = false;
  if (detail.empty()) return;
  LabelDetalle.caption = "Detalle técnico: " + std::move(detail);
  cmdAceptar.left = 170;
  cmdDetalles.caption = "&Detalles";
  cmdDetalles.place(290, cmdAceptar.top, 100, 28);
  cmdDetalles.visible = true;
  cmdDetalles.onClick = [this] { showDetail(); };
}

void MessageForm::showDetail() {
  const int detail_height = wrappedLines(LabelDetalle.caption) * 17;
  LabelDetalle.place(16, height - 8, 528, detail_height);
  LabelDetalle.visible = true;
  height += detail_height + 8;
  setFocus(cmdAceptar);
  cmdDetalles.enabled = false;
}

}  // namespace forms
