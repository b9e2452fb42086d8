#include "outputs/frm_aviso.h"

namespace outputs {

frmAviso::frmAviso(forms::Host& host, const session::SessionState& state)
    : Form(host, "frmAviso"),
      Label1(*this, "Label1"),
      lblArc(*this, "lblArc"),
      Label2(*this, "Label2"),
      lblDir(*this, "lblDir"),
      lblCant(*this, "lblCant"),
      Label3(*this, "Label3"),
      cmdOK(*this, "cmdOK"),
      g_(state) {
  caption = "Archivo Grabado";
  width = 560;
  height = 170;
  Label1.caption = "Archivo";
  Label1.place(16, 16, 64);
  lblArc.place(84, 16, 200);
  lblArc.style.bold = true;
  Label2.caption = "Generado en la carpeta:";
  Label2.place(290, 16, 254);
  lblDir.place(16, 48, 528);
  lblDir.style.bold = true;
  lblCant.place(300, 80, 150);
  lblCant.style.bold = true;
  lblCant.style.rightAligned = true;
  Label3.caption = "Registros";
  Label3.place(458, 80, 86);
  cmdOK.caption = "Ok";
  cmdOK.place(230, 120, 100, 30);
  cmdOK.onClick = [this] { cmdOK_Click(); };
  defaultButton = &cmdOK;
}

void frmAviso::Form_Load() {
  lblArc.caption = g_.gArchivo;
  lblDir.caption = g_.gDirectorio;
  lblCant.caption = std::to_string(g_.gCantidad);
}

}  // namespace outputs
