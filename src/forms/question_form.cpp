#include "forms/question_form.h"

namespace forms {

QuestionForm::QuestionForm(Host& host, std::string title, std::string message, std::string yes,
                           std::string no)
    : Form(host, "frmPregunta"),
      LabelPregunta(*this, "LabelPregunta"),
      cmdSi(*this, "cmdSi"),
      cmdNo(*this, "cmdNo") {
  caption = std::move(title);
  width = 500;
  height = 190;
  LabelPregunta.caption = std::move(message);
  LabelPregunta.left = 16;
  LabelPregunta.top = 14;
  LabelPregunta.width = 468;
  LabelPregunta.height = 112;
  cmdSi.caption = std::move(yes);
  cmdSi.left = 76;
  cmdSi.top = 142;
  cmdSi.width = 170;
  cmdSi.height = 30;
  cmdNo.caption = std::move(no);
  cmdNo.left = 256;
  cmdNo.top = 142;
  cmdNo.width = 170;
  cmdNo.height = 30;
  cmdSi.onClick = [this] {
    accepted_ = true;
    unload();
  };
  cmdNo.onClick = [this] { unload(); };
  defaultButton = &cmdSi;
}

}  // namespace forms
