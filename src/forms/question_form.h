#pragma once

#include <string>

#include "forms/form.h"

namespace forms {

// A modal question with two answers. Enter gives the first; Escape or the window frame
// give the second.
class QuestionForm : public Form {
 public:
  QuestionForm(Host& host, std::string title, std::string message, std::string yes, std::string no);

  // True when the operator chose the first answer.
  bool accepted() const { return accepted_; }
  // Makes the second answer the one Enter gives and the one the focus starts on, for a
  // question whose first answer loses work.
  void preferSecond();

  Label LabelPregunta{*this, "LabelPregunta"};
  CommandButton cmdSi{*this, "cmdSi"};
  CommandButton cmdNo{*this, "cmdNo"};

 private:
  bool accepted_ = false;
};

}  // namespace forms
