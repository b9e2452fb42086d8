#pragma once

#include <filesystem>
#include <string>

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
  // Opens a document with the user's default viewer, without waiting for it; false when no
  // viewer could be started.
  virtual bool openDocument(const std::filesystem::path& document) = 0;
  // Ends the program at once: no further handler runs.
  [[noreturn]] virtual void end(int status) = 0;
  virtual LocalDateTime now() = 0;
  virtual std::filesystem::path programFolder() = 0;

  // Long work inside an event: `doing` says in plain words what the program is doing. The
  // platform shows it once the work lasts long enough to be noticed and keeps its windows
  // painted meanwhile; stillWorking() is called often while the work runs.
  virtual void beginWork(const std::string& /*doing*/) {}
  virtual void stillWorking() {}
  virtual void endWork() {}
};

// Long work for as long as it lives; works may nest, the innermost saying what is done.
class LongWork {
 public:
  LongWork(Host& host, const std::string& doing) : host_(host) { host_.beginWork(doing); }
  ~LongWork() { host_.endWork(); }
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

 private:
  Host& host_;
};

}  // namespace forms
