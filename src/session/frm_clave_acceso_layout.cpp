#include <initializer_list>

#include "session/frm_clave_acceso.h"

namespace session {

frmClaveAcceso::frmClaveAcceso(forms::Host& host, SessionState& state, CaptureHandOver& captura)
    : Form(host, "frmClaveAcceso"), g_(state), captura_(captura) {
  layOut();
  cmdAceptar.onClick = [this] { cmdAceptar_Click(); };
  ComboFec.onClick = [this] { ComboFec_Click(); };
  CmdAceptar2.onClick = [this] { CmdAceptar2_Click(); };
}

void frmClaveAcceso::layOut() {
  caption = "TARVEL - Acceso";
  width = 480;
  height = 330;

  Picture1.place(0, 0, 480, 70);
  Picture1.caption = "TARVEL";
  Frame1.place(12, 80, 456, 236);
  lblProductName.place(28, 94, 240, 26);
  lblProductName.caption = "Captura TARVEL";
  lblProductName.style.pointSize = 14;
  lblProductName.style.bold = true;
  lblVersion.place(300, 98, 156);
  lblVersion.caption = "Versión 19/Jul/2006";
  lblVersion.style.family = "Arial";

  LabelDel.place(28, 140, 116);
  LabelDel.caption = "Delegación";
  ComboDel.place(150, 136, 300);
  ComboDel.labelledBy = &LabelDel;
  ComboDel.sorted = true;
  LabelCla.place(28, 182, 116);
  LabelCla.caption = "Clave de acceso:";
  Text1.place(150, 178, 120);
  Text1.labelledBy = &LabelCla;
  Text1.passwordChar = '*';
  cmdAceptar.place(330, 176, 120, 28);
  cmdAceptar.caption = "Aceptar";
  defaultButton = &cmdAceptar;
  LabelDel1.place(28, 270, 420, 26);
  LabelDel1.caption = "LabelDel1";
  LabelDel1.style.bold = true;
  LabelDel1.style.pointSize = 11;

  LabelMod.place(28, 230, 116);
  LabelMod.caption = "Módulo";
  ComboMod.place(150, 230, 300);
  ComboMod.labelledBy = &LabelMod;
  ComboMod.sorted = true;
  LabelFec.place(28, 230, 116);
  LabelFec.caption = "Fecha";
  ComboFec.place(150, 230, 160);
  TextFec.place(150, 230, 160);
  ComboFec.labelledBy = TextFec.labelledBy = &LabelFec;
  TextFec.text = "dd/mm/aaaa";
  LabelSel.place(150, 206, 300, 18);
  LabelSel.caption = "Escriba la Fecha Deseada";
  LabelWrongKey.place(150, 206, 300, 18);
  LabelWrongKey.caption = "Clave incorrecta";
  LabelWrongKey.style.foreground = "#a0301e";
  LabelWrongKey.style.bold = true;
  CmdAceptar2.place(330, 230, 120, 28);
  CmdAceptar2.caption = "Aceptar";
  for (forms::Control* hidden :
       std::initializer_list<forms::Control*>{&LabelMod, &ComboMod, &LabelFec, &ComboFec, &TextFec,
                                              &LabelSel, &CmdAceptar2, &LabelWrongKey}) {
    hidden->visible = false;
  }

  // The key box comes first so the operator can type at once.
  Text1.tabIndex = 0;
  cmdAceptar.tabIndex = 1;
  ComboDel.tabIndex = 2;
  ComboMod.tabIndex = 3;
  ComboFec.tabIndex = 4;
  TextFec.tabIndex = 5;
  CmdAceptar2.tabIndex = 6;
}

}  // namespace session
