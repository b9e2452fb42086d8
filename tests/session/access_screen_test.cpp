#include "access_fixture.h"

#include <utility>

#include "forms/message_form.h"
#include "forms/question_form.h"

namespace {

TEST_F(AccessScreen, AKeyAndTwoEntersSignInAndHandOverToTheCaptureScreen) {
  bool hidden_meanwhile = false;
  const auto ended = run([&](session::frmClaveAcceso& access) {
    hidden_meanwhile = !captura.shown;
    EXPECT_EQ(access.focused(), &access.Text1);
    EXPECT_EQ(access.ComboDel.listIndex(), -1);
    typeKey(access, "105");
    EXPECT_FALSE(access.unloaded());
    EXPECT_TRUE(access.ComboMod.visible);
    EXPECT_FALSE(access.Text1.visible);
    EXPECT_EQ(access.ComboMod.text(), "Frutas y Hortalizas");
    EXPECT_EQ(access.ComboFec.listCount(), 8);
    EXPECT_EQ(access.ComboFec.itemText(0), "Vie 21/07/2006");
    EXPECT_EQ(access.ComboFec.itemText(6), "Sab 15/07/2006");
    EXPECT_EQ(access.ComboFec.itemText(7), "Otra Fecha...");
    EXPECT_EQ(access.ComboMod.top, access.LabelDel.top);
    EXPECT_EQ(access.CmdAceptar2.top, access.LabelCla.top);
    EXPECT_EQ(access.LabelDel1.caption, "Valle Alto");
    EXPECT_EQ(access.defaultButton, &access.CmdAceptar2);
    access.keyPress(forms::kEnterKey);
  });
  EXPECT_FALSE(ended);
  EXPECT_TRUE(hidden_meanwhile);
  EXPECT_TRUE(captura.shown);
  EXPECT_EQ(captura.delegation, "Valle Alto");
  EXPECT_EQ(captura.module, "Frutas y Hortalizas");
  EXPECT_EQ(captura.date, "Vie 21/07/2006");
  EXPECT_EQ(state.gCveDel, "5");
  EXPECT_EQ(state.gCveOpe, "5");
  EXPECT_EQ(state.gEdo, 3);
  EXPECT_EQ(state.gModulo, "FRU");
  EXPECT_EQ(state.gDescMod, "Frutas y Hortalizas");
  EXPECT_EQ(state.gRuta, folder.path().string());
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"5", "5"}));
}

// A key whose last character is a letter, an empty key or a closed window end the program
// and write nothing.
TEST_F(AccessScreen, OnlyTheLastThreeCharactersOfTheKeyCountAndNoKeyEndsTheProgram) {
  EXPECT_EQ(run([&](session::frmClaveAcceso& access) { access.keyPress(forms::kEnterKey); }), 0);
  EXPECT_FALSE(captura.shown);
  EXPECT_EQ(run([](session::frmClaveAcceso& access) { access.requestClose(); }), 0);
  EXPECT_EQ(run([&](session::frmClaveAcceso& access) { typeKey(access, "10x"); }), 0);
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"0", "0"}));

  EXPECT_EQ(signInAgain("  abc105 ").gCveDel, "5");
}

TEST_F(AccessScreen, KeyIsComparedAsTextWithTheAccessCode) {
  // 007 is delegation 12's access code and, without delegation 7, no delegation's key.
  store::run(folder.path(), "DELETE FROM Cat_Deleg WHERE Cve_Del=7");
  EXPECT_EQ(signInAgain("007").gCveDel, "12");
}

TEST_F(AccessScreen, AWrongKeyBeepsEmptiesTheBoxAndLetsTheOperatorRetry) {
  run([&](session::frmClaveAcceso& access) {
    EXPECT_FALSE(access.LabelWrongKey.visible);
    typeKey(access, "999");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(access.LabelWrongKey.visible) << "said as well as sounded";
    EXPECT_EQ(access.LabelWrongKey.caption, "Clave incorrecta");
    EXPECT_EQ(access.Text1.text, "");
    EXPECT_TRUE(access.Text1.visible);
    EXPECT_EQ(access.focused(), &access.Text1);
    EXPECT_EQ(config(), (std::pair<std::string, std::string>{"0", "0"}));
    typeKey(access, "105");
    EXPECT_FALSE(access.LabelWrongKey.visible);
    access.keyPress(forms::kEnterKey);
  });
  EXPECT_EQ(state.gCveDel, "5");
}

TEST_F(AccessScreen, AConfiguredDelegationIsOfferedAloneAndTheKeysNumberDecides) {
  setConfig("UPDATE Config SET Cve_Del='5', Cve_Ope='5'");
  run([&](session::frmClaveAcceso& access) {
    EXPECT_EQ(access.ComboDel.listCount(), 1);
    EXPECT_EQ(access.ComboDel.text(), "Valle Alto");
    // The access code alone is not enough: the key's number must be a delegation's key.
    typeKey(access, "105");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(access.Text1.visible);
    typeKey(access, "005");
    access.keyPress(forms::kEnterKey);
  });
  EXPECT_EQ(state.gCveDel, "5");
  // Whatever the list shows, the number typed decides.
  EXPECT_EQ(signInAgain("007").gCveDel, "7");
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"7", "5"}));
}

TEST_F(AccessScreen, TheOperator746ChoosesTheDelegationByName) {
  setConfig("UPDATE Config SET Cve_Del='5', Cve_Ope='0'");
  run([&](session::frmClaveAcceso& access) {
    access.choose(access.ComboDel, 0);
    typeKey(access, "99746");
    EXPECT_EQ(access.LabelDel1.caption, "Valle Alto");
    access.keyPress(forms::kEnterKey);
  });
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"5", "746"}));

  // Later runs offer every delegation, unselected, in Spanish order.
  session::SessionState fresh;
  HandOverRecord again;
  runOn(fresh, again, [&](session::frmClaveAcceso& access) {
    EXPECT_EQ(access.ComboDel.listCount(), 4);
    EXPECT_EQ(access.ComboDel.listIndex(), -1);
    EXPECT_EQ(access.ComboDel.itemText(1), "Sierra Añil");
    access.choose(access.ComboDel, 1);
    typeKey(access, "746");
    access.keyPress(forms::kEnterKey);
  });
  EXPECT_EQ(fresh.gCveDel, "21");
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"21", "746"}));
}

TEST_F(AccessScreen, ATypedDateBecomesADateLabelAndAWrongOneIsRefused) {
  run([&](session::frmClaveAcceso& access) {
    typeKey(access, "105");
    access.choose(access.ComboFec, 7);
    EXPECT_TRUE(access.TextFec.visible);
    EXPECT_FALSE(access.ComboFec.visible);
    EXPECT_TRUE(access.LabelSel.visible);
    EXPECT_EQ(access.focused(), &access.TextFec);
    EXPECT_EQ(access.TextFec.text, "21/07/2006");
    EXPECT_EQ(access.TextFec.selStart(), 0);
    EXPECT_EQ(access.TextFec.selLength(), 2);

    host.answerNextWithEnter();
    typeDate(access, "31/02/2006");
    EXPECT_FALSE(access.unloaded());
    EXPECT_TRUE(access.TextFec.visible);
    EXPECT_EQ(access.focused(), &access.TextFec);
    EXPECT_EQ(access.TextFec.selLength(), 10);
    EXPECT_EQ(state.gFecha, "");

    typeDate(access, "20/7/06");
  });
  EXPECT_EQ(host.modalForms.back(), "frmMensaje");
  EXPECT_EQ(state.gFecha, "Jue 20/07/2006");
  EXPECT_EQ(captura.date, "Jue 20/07/2006");
}

// A date the start-up purge deletes (7 days back in fruits, 30 in the rest) or a future one
// is confirmed; an implausible year is refused like a non-date.
TEST_F(AccessScreen, ATypedDateThePurgeDeletesOrAFutureOneAsksBeforeGoingOn) {
  std::vector<std::string> questions;
  const auto answer = [&](bool goOn) {
    host.answerNext<forms::QuestionForm>([&, goOn](forms::QuestionForm& question) {
      questions.push_back(question.LabelPregunta.caption);
      question.click(goOn ? question.cmdSi : question.cmdNo);
    });
  };
  run([&](session::frmClaveAcceso& access) {
    typeKey(access, "105");
    access.choose(access.ComboFec, 7);

    answer(false);
    typeDate(access, "14/07/2006");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("se conservan 7 días"), std::string::npos) << questions[0];
    EXPECT_NE(questions[0].find("Vie 14/07/2006"), std::string::npos);
    EXPECT_FALSE(access.unloaded());
    EXPECT_EQ(access.focused(), &access.TextFec);

    typeDate(access, "15/07/2006");  // six days back: kept, no question
    EXPECT_TRUE(access.unloaded());
  });
  EXPECT_EQ(state.gFecha, "Sab 15/07/2006");

  // Oils, kept 30 days; the delegation is remembered, so its number is the key now.
  for (const auto& [date, asked] : {std::pair{"21/06/2006", true}, std::pair{"22/06/2006", false},
                                    std::pair{"22/07/2006", true}}) {
    session::SessionState fresh;
    HandOverRecord again;
    runOn(fresh, again, [&](session::frmClaveAcceso& access) {
      typeKey(access, "005");
      access.choose(access.ComboMod, 0);
      access.choose(access.ComboFec, 7);
      if (asked) answer(true);
      typeDate(access, date);
    });
    EXPECT_EQ(text::dateOfLabel(fresh.gFecha), text::parseDayFirst(date)) << date;
  }
  ASSERT_EQ(questions.size(), 3u);
  EXPECT_NE(questions[1].find("se conservan 30 días"), std::string::npos) << questions[1];
  EXPECT_NE(questions[2].find("posterior a hoy"), std::string::npos) << questions[2];

  run([&](session::frmClaveAcceso& access) {
    typeKey(access, "005");
    access.choose(access.ComboFec, 7);
    for (const char* implausible : {"21/07/1989", "1/1/2101"}) {
      host.answerNotice();
      typeDate(access, implausible);
      EXPECT_NE(host.notices.back().find("entre 1990 y 2100"), std::string::npos) << implausible;
      EXPECT_FALSE(access.unloaded()) << implausible;
    }
    typeDate(access, "21/07/2006");
  });
}

TEST_F(AccessScreen, AMissingOrEmptyConfigReadsAsNoDelegationAndIsWrittenOnSignIn) {
  setConfig("DELETE FROM Config");
  run([&](session::frmClaveAcceso& access) {
    EXPECT_EQ(access.ComboDel.listCount(), 4);
    typeKey(access, "105");
    access.keyPress(forms::kEnterKey);
  });
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"5", "5"}));
  EXPECT_EQ(store::run(folder.path(), "SELECT count(*) from Config")[0][0].asInteger(), 1);

  setConfig("UPDATE Config SET Cve_Del=NULL, Cve_Ope=NULL");
  EXPECT_EQ(signInAgain("021").gCveDel, "21");
  EXPECT_EQ(config(), (std::pair<std::string, std::string>{"21", "21"}));
}

}  // namespace
