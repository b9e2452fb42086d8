#include "forms/question_form.h"

namespace forms {

QuestionForm::QuestionForm(Host& host, std::string title, std::string message, std::string yes,
                           std::string no)
    : Form(host, "frmPregunta") {
  caption = std::move(title);
  width = 500;
  height = 190;
  LabelPregunta.caption = std::move(message);
  LabelPregunta.place(16, 14, 468, 112);
  cmdSi.caption = std::move(yes);
  cmdSi.place(76, 142, 170, 30);
  cmdNo.caption = std::move(no);
  cmdNo.place(256, 142, 170, 30);
  cmdSi.onClick = [this] {
    accepted_ = true;
    unload();
  };
  cmdNo.onClick = [this] { unload(); };
  defaultButton = &cmdSi;
}

void QuestionForm::preferSecond() {
  defaultButton = &cmdNo;
  cmdNo.tabIndex = 0;
  cmdSi.tabIndex = 1;
}

}  // namespace forms
