#include "forms/form.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "forms/message_form.h"
#include "forms/scoped_value.h"

namespace forms {

Form::Form(Host& host, std::string name) : host_(host), name_(std::move(name)) {}

Control* Form::find(std::string_view control_name) const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [&](const Control* c) { return c->name() == control_name; });
  return found == controls_.end() ? nullptr : *found;
}

void Form::dispatch(const std::function<void()>& event) {
  if (depth_ > 0) {
    // A nested event: its failure goes up to the outermost one.
    const ScopedValue nested(depth_, depth_ + 1);
    event();
    return;
  }
  std::optional<std::string> failure;
  {
    const ScopedValue outermost(depth_, 1);
    try {
      runEvent([&] {
        event();
        settleFocus();
      });
    } catch (const ScreenMisuse&) {
      throw;
    } catch (const std::exception& error) {
      failure = error.what();
    }
  }
  if (failure) {
    recoverFocus();
    showFailure(std::runtime_error(*failure));
  }
  // Each posted Tab is a key stroke of its own, taken before any key the operator typed
  // meanwhile, so type-ahead lands where the Tab leads.
  while (tabs_posted_ > 0 && !unloaded_) {
    --tabs_posted_;
    tab();
  }
  tabs_posted_ = 0;
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

void Form::bindShortcut(ShortcutKey key, CommandButton& button, std::function<bool()> applies) {
  shortcuts_.push_back(Shortcut{key, &button, std::move(applies)});
}

bool Form::pressShortcut(ShortcutKey key) {
  for (const Shortcut& shortcut : shortcuts_) {
    if (shortcut.key != key) continue;
    CommandButton& button = *shortcut.button;
    if (!button.visible || !button.enabled || (shortcut.applies && !shortcut.applies())) {
      return false;
    }
    click(button);
    return true;
  }
  return false;
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

// A box holds one line: a line break typed or pasted into it becomes a blank, so no value
// can break a line of a file it is written to.
void Form::type(TextBox& box, std::string text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
  }
  dispatch([&] {
    if (moveFocus(box)) box.text = std::move(line);
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
    if (key != kEnterKey) return;
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

void Form::focusReturned() {
  if (focused_ && focused_->kind() == ControlKind::TextBox) {
    auto& box = static_cast<TextBox&>(*focused_);
    box.select(0, static_cast<int>(box.text.size()));
  }
}

// A move validates the control being left (unless `validate` is false: a control that was
// hidden or disabled cannot refuse), gives it LostFocus and the new control GotFocus. Focus
// requests made by any of these handlers are recorded and the last one wins: after the old
// control's LostFocus the focus goes straight to the control last asked for, and a request
// made in a GotFocus handler starts a further move. So every control that gets LostFocus
// has had its GotFocus, each exactly once per move.
bool Form::moveFocus(Control& target, bool validate) {
  if (!target.takesFocus()) return false;
  if (moving_) {
    requested_ = &target;
    return true;
  }
  if (&target == focused_ && focus_announced_) return true;
  const ScopedValue moving(moving_, true);
  const ScopedValue request(requested_, &target);
  constexpr int kMaxMoves = 32;
  for (int moves = 0; requested_ != focused_ || !focus_announced_; ++moves) {
    if (moves == kMaxMoves) throw ScreenMisuse(name_ + ": el foco no deja de moverse");
    Control* wanted = requested_;
    Control* old = focused_;
    if (old == wanted) {
      // Back on the control being left after a failure: it only lacks its GotFocus.
      focus_announced_ = true;
      if (old->onGotFocus) old->onGotFocus();
      continue;
    }
    if (old && validate && old->causesValidation && old->onValidate) {
      bool cancel = false;
      old->onValidate(cancel);
      const bool kept =
          requested_ == wanted && cancel && old->takesFocus() && old->causesValidation;
      if (kept || requested_ == old) return false;
    }
    validate = true;
    if (old) {
      focused_ = nullptr;
      left_ = old;
      if (std::exchange(focus_announced_, false) && old->onLostFocus) old->onLostFocus();
    }
    Control* arrival = requested_ && requested_->takesFocus() ? requested_ : nextAfter(old);
    focused_ = requested_ = arrival;
    if (!arrival) break;
    focus_announced_ = true;
    if (arrival->onGotFocus) arrival->onGotFocus();
  }
  return focused_ == &target;
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

Control* Form::nextAfter(const Control* from) const {
  const auto order = tabOrder();
  if (order.empty()) return nullptr;
  if (!from) return order.front();
  const auto next = std::find_if(order.begin(), order.end(),
                                 [&](const Control* c) { return c->tabIndex > from->tabIndex; });
  return next == order.end() ? order.front() : *next;
}

// A control that a handler hid or disabled cannot keep the focus: it passes to the next
// control in tab order, as a window system would.
void Form::settleFocus() {
  if (unloaded_ || !focused_ || focused_->takesFocus()) return;
  if (Control* next = nextAfter(focused_)) {
    moveFocus(*next, false);
  } else {
    if (std::exchange(focus_announced_, false) && focused_->onLostFocus) focused_->onLostFocus();
    focused_ = nullptr;
  }
}

// After a failure the focus may be left between two controls; it goes back where it was,
// or on to the next control. A second failure on the way is not shown over the first.
void Form::recoverFocus() {
  if (unloaded_) return;
  try {
    if (!focused_ && left_ && left_->takesFocus()) {
      moveFocus(*left_);
    } else if (!focused_ || !focused_->takesFocus()) {
      if (Control* next = nextAfter(focused_ ? focused_ : left_)) moveFocus(*next, false);
    }
  } catch (const ScreenMisuse&) {
    throw;
  } catch (const std::exception&) {
  }
}

}  // namespace forms
