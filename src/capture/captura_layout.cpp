#include <initializer_list>

#include "capture/captura.h"

namespace capture {
namespace {

constexpr int kLabelLeft = 16;
constexpr int kListLeft = 110;
constexpr int kListWidth = 300;
constexpr int kRightLabelLeft = 420;
constexpr int kRightListLeft = 490;
// The price boxes start right of the previous prices' date column ("Sab 05/12/2026").
constexpr int kPriceLeft = 134;
constexpr int kPriceWidth = 105;
constexpr int kPriceStep = 115;

void setCaption(forms::Control& control, const char* text) {
  control.caption = text;
}

}  // namespace

// Top to bottom: banner; delegation, module and date; destination; product with origin;
// presentation; source or transport; the price boxes with the previous prices lined up
// under them; observations; record position; buttons.
void Captura::layOut() {
  caption = "TARVEL - Máscara de Captura 2006 (Agrícolas)";
  width = 800;
  height = 590;
  visible = false;

  Banner.place(0, 0, 800, 70);
  Banner.caption = "TARVEL";

  LabelDel.place(kLabelLeft, 80, 330, 24);
  LabelMod.place(360, 80, 230, 24);
  setCaption(LabelMod, "mod");
  ComboMod.place(360, 80, 230);
  LabelFec.place(610, 80, 174, 24);
  setCaption(LabelFec, "dd/mm/aaaa");
  ComboFec.place(610, 80, 174);
  for (forms::Label* title : {&LabelDel, &LabelMod, &LabelFec}) {
    title->style.bold = true;
    title->style.pointSize = 11;
  }

  Label3.place(kLabelLeft, 118, 92);
  setCaption(Label3, "Destino");
  LabelDest.place(kListLeft, 118, kListWidth);
  setCaption(LabelDest, "Dest");
  LabelDest.style.bold = true;
  ComboDest.place(kListLeft, 118, kListWidth);

  Label4.place(kLabelLeft, 152, 92);
  setCaption(Label4, "Producto");
  ComboProd.place(kListLeft, 152, kListWidth);
  ComboProd.sorted = true;
  LblOri.place(kRightLabelLeft, 152, 68);
  setCaption(LblOri, "Origen");
  ComboOri.place(kRightListLeft, 152, kListWidth);
  ComboIng.place(kRightListLeft, 152, kListWidth);
  ComboMun.place(kRightListLeft, 152, kListWidth);

  Label5.place(kLabelLeft, 186, 92);
  setCaption(Label5, "Presentación");
  ComboPres.place(kListLeft, 186, kListWidth);

  LblFte.place(kLabelLeft, 220, 92);
  setCaption(LblFte, "Fuente");
  ComboFte.place(kListLeft, 220, kListWidth);
  ComboTrans.place(kListLeft, 220, kListWidth);

  for (forms::ComboBox* list :
       {&ComboDest, &ComboPres, &ComboOri, &ComboIng, &ComboMun, &ComboFte, &ComboTrans}) {
    list->sorted = true;
  }

  struct PriceColumn {
    forms::Label& label;
    forms::TextBox& box;
    const char* title;
  };
  const PriceColumn columns[] = {{LblMin, TextMin, "Mínimo"},
                                 {LblMax, TextMax, "Máximo"},
                                 {LblFrec, TextFrec, "Frecuente"},
                                 {LblUni, TextUni, "Único"}};
  int left = kPriceLeft;
  for (const PriceColumn& column : columns) {
    column.label.place(left, 258, kPriceWidth, 20);
    setCaption(column.label, column.title);
    column.box.place(left, 278, kPriceWidth);
    column.box.text = "0.00";
    left += kPriceStep;
  }
  LblVol.place(kPriceLeft, 258, kPriceWidth, 20);
  setCaption(LblVol, "Volúmen");
  TextVol.place(kPriceLeft, 278, kPriceWidth);
  LabelPriceNotice.place(left + 6, 274, 190, 40);
  LabelPriceNotice.style.foreground = "#a0301e";
  LabelPriceNotice.style.bold = true;
  LabelPriceNotice.visible = false;

  for (int i = 0; i < 5; ++i) {
    LabDiaAnt[i].place(kLabelLeft, 306 + i * 19, kPriceLeft - kLabelLeft - 4, 19);
    for (forms::LabelArray* column : {&LabMinAnt, &LabMaxAnt, &LabFrecAnt, &LabUniAnt}) {
      (*column)[i].place(0, 0, kPriceWidth, 19);
      (*column)[i].style.foreground = "#1d4e89";
    }
    LabDiaAnt[i].style.foreground = "#1d4e89";
  }

  LblObs.place(kLabelLeft, 410, 92);
  setCaption(LblObs, "Observaciones");
  TextObs.place(kListLeft, 410, 680);

  Label1.place(kLabelLeft, 446, 330, 22);
  setCaption(Label1, "NUEVO Registro por Grabar");
  Label1.style.bold = true;
  Label1.style.foreground = "#a0301e";
  LblRegNum.place(560, 446, 224, 22);
  LblRegNum.style.bold = true;
  LblRegES.place(kLabelLeft, 470, 768, 20);

  struct NavigationButton {
    forms::CommandButton& button;
    const char* symbol;
  };
  // Their tool tips name them and their keys.
  left = kLabelLeft;
  for (const NavigationButton& nav :
       {NavigationButton{cmdPrimero, "!<"}, NavigationButton{cmdAnterior, "<"},
        NavigationButton{cmdSiguiente, ">"}, NavigationButton{cmdUltimo, ">!"}}) {
    nav.button.place(left, 504, 40, 30);
    setCaption(nav.button, nav.symbol);
    left += 44;
  }
  CmdGrabar.place(210, 504, 130, 30);
  setCaption(CmdGrabar, "Grabar Nuevo");
  CmdBorrar.place(350, 504, 100, 30);
  setCaption(CmdBorrar, "Eliminar");
  CmdBorrar.visible = false;
  CmdDeshacer.place(410, 443, 110, 26);
  setCaption(CmdDeshacer, "Deshacer");
  CmdDeshacer.visible = false;
  CmdReporte.place(540, 504, 110, 30);
  setCaption(CmdReporte, "&Reporte");
  CmdGenera.place(660, 504, 124, 30);
  setCaption(CmdGenera, "&Genera Archivo");
  LabelPurgeNews.place(kLabelLeft, 542, 768, 40);
  LabelPurgeNews.style.foreground = "#1d4e89";
  LabelPurgeNews.visible = false;

  // The module, date and destination lists lie closed behind their labels.
  for (forms::ComboBox* closed : {&ComboMod, &ComboFec, &ComboDest}) {
    closed->visible = false;
    closed->enabled = false;
  }

  int tab = 0;
  for (forms::Control* control : std::initializer_list<forms::Control*>{
           &ComboMod,    &ComboFec,     &ComboDest, &ComboProd,   &ComboPres,
           &ComboOri,    &ComboIng,     &ComboMun,  &ComboFte,    &ComboTrans,
           &TextMin,     &TextMax,      &TextFrec,  &TextUni,     &TextVol,
           &TextObs,     &CmdGrabar,    &CmdBorrar, &CmdDeshacer, &cmdPrimero,
           &cmdAnterior, &cmdSiguiente, &cmdUltimo, &CmdReporte,  &CmdGenera}) {
    control->tabIndex = tab++;
  }
}

}  // namespace capture
