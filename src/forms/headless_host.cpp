#include "forms/headless_host.h"

namespace forms {

void HeadlessHost::showModal(Form& form) {
  modalForms.push_back(form.name());
  form.load();
  if (form.unloaded()) return;
  if (answers_.empty()) {
    throw ScreenMisuse("se abrió " + form.name() + " sin respuesta preparada");
  }
  auto answer = std::move(answers_.front());
  answers_.pop_front();
  answer(form);
  if (!form.unloaded()) throw ScreenMisuse(form.name() + " quedó abierta tras la respuesta");
}

void HeadlessHost::end(int status) {
  endStatus = status;
  throw ProgramEnded{status};
}

void HeadlessHost::eventDone() {
  while (!pending_tabs_.empty()) {
    Form* form = pending_tabs_.front();
    pending_tabs_.pop_front();
    if (!form->unloaded()) form->tab();
  }
}

void HeadlessHost::answerNextModal(std::function<void(Form&)> answer) {
  answers_.push_back(std::move(answer));
}

}  // namespace forms
