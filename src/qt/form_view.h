#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "forms/form.h"

class QMenuBar;

namespace qt {

class QtHost;

// Renders any form: one widget per control, placed from the control's position, mirrored
// from the model after every event. Operator actions go to the model's entry points; the
// view decides nothing itself.
class FormView : public QDialog {
 public:
  FormView(forms::Form& form, QtHost& host, QWidget* parent = nullptr);
  ~FormView() override;

  forms::Form& form() const { return form_; }
  void sync();
  // Runs an operator event on the model, then mirrors every view.
  void forward(const std::function<void()>& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  struct Binding {
    forms::Control* control;
    QWidget* widget;
    unsigned selection_version = 0;
    QString style_sheet;
  };

  void build();
  void buildMenus();
  QWidget* makeWidget(forms::Control& control);
  void syncControl(Binding& binding);
  void syncFocus();
  forms::Control* controlOf(QObject* widget) const;
  QWidget* widgetOf(const forms::Control& control) const;

  forms::Form& form_;
  QtHost& host_;
  QMenuBar* menu_bar_ = nullptr;
  int menu_height_ = 0;
  std::vector<Binding> bindings_;
  bool syncing_ = false;
  bool built_ = false;
};

}  // namespace qt
