#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/message_form.h"
#include "headless_host.h"

namespace {

using Events = std::vector<std::string>;

// A list, a box and two buttons that record their events and run a hook in each, as the
// capture screen's handlers do when they move the focus themselves. D is the default
// button, and the form discards the key 'x'.
class Recorder : public forms::Form {
 public:
  explicit Recorder(forms::Host& host) : Form(host, "Recorder") {
    for (forms::Control* control : std::initializer_list<forms::Control*>{&A, &B, &C, &D}) {
      const std::string name = control->name();
      control->onGotFocus = [this, name] { record(name + ".Got"); };
      control->onLostFocus = [this, name] { record(name + ".Lost"); };
      control->onValidate = [this, name](bool& cancel) { record(name + ".Validate", &cancel); };
      control->onClick = [this, name] { record(name + ".Click"); };
    }
    defaultButton = &D;
  }

  forms::ComboBox A{*this, "A"};
  forms::TextBox B{*this, "B"};
  forms::CommandButton C{*this, "C"};
  forms::CommandButton D{*this, "D"};
  Events events;
  Events history;  // every event since load, never cleared
  // Runs when the named event happens; the Validate hook may set cancel.
  std::map<std::string, std::function<void(bool*)>> hooks;

 protected:
  void Form_KeyPress(int& key) override {
    if (key == 'x') key = 0;
  }

 private:
  void record(const std::string& event, bool* cancel = nullptr) {
    events.push_back(event);
    history.push_back(event);
    if (const auto hook = hooks.find(event); hook != hooks.end()) hook->second(cancel);
  }
};

// Every LostFocus follows a GotFocus of the same control, with no LostFocus between.
void expectPaired(const Events& events) {
  std::map<std::string, bool> has_focus;
  for (const std::string& event : events) {
    const std::string control = event.substr(0, event.find('.'));
    if (event.ends_with(".Got")) {
      EXPECT_FALSE(has_focus[control]) << control << " got the focus twice";
      has_focus[control] = true;
    } else if (event.ends_with(".Lost")) {
      EXPECT_TRUE(has_focus[control]) << control << " lost a focus it never got";
      has_focus[control] = false;
    }
  }
  EXPECT_EQ(
      std::count_if(has_focus.begin(), has_focus.end(), [](const auto& c) { return c.second; }), 1);
}

class Focus : public ::testing::Test {
 protected:
  void SetUp() override {
    form.load();
    ASSERT_EQ(form.focused(), &form.A);
    form.events.clear();
  }

  testing_support::HeadlessHost host;
  Recorder form{host};
};

TEST_F(Focus, TabSkipsHiddenAndDisabledControls) {
  form.B.visible = false;
  form.C.enabled = false;
  form.tab();
  EXPECT_EQ(form.focused(), &form.D);
}

TEST_F(Focus, HandlersThatMoveTheFocusLeaveEveryControlWithPairedEvents) {
  // A LostFocus that asks twice, as a list reload does: the last request wins, and the
  // control clicked never gets the focus it was about to get.
  form.hooks["A.Lost"] = [&](bool*) {
    form.setFocus(form.B);
    form.setFocus(form.C);
  };
  form.click(form.D);
  EXPECT_EQ(form.events, (Events{"A.Lost", "C.Got"}));
  EXPECT_EQ(form.focused(), &form.C);

  // A GotFocus that sends the focus on starts a move of its own.
  form.hooks.clear();
  form.hooks["B.Got"] = [&](bool*) { form.setFocus(form.D); };
  form.events.clear();
  form.tab(true);
  EXPECT_EQ(form.events, (Events{"C.Lost", "B.Got", "B.Lost", "D.Got"}));
  EXPECT_EQ(form.focused(), &form.D);

  // A Validate that moves the focus elsewhere wins over the move that raised it.
  form.hooks.clear();
  form.D.causesValidation = true;
  form.hooks["D.Validate"] = [&](bool*) { form.setFocus(form.B); };
  form.events.clear();
  form.tab();
  EXPECT_EQ(form.events, (Events{"D.Validate", "D.Lost", "B.Got"}));
  EXPECT_EQ(form.focused(), &form.B);

  // The focused control hidden by a handler passes the focus on; its LostFocus may move it.
  form.hooks.clear();
  form.hooks["B.Lost"] = [&](bool*) { form.setFocus(form.A); };
  form.B.onClick = [&] { form.B.visible = false; };
  form.events.clear();
  form.click(form.B);
  EXPECT_EQ(form.events, (Events{"B.Lost", "A.Got"}));
  EXPECT_EQ(form.focused(), &form.A);
  expectPaired(form.history);
}

// A cancelling Validate keeps the focus until it closes its list; a handler that throws is
// shown to the operator, not thrown, and leaves the focus model working.
TEST_F(Focus, ValidateAndFailingHandlersLeaveTheFocusModelWorking) {
  form.A.causesValidation = true;
  form.hooks["A.Validate"] = [](bool*) { throw std::runtime_error("sin conexión"); };
  host.answerNotice();
  form.tab();
  EXPECT_EQ(form.focused(), &form.A);
  form.hooks["A.Validate"] = [](bool* cancel) { *cancel = true; };
  form.events.clear();
  form.tab();
  EXPECT_EQ(form.events, (Events{"A.Validate"}));
  EXPECT_EQ(form.focused(), &form.A);

  // Closing the list in its Validate lets the focus go; the choice is taken over once.
  form.hooks["A.Validate"] = [&](bool* cancel) {
    *cancel = true;
    form.A.causesValidation = false;
  };
  form.events.clear();
  form.tab();
  form.tab(true);
  EXPECT_EQ(form.focused(), &form.A);
  EXPECT_EQ(form.events, (Events{"A.Validate", "A.Lost", "B.Got", "B.Lost", "A.Got"}));

  // A LostFocus that throws half-way through a move: the focus comes back with its events.
  form.hooks.clear();
  form.hooks["A.Lost"] = [](bool*) { throw std::runtime_error("disco lleno"); };
  host.answerNotice();
  form.click(form.B);
  EXPECT_EQ(form.focused(), &form.A);
  form.hooks.clear();
  form.click(form.B);
  EXPECT_EQ(form.focused(), &form.B);
  expectPaired(form.history);

  form.C.onClick = [] { throw std::runtime_error("sin papel"); };
  host.answerNotice();
  form.click(form.C);
  const Events& notices = host.notices;
  ASSERT_EQ(notices.size(), 3u);
  for (const auto& [notice, cause] :
       {std::pair{0, "sin conexión"}, std::pair{1, "disco lleno"}, std::pair{2, "sin papel"}}) {
    EXPECT_NE(notices[notice].find(cause), std::string::npos) << notices[notice];
  }
  EXPECT_EQ(host.modalForms, Events(3, "frmMensaje"));
}

TEST_F(Focus, EnterPressesTheFocusedButtonOrElseTheDefaultOneAndATabCanBePosted) {
  form.focus(form.B);
  EXPECT_FALSE(form.keyPress(forms::kEnterKey));
  EXPECT_EQ(form.events.back(), "D.Click");
  form.focus(form.C);
  form.keyPress(forms::kEnterKey);
  EXPECT_EQ(form.events.back(), "C.Click");
  // The form sees keys first and may discard them.
  EXPECT_FALSE(form.keyPress('x'));
  EXPECT_TRUE(form.keyPress('y'));

  // A posted tab is processed after the handler returns.
  form.C.onClick = [&] {
    form.postTab();
    form.events.push_back(form.focused()->name());
  };
  form.events.clear();
  form.click(form.C);
  EXPECT_EQ(form.events, (Events{"C", "C.Lost", "D.Got"}));
  EXPECT_EQ(form.focused(), &form.D);
}

}  // namespace
