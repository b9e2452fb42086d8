#include "bench_host.h"

#include <stdexcept>
#include <string>

namespace bench {

void BenchHost::showModal(forms::Form& form) {
  form.load();
  if (form.unloaded()) return;
  if (answers_.empty()) {
    form.keyPress(forms::kEnterKey);
  } else {
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    answer(form);
  }
  if (!form.unloaded()) throw std::logic_error(form.name() + " stayed open");
}

void BenchHost::end(int status) {
  throw std::runtime_error("the program ended with status " + std::to_string(status));
}

}  // namespace bench
