#include "forms/form.h"

#include <algorithm>

#include "forms/message_form.h"

namespace forms {

Form::Form(Host& host, std::string name) : host_(host), name_(std::move(name)) {}

Control* Form::find(std::string_view control_name) const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [&](const Control* c) { return c->name() == control_name; });
  return found == controls_.end() ? nullptr : *found;
}

void Form::dispatch(const std::function<void()>& event) {
  const bool outermost = depth_ == 0;
  ++depth_;
  try {
    event();
    if (outermost) settleFocus();
  } catch (const ScreenMisuse&) {
    --depth_;
    throw;
  } catch (const std::exception& failure) {
    --depth_;
    if (!outermost) throw;
    showFailure(failure);
    host_.eventDone();
    return;
  } catch (...) {
    --depth_;
    throw;
  }
  --depth_;
  if (outermost) host_.eventDone();
}

void Form::showFailure(const std::exception& failure) {
  MessageForm notice(host_, "ERROR",
                     std::string("No se pudo completar la operación.\n") + failure.what());
  host_.showModal(notice);
}

void Form::load() {
  loaded_ = true;
  dispatch([this] {
    Form_Load();
    // As on any window, the first control in tab order starts with the focus.
    const auto order = tabOrder();
    if (!focused_ && !unloaded_ && !order.empty()) moveFocus(*order.front());
  });
}

void Form::unload() {
  unloaded_ = true;
  visible = false;
}

void Form::click(Control& control) {
  dispatch([&] {
    if (!control.visible || !control.enabled) return;
    if (control.takesFocus() && !moveFocus(control)) return;
    if (control.onClick) control.onClick();
  });
}

void Form::clickMenu(MenuItem& item) {
  dispatch([&] {
    if (item.enabled && item.onClick) item.onClick();
  });
}

void Form::choose(ComboBox& combo, int index) {
  dispatch([&] {
    if (!moveFocus(combo)) return;
    combo.setListIndex(index);
    if (combo.onClick) combo.onClick();
  });
}

void Form::type(TextBox& box, std::string text) {
  dispatch([&] {
    if (moveFocus(box)) box.text = std::move(text);
  });
}

bool Form::focus(Control& control) {
  bool moved = false;
  dispatch([&] { moved = moveFocus(control); });
  return moved;
}

void Form::tab(bool backward) {
  dispatch([&] {
    const auto order = tabOrder();
    if (order.empty()) return;
    auto current = std::find(order.begin(), order.end(), focused_);
    Control* next = nullptr;
    if (current == order.end()) {
      next = backward ? order.back() : order.front();
    } else if (backward) {
      next = current == order.begin() ? order.back() : *(current - 1);
    } else {
      next = current + 1 == order.end() ? order.front() : *(current + 1);
    }
    moveFocus(*next);
  });
}

bool Form::keyPress(int key) {
  dispatch([&] {
    Form_KeyPress(key);
    if (key != 13) return;
    if (focused_ && focused_->kind() == ControlKind::CommandButton && focused_->takesFocus()) {
      if (focused_->onClick) focused_->onClick();
    } else if (defaultButton && defaultButton->takesFocus() && moveFocus(*defaultButton)) {
      if (defaultButton->onClick) defaultButton->onClick();
    }
    key = 0;
  });
  return key != 0;
}

void Form::requestClose() {
  dispatch([this] { onCloseRequest(); });
}

bool Form::setFocus(Control& control) {
  return moveFocus(control);
}

bool Form::moveFocus(Control& target) {
  if (&target == focused_) return true;
  if (!target.takesFocus()) return false;
  Control* old = focused_;
  // The control being left may refuse; a control its own Validate closed lets the focus go.
  if (old && old != validating_ && old->causesValidation && old->onValidate) {
    bool cancel = false;
    validating_ = old;
    old->onValidate(cancel);
    validating_ = nullptr;
    if (cancel && old->takesFocus() && old->causesValidation) return false;
  }
  focused_ = &target;
  if (old && old->onLostFocus) old->onLostFocus();
  if (focused_ == &target && target.onGotFocus) target.onGotFocus();
  return true;
}

std::vector<Control*> Form::tabOrder() const {
  std::vector<Control*> order;
  for (Control* control : controls_) {
    if (control->takesFocus()) order.push_back(control);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
  return order;
}

// A control that a handler hid or disabled cannot keep the focus: it passes to the next
// control in tab order, as a window system would.
void Form::settleFocus() {
  if (!focused_ || focused_->takesFocus() || unloaded_) return;
  const auto order = tabOrder();
  Control* old = focused_;
  if (order.empty()) {
    focused_ = nullptr;
  } else {
    const auto next = std::find_if(order.begin(), order.end(),
                                   [&](const Control* c) { return c->tabIndex > old->tabIndex; });
    focused_ = next == order.end() ? order.front() : *next;
  }
  if (old->onLostFocus) old->onLostFocus();
  if (focused_ && focused_->onGotFocus) focused_->onGotFocus();
}

}  // namespace forms
