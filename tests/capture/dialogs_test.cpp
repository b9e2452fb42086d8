#include <gtest/gtest.h>

#include "capture/form_error.h"
#include "capture/form_fec_vol.h"
#include "capture/period_dates.h"
#include "forms/message_form.h"
#include "headless_host.h"

namespace {

TEST(PeriodDates, BothFormsAreReadByPositionAndWrittenWithTwoDigits) {
  EXPECT_EQ(capture::FormatoDMA("2006/7/5"), "05/07/2006");
  EXPECT_EQ(capture::FormatoAMD("2006/7/5"), "2006/07/05");
  EXPECT_EQ(capture::FormatoAMD("5/7/2006"), "2006/07/05");
  EXPECT_EQ(capture::FormatoAMD("15/12/2006"), "2006/12/15");
  EXPECT_EQ(capture::FormatoAMD("2006/12/5"), "2006/12/05");
  EXPECT_EQ(capture::FormatoAMD("05/07/2006"), "2006/07/05");
  EXPECT_EQ(capture::FormatoDMA("2006/07/05"), "05/07/2006");
  EXPECT_EQ(capture::FormatoAMD(""), "/0/0");
  EXPECT_TRUE(capture::periodDate("2006/07/05"));
  EXPECT_FALSE(capture::periodDate("2006/02/30"));
  EXPECT_FALSE(capture::periodDate(capture::FormatoAMD("5/7/06")));
}

TEST(ErrorDialog, TheSecondLineSaysNothingWasSavedUnlessItIsAPriceWarning) {
  testing_support::HeadlessHost host;
  session::SessionState state;
  // The messages the screen shows are checked through it (saving_test.cpp, price_aids_test.cpp);
  // the warning is told apart whatever the case of its letters.
  for (const auto& [message, second] : {std::pair{"variaCIÓN", "Verifique y corrija si está mal"},
                                        std::pair{"¡Faltan precios!", "No grabó el registro"}}) {
    state.gMsgError = message;
    capture::FormError dialog(host, state);
    std::string first_line;
    std::string second_line;
    host.answerNext<capture::FormError>([&](capture::FormError&) {
      first_line = dialog.LabelError.caption;
      second_line = dialog.LabelGrabo.caption;
      dialog.keyPress(forms::kEnterKey);
    });
    host.showModal(dialog);
    EXPECT_EQ(first_line, message);
    EXPECT_EQ(second_line, second);
  }
}

TEST(PeriodDialog, ShowsThePeriodDayFirstAndAcceptsOnlyARealPeriodTypedAsAnywhere) {
  testing_support::HeadlessHost host;
  session::SessionState state;
  state.gFecDe = state.gFecA = "2006/7/5";
  capture::FormFecVol dialog(host, state);
  host.answerNext<capture::FormFecVol>([&](capture::FormFecVol&) {
    EXPECT_EQ(dialog.TextFecDe.text, "05/07/2006");
    EXPECT_EQ(dialog.TextFecA.text, "05/07/2006");
    EXPECT_EQ(dialog.focused(), &dialog.TextFecDe);
    EXPECT_EQ(dialog.TextFecDe.selLength(), 2);
    dialog.tab();
    EXPECT_EQ(dialog.TextFecA.selStart(), 0);
    EXPECT_EQ(dialog.TextFecA.selLength(), 2);

    // The last is a start after the end.
    for (const char* wrong : {"31/02/2006", "abc", "6/7/2006"}) {
      host.answerNotice();
      dialog.type(dialog.TextFecDe, wrong);
      dialog.keyPress(forms::kEnterKey);
      EXPECT_FALSE(dialog.unloaded()) << wrong;
      EXPECT_EQ(dialog.focused(), &dialog.TextFecDe);
    }
    EXPECT_EQ(state.gFecDe, "2006/7/5");
    EXPECT_EQ(host.notices.back(),
              "La fecha Desde, 06/07/2006, es posterior a la fecha Hasta, 05/07/2006.");

    // Read as the access screen reads a typed date.
    dialog.type(dialog.TextFecDe, "1/7/06");
    dialog.keyPress(forms::kEnterKey);
  });
  host.showModal(dialog);
  EXPECT_EQ(host.notices.size(), 3u);
  EXPECT_EQ(state.gFecDe, "2006/07/01");
  EXPECT_EQ(state.gFecA, "2006/07/05");
}

}  // namespace
