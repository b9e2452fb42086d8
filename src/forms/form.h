#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/controls.h"
#include "forms/host.h"
#include "forms/screen_state.h"

namespace forms {

// A screen or a test used the forms wrongly; passes through every handler unshown.
class ScreenMisuse : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Keys a screen can give to one of its buttons, pressed together with Ctrl.
enum class ShortcutKey { Enter, Z, Home, End, PageUp, PageDown, Delete };

// The character code of Enter, as keyPress receives it.
inline constexpr int kEnterKey = 13;

// A screen: owns its controls as members (they register themselves in declaration order)
// and keeps the focus. The public entry points are what an operator does; views and tests
// call them, and each runs its handlers to the end before it returns.
class Form {
 public:
  Form(Host& host, std::string name);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form() = default;

  const std::string& name() const { return name_; }
  Host& host() const { return host_; }
  const std::vector<Control*>& controls() const { return controls_; }
  const std::vector<MenuItem*>& menus() const { return menus_; }
  Control* find(std::string_view control_name) const;
  template <typename T>
  T& control(std::string_view control_name) const {
    auto* found = dynamic_cast<T*>(find(control_name));
    if (!found) throw ScreenMisuse(name_ + " no tiene el control " + std::string(control_name));
    return *found;
  }

  std::string caption;
  int width = 400;
  int height = 300;
  bool visible = true;
  // Answers Enter when the focus is not on another button.
  CommandButton* defaultButton = nullptr;

  Control* focused() const { return focused_; }
  bool loaded() const { return loaded_; }
  bool unloaded() const { return unloaded_; }

  // Operator entry points.
  void load();
  void click(Control& control);
  void clickMenu(MenuItem& item);
  void choose(ComboBox& combo, int index);
  void type(TextBox& box, std::string text);
  // Moves the focus as a click into a control would; false when it stayed where it was.
  bool focus(Control& control);
  void tab(bool backward = false);
  // A character key (kEnterKey for Enter); the form sees it before the focused control.
  // True when the focused control should still receive the key.
  bool keyPress(int key);
  // The window frame's close box.
  void requestClose();
  // Ctrl+`key`: presses the button bound to it as a click would, wherever the focus is.
  // False when no button that can be pressed now is bound to it, so the key goes on to the
  // focused control.
  bool pressShortcut(ShortcutKey key);

  // Binds Ctrl+`key` to `button`; while `applies` says no, the key is not the button's and
  // goes on to the focused control, whose focus stays where it is.
  void bindShortcut(ShortcutKey key, CommandButton& button, std::function<bool()> applies = {});

  // The screen as the operator sees it now, and putting it back exactly, without running a
  // handler: an event that cannot finish leaves the screen as it found it.
  ScreenState saveScreen() const;
  void restoreScreen(const ScreenState& state);

  // For handlers: gives `control` the focus, validating the control that loses it.
  bool setFocus(Control& control);
  // For handlers: a Tab key stroke, taken once the running event is done.
  void postTab() { ++tabs_posted_; }
  // The focus comes back from another window: a text box behaves as when it is entered, its
  // text selected, so the first key replaces it.
  void focusReturned();
  // The control the focus last left.
  Control* leftLast() const { return left_; }
  // While a LostFocus runs: the control the focus is on its way to.
  Control* focusGoingTo() const { return moving_ ? requested_ : nullptr; }
  void unload();

 protected:
  virtual void Form_Load() {}
  // Sees every key before the focused control; setting key to 0 discards it.
  virtual void Form_KeyPress(int& /*key*/) {}
  virtual void onCloseRequest() { unload(); }
  // Runs one whole operator event; a screen may wrap it in what the event shares, such as
  // one database connection for all its statements.
  virtual void runEvent(const std::function<void()>& event) { event(); }

 private:
  friend class Control;
  friend class MenuItem;
  void registerControl(Control& control) { controls_.push_back(&control); }
  void registerMenu(MenuItem& menu) { menus_.push_back(&menu); }

  // Runs an operator event: handlers run to the end, a failure is shown to the operator,
  // and the focus never rests on a control that cannot hold it.
  void dispatch(const std::function<void()>& event);
  // Moves the focus to `target`; true when it ends there. See form.cpp for the rules.
  bool moveFocus(Control& target, bool validate = true);
  std::vector<Control*> tabOrder() const;
  // The first control after `from` in tab order that can take the focus.
  Control* nextAfter(const Control* from) const;
  void settleFocus();
  void recoverFocus();
  void showFailure(const std::exception& failure);

  Host& host_;
  std::string name_;
  std::vector<Control*> controls_;
  std::vector<MenuItem*> menus_;
  struct Shortcut {
    ShortcutKey key;
    CommandButton* button;
    std::function<bool()> applies;
  };
  std::vector<Shortcut> shortcuts_;
  Control* focused_ = nullptr;
  // Whether focused_ has had its GotFocus: only then does it get a LostFocus.
  bool focus_announced_ = false;
  // While a move runs, handlers' focus requests are recorded here; the last one wins.
  Control* requested_ = nullptr;
  bool moving_ = false;
  // The control a move left last, for putting the focus back after a failure.
  Control* left_ = nullptr;
  int depth_ = 0;
  int tabs_posted_ = 0;
  bool loaded_ = false;
  bool unloaded_ = false;
};

}  // namespace forms
