#include "capture/captura.h"
#include "forms/question_form.h"
#include "text/money.h"

namespace capture {

// What the operator can change of the record on screen: the boxes (amounts by value, so a
// price reformatted when left is the same) and the lists' entries.
std::vector<std::string> Captura::recordOnScreen() const {
  std::vector<std::string> values;
  for (const forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni, &TextVol}) {
    const auto amount = text::readPrice(box->text.empty() ? "0" : box->text);
    values.push_back(amount ? std::to_string(*amount) : box->text);
  }
  values.push_back(TextObs.text);
  for (const forms::ComboBox* list :
       {&ComboProd, &ComboPres, &ComboOri, &ComboIng, &ComboFte, &ComboMun, &ComboTrans}) {
    values.push_back(list->listIndex() < 0 ? ""
                                           : std::to_string(list->itemData(list->listIndex())));
  }
  return values;
}

// A record shown afresh has nothing typed, so no box of it is marked as not a number.
void Captura::markRecordShown() {
  shownRecord_ = recordOnScreen();
  for (forms::TextBox* box : {&TextMin, &TextMax, &TextFrec, &TextUni, &TextVol}) {
    box->style.background.clear();
  }
  LabelPriceNotice.visible = false;
}

// The single price's entry is the fourth of what the operator can change.
bool Captura::singlePriceTyped() const {
  return recordOnScreen()[3] != shownRecord_.at(3);
}

bool Captura::hasUnsavedTyping() const {
  return recordOnScreen() != shownRecord_;
}

// The undo of a delete is Ctrl+Z's only while the box with the focus has no typing of its
// own to undo.
bool Captura::canUndoDelete() const {
  if (!deleted_) return false;
  const forms::Control* boxes[] = {&TextMin, &TextMax, &TextFrec, &TextUni, &TextVol, &TextObs};
  const std::vector<std::string> now = recordOnScreen();
  for (std::size_t i = 0; i < std::size(boxes); ++i) {
    if (focused() == boxes[i] && i < shownRecord_.size() && now[i] != shownRecord_[i]) {
      return false;
    }
  }
  return true;
}

// Asks before typed but unsaved values are discarded; keeping them is what Enter gives.
bool Captura::mayDiscardTyping(const std::string& question, const std::string& discard) {
  if (!hasUnsavedTyping()) return true;
  forms::QuestionForm ask(host(), "Registro sin grabar",
                          "Se perderá lo capturado y no grabado. " + question, discard,
                          "Seguir capturando");
  ask.preferSecond();
  host().showModal(ask);
  return ask.accepted();
}

}  // namespace capture
