#pragma once

#include <deque>
#include <filesystem>
#include <functional>

#include "forms/form.h"
#include "forms/host.h"

namespace bench {

// The platform for the benchmarks: a fixed clock and folder; a modal form is worked by the
// next queued answer, or closed with Enter when none is queued; a posted Tab runs when the
// event is done, as in the real program.
class BenchHost : public forms::Host {
 public:
  void showModal(forms::Form& form) override;
  void beep() override {}
  bool openDocument(const std::filesystem::path&) override { return true; }
  [[noreturn]] void end(int status) override;
  forms::LocalDateTime now() override { return clock; }
  std::filesystem::path programFolder() override { return folder; }

  void answerNext(std::function<void(forms::Form&)> answer) {
    answers_.push_back(std::move(answer));
  }

  forms::LocalDateTime clock;
  std::filesystem::path folder;

 private:
  std::deque<std::function<void(forms::Form&)>> answers_;
};

}  // namespace bench
