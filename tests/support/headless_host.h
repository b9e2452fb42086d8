#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

#include "forms/form.h"
#include "forms/host.h"

namespace testing_support {

// Thrown by HeadlessHost::end so a test sees where the program would have ended.
struct ProgramEnded {
  int status;
};

// The name of a dialog type, for a failure message.
std::string typeName(const std::type_info& type);

// The host for tests: a settable clock and folder; beeps, opened documents and modal forms
// are recorded, and a test answers a modal form by queueing what the operator does in it.
class HeadlessHost : public forms::Host {
 public:
  void showModal(forms::Form& form) override;
  void beep() override { ++beeps; }
  bool openDocument(const std::filesystem::path& document) override {
    if (!viewerAvailable) return false;
    openedDocuments.push_back(document);
    return true;
  }
  [[noreturn]] void end(int status) override;
  forms::LocalDateTime now() override { return clock; }
  std::filesystem::path programFolder() override { return folder; }
  void beginWork(const std::string& doing) override { works.push_back(doing); }
  void stillWorking() override { ++workTicks; }

  // The next modal form must be a `Dialog`; `answer` works it and must leave it unloaded.
  // Another dialog fails the test, naming the one that opened, and is closed.
  template <typename Dialog>
  void answerNext(std::function<void(Dialog&)> answer) {
    answers_.push_back([answer = std::move(answer)](forms::Form& form) {
      if (auto* dialog = dynamic_cast<Dialog*>(&form)) return answer(*dialog);
      ADD_FAILURE() << "se abrió " << form.name() << " en lugar de " << typeName(typeid(Dialog));
      form.unload();
    });
  }
  // The next modal form, whatever it is, is closed with Enter.
  void answerNextWithEnter();
  // The next modal form must be a notice (its text lands in `notices`); it is closed with Enter.
  void answerNotice();

  forms::LocalDateTime clock;
  std::filesystem::path folder;
  int beeps = 0;
  std::vector<std::filesystem::path> openedDocuments;
  bool viewerAvailable = true;
  // Messages, and any modal form without a queued answer, are closed with Enter instead of
  // failing the test.
  bool enterOnEveryModal = false;
  std::vector<std::string> works;
  int workTicks = 0;
  std::vector<std::string> modalForms;
  // The text of every notice shown (the message a MessageForm carries).
  std::vector<std::string> notices;
  std::optional<int> endStatus;

 private:
  std::deque<std::function<void(forms::Form&)>> answers_;
};

}  // namespace testing_support
