#include "capture_fixture.h"
#include "forms/question_form.h"

namespace {

class PriceAids : public CaptureScreen {
 protected:
  void SetUp() override {
    CaptureScreen::SetUp();
    sql("DELETE FROM Reg_Pre");
  }

  std::vector<std::string> panelRow(int i) {
    capture::Captura& c = *captura;
    return {c.LabDiaAnt[i].caption, c.LabMinAnt[i].caption, c.LabMaxAnt[i].caption,
            c.LabFrecAnt[i].caption, c.LabUniAnt[i].caption};
  }
};

using Texts = std::vector<std::string>;

TEST_F(PriceAids, ThePanelShowsTheFiveLatestEarlierPricesAndTheMeanIgnoresZeros) {
  addRow({.date = "2006-07-20", .minimum = "10"});
  addRow({.date = "2006-07-19", .minimum = "0", .maximum = std::nullopt});
  addRow({.date = "2006-07-17", .minimum = "12", .maximum = "15.5", .frequent = "0"});
  addRow({.date = "2006-07-21", .minimum = "99"});                      // the capture date itself
  addRow({.date = "2006-07-22", .minimum = "98"});                      // and later days never show
  addRow({.destination = 11, .date = "2006-07-20", .minimum = "500"});  // another key
  capture::Captura& c = start("Frutas y Hortalizas");
  EXPECT_EQ(c.focused(), &c.TextMin);
  EXPECT_EQ(panelRow(0), (Texts{"Jue 20/07/2006", "10.00", "120.00", "110.00", ""}));
  EXPECT_EQ(panelRow(1), (Texts{"Mie 19/07/2006", "", "", "110.00", ""}));
  EXPECT_EQ(panelRow(2), (Texts{"Lun 17/07/2006", "12.00", "15.50", "", ""}));
  EXPECT_EQ(panelRow(3), (Texts{"", "", "", "", ""}));
  EXPECT_EQ(state->gPromMin, 11);
  EXPECT_EQ(c.TextMin.selStart(), 0);
  EXPECT_EQ(c.TextMin.selLength(), 25);

  // The warning is advisory: the price stays and the focus goes where it was sent.
  answerError();
  c.type(c.TextMin, "14.5");
  c.focus(c.TextMax);
  EXPECT_EQ(errors, Texts{"Variación en precio mayor de 30% | Verifique y corrija si está mal"});
  EXPECT_EQ(c.TextMin.text, "14.50");
  EXPECT_EQ(c.focused(), &c.TextMax);
  for (const char* calm : {"14", "0", ""}) {
    c.type(c.TextMin, calm);
    c.focus(c.TextMax);
  }
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(c.TextMin.text, "");

  // Five rows at most, the newest first.
  for (int day = 1; day <= 6; ++day) addRow({.date = "2006-07-0" + std::to_string(day)});
  c.focus(c.TextMin);
  EXPECT_EQ(panelRow(2)[0], "Lun 17/07/2006");
  EXPECT_EQ(panelRow(3)[0], "Jue 06/07/2006");
  EXPECT_EQ(panelRow(4)[0], "Mie 05/07/2006");

  // A price left for another position is abandoned, not checked.
  c.type(c.TextMin, "50");
  EXPECT_TRUE(c.pressShortcut(forms::ShortcutKey::PageDown));
  c.type(c.TextMin, "50");
  EXPECT_TRUE(c.pressShortcut(forms::ShortcutKey::PageUp));
  EXPECT_EQ(errors.size(), 1u);
  // A screen reader reads each earlier price with its column and day.
  EXPECT_EQ(c.LabMinAnt[0].spokenName(), "Mínimo del Jue 20/07/2006: 10.00");
  EXPECT_EQ(c.LabDiaAnt[0].spokenName(), "Precios anteriores del Jue 20/07/2006");
}

TEST_F(PriceAids, ExactlyThirtyPercentGivesNoWarningAndNoHistoryNone) {
  addRow({.date = "2006-07-20", .minimum = "10"});
  capture::Captura& c = start("Frutas y Hortalizas");
  for (const char* price : {"13.00", "7.00", "13.01", "6.99"}) {
    if (std::string(price) == "13.01" || std::string(price) == "6.99") answerError();
    c.type(c.TextMin, price);
    c.focus(c.TextMax);
  }
  EXPECT_EQ(errors.size(), 2u);

  // Without an earlier record of the key, or without a choice in one of its lists, the
  // panel stays empty and no price is compared.
  c.choose(c.ComboOri, 0);
  c.type(c.TextMin, "1000");
  c.focus(c.TextMax);
  EXPECT_EQ(state->gPromMin, 0);
  c.ComboPres.setListIndex(-1);
  c.focus(c.TextMin);
  EXPECT_EQ(panelRow(0), (Texts{"", "", "", "", ""}));
  EXPECT_EQ(state->gPromMin, 0);
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(PriceAids, PriceBoxesAreRewrittenWhenLeftAndShownRecordsEmptyThePanel) {
  addRow({.date = "2006-07-20", .minimum = "1000", .maximum = "1300", .frequent = "1100"});
  const std::int64_t today = addRow({.date = "2006-07-21", .minimum = "0", .maximum = "1234.5"});
  capture::Captura& c = start("Frutas y Hortalizas");
  for (const auto& [typed, shown] :
       {std::pair{"1234.5", "1,234.50"}, std::pair{"0", ""}, std::pair{"0.00", ""},
        std::pair{"", ""}, std::pair{"12", "12.00"}, std::pair{"abc", "abc"}}) {
    c.type(c.TextMax, typed);
    c.focus(c.TextFrec);
    EXPECT_EQ(c.TextMax.text, shown) << typed;
  }
  c.click(c.cmdPrimero);
  ASSERT_EQ(c.records.keyAt(1), today);
  EXPECT_EQ(c.TextMin.text, "") << "a stored 0 shows as an empty box";
  EXPECT_EQ(c.TextMax.text, "1,234.50");
  EXPECT_EQ(panelRow(0)[0], "") << "the panel is empty once a record is shown";
  EXPECT_EQ(state->gPromMin, 1000) << "the reference is the shown record's own";
}

// A module chosen from the menu refills the lists after the basket entry was offered: the
// entry is offered again in the new lists, with its own previous prices and reference.
TEST_F(PriceAids, AModuleSwitchOffersTheEntryWithItsOwnPreviousPrices) {
  addRow({.date = "2006-07-20", .minimum = "180"});
  addRow({.module = "FLO", .product = 50, .presentation = 9, .minimum = "20"});
  capture::Captura& c = start("Frutas y Hortalizas");
  ASSERT_EQ(c.focused(), &c.TextMin);
  EXPECT_EQ(state->gPromMin, 180);
  menu(c.Flores);
  EXPECT_EQ(c.focused(), &c.TextMin);
  EXPECT_EQ(c.ComboProd.itemData(c.ComboProd.listIndex()), 50);
  EXPECT_EQ(state->gPromMin, 20);
  EXPECT_EQ(panelRow(0), (Texts{"Jue 20/07/2006", "20.00", "120.00", "110.00", ""}));
  // Exactly 30% above a reference that binary fractions cannot hold gives no warning.
  addRow({.module = "FLO", .date = "2006-07-19", .product = 50, .presentation = 9, .minimum = "2"});
  c.focus(c.TextObs);
  c.focus(c.TextMin);
  ASSERT_EQ(state->gPromMin, 11);
  c.type(c.TextMin, "14.30");
  c.focus(c.TextMax);
  EXPECT_TRUE(errors.empty());
}

TEST_F(PriceAids, EnterMovesOnLikeTabButPressesAButton) {
  capture::Captura& c = start("Frutas y Hortalizas");
  c.focus(c.TextObs);
  EXPECT_FALSE(c.keyPress(forms::kEnterKey)) << "the Enter itself is discarded";
  EXPECT_EQ(c.focused(), &c.CmdGrabar);
  c.focus(c.ComboPres);
  c.keyPress(forms::kEnterKey);
  EXPECT_EQ(c.focused(), &c.ComboOri);
  answerError();
  c.focus(c.CmdGrabar);
  c.keyPress(forms::kEnterKey);
  EXPECT_EQ(errors, Texts{"¡Faltan precios! | No grabó el registro"});
}

// Entering the volume selects what it shows, so a change walked through it keeps it; a
// change writes the volume and the transport on screen.
TEST_F(PriceAids, EnteringTheVolumeSelectsWhatItShows) {
  capture::Captura& c = start("Volúmenes de Ingreso");
  EXPECT_EQ(c.TextVol.text, "0");
  c.type(c.TextVol, "35");
  c.focus(c.ComboTrans);
  c.focus(c.TextVol);
  EXPECT_EQ(c.TextVol.text, "35");
  EXPECT_EQ(c.TextVol.selStart(), 0);
  EXPECT_EQ(c.TextVol.selLength(), 25);
  c.click(c.CmdGrabar);
  EXPECT_EQ(c.TextVol.text, "0") << "a new record starts from 0";

  // A saved record's volume, the transport changed and the box walked through on the way
  // to "Grabar Cambio" with Enter: the volume stays what it was.
  c.click(c.cmdPrimero);
  EXPECT_EQ(c.TextVol.text, "35");
  c.choose(c.ComboTrans, 2);
  c.focus(c.TextVol);
  c.keyPress(forms::kEnterKey);
  EXPECT_EQ(c.focused(), &c.CmdGrabar);
  c.keyPress(forms::kEnterKey);
  const auto stored = store::run(folder.path(), "SELECT Vol, Cve_tra FROM Reg_Pre");
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0][0].asText(), "35");
  EXPECT_EQ(stored[0][1].asInteger(), c.ComboTrans.itemData(2));
  EXPECT_EQ(c.TextVol.text, "0") << "on to the next new record";

  // A new volume typed over it is the one written.
  c.click(c.cmdPrimero);
  c.type(c.TextVol, "50");
  c.click(c.CmdGrabar);
  EXPECT_EQ(count("SELECT Vol FROM Reg_Pre"), 50);
}

// A box left without a number is marked and said beside the boxes at once, without a
// dialog; a number, or another record, clears it. The save still refuses it.
TEST_F(PriceAids, ABoxLeftWithoutANumberIsMarkedAtOnce) {
  capture::Captura& c = start("Frutas y Hortalizas");
  const std::size_t dialogs = host.modalForms.size();
  c.type(c.TextMax, "12,5a");
  c.focus(c.TextFrec);
  EXPECT_EQ(host.modalForms.size(), dialogs);
  EXPECT_FALSE(c.TextMax.style.background.empty());
  EXPECT_TRUE(c.LabelPriceNotice.visible);
  EXPECT_EQ(c.LabelPriceNotice.caption, "«12,5a» no es un número");
  c.type(c.TextUni, "x");
  c.focus(c.TextObs);
  EXPECT_FALSE(c.TextUni.style.background.empty());
  EXPECT_EQ(c.LabelPriceNotice.caption, "Máximo y Único no son números");
  c.type(c.TextMax, "125");
  c.focus(c.TextObs);
  EXPECT_TRUE(c.TextMax.style.background.empty());
  EXPECT_EQ(c.LabelPriceNotice.caption, "«x» no es un número") << "only the single price is wrong";
  c.type(c.TextUni, "3");
  c.focus(c.TextObs);
  EXPECT_TRUE(c.TextUni.style.background.empty());
  EXPECT_FALSE(c.LabelPriceNotice.visible);

  c.type(c.TextFrec, "?");
  c.focus(c.TextObs);
  ASSERT_TRUE(c.LabelPriceNotice.visible);
  answerError();
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors.back(), "¡Frecuente no es un número! | No grabó el registro");
  host.answerNext<forms::QuestionForm>(
      [](forms::QuestionForm& question) { question.click(question.cmdSi); });
  c.clickMenu(c.Granos);  // another record, its typing given up
  EXPECT_FALSE(c.LabelPriceNotice.visible);
  EXPECT_TRUE(c.TextFrec.style.background.empty());
}

}  // namespace
