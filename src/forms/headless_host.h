#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/host.h"

namespace forms {

// Thrown by HeadlessHost::end so a test sees where the program would have ended.
struct ProgramEnded {
  int status;
};

// The host for tests: a settable clock and folder; beeps, opened documents and modal forms
// are recorded, and a test answers a modal form by queueing what the operator does in it.
class HeadlessHost : public Host {
 public:
  void showModal(Form& form) override;
  void beep() override { ++beeps; }
  void postTab(Form& form) override { pending_tabs_.push_back(&form); }
  void openDocument(const std::filesystem::path& document) override {
    openedDocuments.push_back(document);
  }
  [[noreturn]] void end(int status) override;
  LocalDateTime now() override { return clock; }
  std::filesystem::path programFolder() override { return folder; }
  void eventDone() override;

  // The next modal form is answered by `answer`, which must leave it unloaded.
  void answerNextModal(std::function<void(Form&)> answer);

  LocalDateTime clock;
  std::filesystem::path folder;
  int beeps = 0;
  std::vector<std::filesystem::path> openedDocuments;
  std::vector<std::string> modalForms;
  std::optional<int> endStatus;

 private:
  std::deque<std::function<void(Form&)>> answers_;
  std::deque<Form*> pending_tabs_;
};

}  // namespace forms
