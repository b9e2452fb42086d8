#include "capture/captura.h"

#include "session/frm_clave_acceso.h"

namespace capture {

Captura::Captura(forms::Host& host, session::SessionState& state)
    : Form(host, "Captura"),
      Banner(*this, "Banner"),
      LabelDel(*this, "LabelDel"),
      LabelMod(*this, "LabelMod"),
      LabelFec(*this, "LabelFec"),
      g_(state) {
  caption = "TARVEL - Máscara de Captura 2006 (Agrícolas)";
  width = 800;
  height = 560;
  Banner.caption = "TARVEL";
  Banner.left = 0;
  Banner.top = 0;
  Banner.width = 800;
  Banner.height = 102;
  LabelDel.left = 16;
  LabelDel.top = 112;
  LabelDel.width = 380;
  LabelDel.style.bold = true;
  LabelMod.caption = "mod";
  LabelMod.left = 16;
  LabelMod.top = 140;
  LabelMod.width = 240;
  LabelMod.style.bold = true;
  LabelFec.caption = "dd/mm/aaaa";
  LabelFec.left = 420;
  LabelFec.top = 112;
  LabelFec.width = 160;
  LabelFec.style.bold = true;
}

void Captura::Form_Load() {
  session::frmClaveAcceso access(host(), g_, *this);
  host().showModal(access);
}

void Captura::onCloseRequest() {
  unload();
  host().end(0);
}

}  // namespace capture
