#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/message_form.h"
#include "headless_host.h"

namespace {

// A small screen like the capture screen's label-and-list pairs.
class Sample : public forms::Form {
 public:
  explicit Sample(forms::Host& host) : Form(host, "Sample") {
    Lista.onGotFocus = [this] { events.push_back("Lista.GotFocus"); };
    Lista.onLostFocus = [this] { events.push_back("Lista.LostFocus"); };
    Lista.onValidate = [this](bool& cancel) {
      events.push_back("Lista.Validate");
      cancel = true;
      if (closeOnValidate) Lista.causesValidation = false;
    };
    Texto.onGotFocus = [this] { events.push_back("Texto.GotFocus"); };
    Texto.onLostFocus = [this] { events.push_back("Texto.LostFocus"); };
    Boton.onClick = [this] { events.push_back("Boton.Click"); };
    Otro.onClick = [this] { events.push_back("Otro.Click"); };
    defaultButton = &Otro;
  }

  forms::ComboBox Lista{*this, "Lista"};
  forms::TextBox Texto{*this, "Texto"};
  forms::CommandButton Boton{*this, "Boton"};
  forms::CommandButton Otro{*this, "Otro"};
  std::vector<std::string> events;
  bool closeOnValidate = false;

 protected:
  void Form_KeyPress(int& key) override {
    if (key == 'x') key = 0;
  }
};

TEST(Focus, ACancellingValidateKeepsTheFocusUntilItClosesItsList) {
  testing_support::HeadlessHost host;
  Sample form(host);
  form.load();
  form.Lista.causesValidation = true;
  ASSERT_EQ(form.focused(), &form.Lista);
  form.events.clear();

  form.tab();
  EXPECT_EQ(form.focused(), &form.Lista);
  EXPECT_EQ(form.events, (std::vector<std::string>{"Lista.Validate"}));

  // Closing the list in its Validate lets the focus go; the choice is taken over once.
  form.closeOnValidate = true;
  form.events.clear();
  form.tab();
  form.tab(true);
  EXPECT_EQ(form.focused(), &form.Lista);
  EXPECT_EQ(form.events,
            (std::vector<std::string>{"Lista.Validate", "Lista.LostFocus", "Texto.GotFocus",
                                      "Texto.LostFocus", "Lista.GotFocus"}));
}

TEST(Focus, TabSkipsHiddenAndDisabledControlsAndFollowsTabIndex) {
  testing_support::HeadlessHost host;
  Sample form(host);
  form.load();
  form.Texto.visible = false;
  form.Boton.enabled = false;
  form.tab();
  EXPECT_EQ(form.focused(), &form.Otro);
  form.Otro.tabIndex = 0;
  form.Lista.tabIndex = 5;
  form.tab();
  EXPECT_EQ(form.focused(), &form.Lista);
  form.tab(true);
  EXPECT_EQ(form.focused(), &form.Otro);
}

TEST(Focus, AControlAHandlerHidesPassesTheFocusOn) {
  testing_support::HeadlessHost host;
  Sample form(host);
  form.Boton.onClick = [&] { form.Boton.visible = false; };
  form.load();
  form.click(form.Boton);
  EXPECT_EQ(form.focused(), &form.Otro);
}

// Four controls that record their focus events and run a hook in each, as the capture
// screen's handlers do when they move the focus themselves.
class Recorder : public forms::Form {
 public:
  explicit Recorder(forms::Host& host) : Form(host, "Recorder") {
    for (forms::Control* control :
         {static_cast<forms::Control*>(&A), static_cast<forms::Control*>(&B),
          static_cast<forms::Control*>(&C), static_cast<forms::Control*>(&D)}) {
      const std::string name = control->name();
      control->onGotFocus = [this, name] { record(name + ".Got"); };
      control->onLostFocus = [this, name] { record(name + ".Lost"); };
      control->onValidate = [this, name](bool& cancel) { record(name + ".Validate", &cancel); };
    }
  }

  forms::ComboBox A{*this, "A"};
  forms::TextBox B{*this, "B"};
  forms::TextBox C{*this, "C"};
  forms::TextBox D{*this, "D"};
  std::vector<std::string> events;
  std::vector<std::string> history;  // every event since load, never cleared
  // Runs when the named event happens; the Validate hook may set cancel.
  std::map<std::string, std::function<void(bool*)>> hooks;

 private:
  void record(const std::string& event, bool* cancel = nullptr) {
    events.push_back(event);
    history.push_back(event);
    if (const auto hook = hooks.find(event); hook != hooks.end()) hook->second(cancel);
  }
};

// Every LostFocus follows a GotFocus of the same control, with no LostFocus between.
void expectPaired(const std::vector<std::string>& events) {
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

TEST(Focus, HandlersThatMoveTheFocusLeaveEveryControlWithPairedEvents) {
  using Events = std::vector<std::string>;
  testing_support::HeadlessHost host;
  Recorder form(host);
  form.load();
  ASSERT_EQ(form.focused(), &form.A);

  // A LostFocus that asks twice, as a list reload does: the last request wins, and the
  // control clicked never gets the focus it was about to get.
  form.hooks["A.Lost"] = [&](bool*) {
    form.setFocus(form.B);
    form.setFocus(form.C);
  };
  form.events.clear();
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

TEST(Focus, AFailingHandlerLeavesTheFocusModelWorking) {
  testing_support::HeadlessHost host;
  Recorder form(host);
  form.load();
  form.A.causesValidation = true;
  int failures = 0;
  const auto answer = [&] {
    host.answerNext<forms::MessageForm>([&](forms::MessageForm& notice) {
      ++failures;
      notice.keyPress(13);
    });
  };

  // A Validate that throws: the next move still validates.
  form.hooks["A.Validate"] = [](bool*) { throw std::runtime_error("sin conexión"); };
  answer();
  form.tab();
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(form.focused(), &form.A);
  form.hooks.clear();
  form.hooks["A.Validate"] = [](bool* cancel) { *cancel = true; };
  form.events.clear();
  form.tab();
  EXPECT_EQ(form.events, (std::vector<std::string>{"A.Validate"}));
  EXPECT_EQ(form.focused(), &form.A);

  // A LostFocus that throws half-way through a move: the focus comes back with its events.
  form.hooks.clear();
  form.A.causesValidation = false;
  form.hooks["A.Lost"] = [](bool*) { throw std::runtime_error("disco lleno"); };
  answer();
  form.events.clear();
  form.click(form.C);
  EXPECT_EQ(failures, 2);
  EXPECT_EQ(form.focused(), &form.A);
  form.hooks.clear();
  form.click(form.C);
  EXPECT_EQ(form.focused(), &form.C);
  expectPaired(form.history);
}

TEST(Keys, EnterPressesTheFocusedButtonOrElseTheDefaultOne) {
  testing_support::HeadlessHost host;
  Sample form(host);
  form.load();
  form.focus(form.Texto);
  EXPECT_FALSE(form.keyPress(13));
  form.focus(form.Boton);
  form.keyPress(13);
  EXPECT_EQ(form.events.back(), "Boton.Click");
  EXPECT_NE(std::find(form.events.begin(), form.events.end(), "Otro.Click"), form.events.end());
  // The form sees keys first and may discard them.
  EXPECT_FALSE(form.keyPress('x'));
  EXPECT_TRUE(form.keyPress('y'));
}

TEST(Keys, APostedTabIsProcessedAfterTheHandlerReturns) {
  testing_support::HeadlessHost host;
  Sample form(host);
  form.Boton.onClick = [&] {
    host.postTab(form);
    form.events.push_back(form.focused()->name());
  };
  form.load();
  form.click(form.Boton);
  EXPECT_EQ(form.events.back(), "Boton");
  EXPECT_EQ(form.focused(), &form.Otro);
}

TEST(Failures, AFailingHandlerIsShownToTheOperatorNotThrown) {
  testing_support::HeadlessHost host;
  Sample form(host);
  form.Boton.onClick = [] { throw std::runtime_error("disco lleno"); };
  form.load();
  std::string shown;
  host.answerNext<forms::MessageForm>([&](forms::MessageForm& notice) {
    shown = notice.LabelMensaje.caption;
    notice.click(notice.cmdAceptar);
  });
  form.click(form.Boton);
  EXPECT_NE(shown.find("disco lleno"), std::string::npos);
  EXPECT_EQ(host.modalForms, (std::vector<std::string>{"frmMensaje"}));
}

}  // namespace
