#pragma once

#include <filesystem>

namespace forms {

class Form;

struct LocalDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The one interface between the screens and the platform.
class Host {
 public:
  virtual ~Host() = default;

  // Loads the form, shows it modally and returns once the form has unloaded itself.
  virtual void showModal(Form& form) = 0;
  virtual void beep() = 0;
  // A Tab key stroke for `form`, processed after the running handler has returned.
  virtual void postTab(Form& form) = 0;
  // Opens a document with the user's default viewer, without waiting for it; false when no
  // viewer could be started.
  virtual bool openDocument(const std::filesystem::path& document) = 0;
  // Ends the program at once: no further handler runs.
  [[noreturn]] virtual void end(int status) = 0;
  virtual LocalDateTime now() = 0;
  virtual std::filesystem::path programFolder() = 0;

  // Called when an operator event has been handled completely.
  virtual void eventDone() {}
};

}  // namespace forms
