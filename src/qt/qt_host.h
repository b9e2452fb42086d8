#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "forms/host.h"

namespace qtview {

class FormView;

// The platform for the real program: modal dialogs, the system beep, the default viewer,
// the clock and the program's folder, all through Qt.
class QtHost : public forms::Host {
 public:
  // `folder` replaces the executable's folder (tests).
  explicit QtHost(std::optional<std::filesystem::path> folder = std::nullopt);

  void showModal(forms::Form& form) override;
  void beep() override;
  void postTab(forms::Form& form) override;
  bool openDocument(const std::filesystem::path& document) override;
  [[noreturn]] void end(int status) override;
  forms::LocalDateTime now() override;
  std::filesystem::path programFolder() override;

  // Every view mirrors its form again; called after each operator event.
  void syncAll();
  void addView(FormView& view);
  void removeView(FormView& view);
  FormView* viewOf(const forms::Form& form) const;

 private:
  std::optional<std::filesystem::path> folder_;
  std::vector<FormView*> views_;
};

}  // namespace qtview
