#include "outputs/frm_aviso.h"

namespace outputs {

frmAviso::frmAviso(forms::Host& host, const session::SessionState& state)
    : Form(host, "frmAviso"), g_(state) {
  caption = "Archivo Grabado";
  width = 520;
  height = 160;
  Label1.caption = "Archivo";
  Label1.place(16, 16, 60);
  lblArc.place(80, 16, 110);
  lblArc.style.bold = true;
  Label2.caption = "Generado en la carpeta:";
  Label2.place(196, 16, 308);
  lblDir.place(16, 46, 488);
  lblDir.style.bold = true;
  lblCant.place(260, 76, 150);
  lblCant.style.bold = true;
  lblCant.style.rightAligned = true;
  Label3.caption = "Registros";
  Label3.place(418, 76, 86);
  cmdOK.caption = "Ok";
  cmdOK.place(210, 112, 100, 30);
  cmdOK.onClick = [this] { cmdOK_Click(); };
  defaultButton = &cmdOK;
}

void frmAviso::Form_Load() {
  lblArc.caption = g_.gArchivo;
  lblDir.caption = g_.gDirectorio;
  lblCant.caption = std::to_string(g_.gCantidad);
}

}  // namespace outputs
