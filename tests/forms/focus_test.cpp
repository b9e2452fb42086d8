#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/headless_host.h"
#include "forms/message_form.h"

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
  forms::HeadlessHost host;
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
  forms::HeadlessHost host;
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
  forms::HeadlessHost host;
  Sample form(host);
  form.Boton.onClick = [&] { form.Boton.visible = false; };
  form.load();
  form.click(form.Boton);
  EXPECT_EQ(form.focused(), &form.Otro);
}

TEST(Keys, EnterPressesTheFocusedButtonOrElseTheDefaultOne) {
  forms::HeadlessHost host;
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
  forms::HeadlessHost host;
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
  forms::HeadlessHost host;
  Sample form(host);
  form.Boton.onClick = [] { throw std::runtime_error("disco lleno"); };
  form.load();
  std::string shown;
  host.answerNextModal([&](forms::Form& notice) {
    auto& message = static_cast<forms::MessageForm&>(notice);
    shown = message.LabelMensaje.caption;
    notice.click(message.cmdAceptar);
  });
  form.click(form.Boton);
  EXPECT_NE(shown.find("disco lleno"), std::string::npos);
  EXPECT_EQ(host.modalForms, (std::vector<std::string>{"frmMensaje"}));
}

}  // namespace
