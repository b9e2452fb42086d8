#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include <QElapsedTimer>
#include <QProgressDialog>
#include <memory>
#include <string>

#include "forms/host.h"

namespace qt {

class FormView;

// The platform for the real program: modal dialogs, the system beep, the default viewer,
// the clock and the program's folder, all through Qt.
class QtHost : public forms::Host {
 public:
  // `folder` replaces the executable's folder (tests).
  explicit QtHost(std::optional<std::filesystem::path> folder = std::nullopt);

  void showModal(forms::Form& form) override;
  void beep() override;
  bool openDocument(const std::filesystem::path& document) override;
  [[noreturn]] void end(int status) override;
  forms::LocalDateTime now() override;
  std::filesystem::path programFolder() override;

  void beginWork(const std::string& doing) override;
  void stillWorking() override;
  void endWork() override;
  // True while long work lets the window system paint: no operator event may start then.
  bool pumping() const { return pumping_; }

  // Every view mirrors its form again; called after each operator event.
  void syncAll();
  void addView(FormView& view);
  void removeView(FormView& view);
  FormView* viewOf(const forms::Form& form) const;

 private:
  std::optional<std::filesystem::path> folder_;
  std::vector<FormView*> views_;
  // What the work in progress is doing, innermost last; its dialog once it lasts.
  std::vector<std::string> work_;
  QElapsedTimer work_clock_;
  QElapsedTimer last_pump_;
  std::unique_ptr<QProgressDialog> progress_;
  bool pumping_ = false;
};

}  // namespace qt
