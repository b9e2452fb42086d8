#include "headless_host.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

#include "forms/message_form.h"

namespace testing_support {

std::string typeName(const std::type_info& type) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> readable(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && readable ? readable.get() : type.name();
}

void HeadlessHost::showModal(forms::Form& form) {
  modalForms.push_back(form.name());
  const auto* notice = dynamic_cast<const forms::MessageForm*>(&form);
  if (notice) notices.push_back(notice->LabelMensaje.caption);
  form.load();
  if (form.unloaded()) return;
  // Messages are acknowledged at once; queued answers wait for the dialogs they are for.
  const bool message = form.name() == "frmMensaje" || form.name() == "FormError";
  if (enterOnEveryModal && (answers_.empty() || message)) {
    form.keyPress(forms::kEnterKey);
    if (!form.unloaded()) throw forms::ScreenMisuse(form.name() + " quedó abierta tras Intro");
    return;
  }
  if (answers_.empty()) {
    throw forms::ScreenMisuse("se abrió " + form.name() + " sin respuesta preparada" +
                              (notice ? ": " + notice->LabelMensaje.caption : ""));
  }
  auto answer = std::move(answers_.front());
  answers_.pop_front();
  answer(form);
  if (!form.unloaded()) throw forms::ScreenMisuse(form.name() + " quedó abierta tras la respuesta");
}

void HeadlessHost::end(int status) {
  endStatus = status;
  throw ProgramEnded{status};
}

void HeadlessHost::answerNextWithEnter() {
  answers_.push_back([](forms::Form& form) { form.keyPress(forms::kEnterKey); });
}

void HeadlessHost::answerNotice() {
  answerNext<forms::MessageForm>(
      [](forms::MessageForm& notice) { notice.keyPress(forms::kEnterKey); });
}

}  // namespace testing_support
