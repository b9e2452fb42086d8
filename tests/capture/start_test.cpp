#include "capture_fixture.h"
#include "forms/question_form.h"
#include "outputs/day_output_files.h"
#include "outputs/frm_aviso.h"
#include "store/archive.h"
#include "store/connection.h"
#include "store/server_settings.h"

#include <filesystem>
#include <iterator>

namespace {

namespace fs = std::filesystem;

TEST_F(CaptureScreen, StartPurgesOldRecordsByTheClockNotByTheChosenDate) {
  sql("INSERT INTO Reg_Pre (Cve_Mod, Fecha, Obs) VALUES "
      "('GRA', '2006-06-21', 'gone'), ('ACE', '2006-06-22', 'kept'), "
      "('FRU', '2006-07-14', 'gone'), ('FRU', '2006-07-15', 'kept'), "
      "('GRA', '2006-07-14', 'kept'), ('FRU', '2006-06-01', 'gone')");
  const auto before = rows();
  start("Granos y Semillas", "005");
  // Routine news of the morning is a line on the screen, not a window over it.
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(captura->LabelPurgeNews.visible);
  EXPECT_EQ(captura->LabelPurgeNews.caption.find("Se borraron 3 registros de más de 30 días (de "
                                                 "más de 7 en Frutas y Hortalizas) y pasaron al "
                                                 "archivo histórico."),
            0u)
      << captura->LabelPurgeNews.caption;
  EXPECT_EQ(rows("Obs='gone'"), 0);
  {
    const fs::path where = folder.path();
    store::Connection archive = store::hasSettings(where)
                                    ? store::Connection::openDatabase(where)
                                    : store::Connection::open(store::archivePath(where));
    EXPECT_EQ(
        archive.runNative("SELECT count(*) FROM Historico WHERE Obs = 'gone'")[0][0].asInteger(),
        3);
    EXPECT_EQ(archive.runNative("SELECT count(*) FROM Historico")[0][0].asInteger(), 3);
  }
  EXPECT_EQ(rows("Obs='kept'"), 3);
  EXPECT_EQ(rows(), before - 3);
  EXPECT_EQ(state->gFechaSQL, "2006/7/21");
  EXPECT_EQ(state->gFecDe, "2006/7/21");
  EXPECT_EQ(state->gFecA, "2006/7/21");
  EXPECT_EQ(captura->ComboFec.listCount(), 10);
  EXPECT_EQ(captura->ComboFec.itemText(9), "Mie 12/07/2006");
  EXPECT_EQ(captura->ComboMod.listCount(), 8);
  EXPECT_EQ(captura->ComboMod.itemText(1), "Azúcar");

  // The module and date lists open on what is in force: left unchanged, nothing changes.
  for (forms::Label* label : {&captura->LabelMod, &captura->LabelFec}) {
    captura->click(*label);
    captura->tab();
  }
  EXPECT_EQ(state->gModulo, "GRA");
  menu(captura->Anden);
  captura->click(captura->LabelMod);
  captura->tab();
  EXPECT_EQ(state->gDescMod, "Anden de Subastas");

  // The line stays until the first save.
  host.enterOnEveryModal = true;
  typePrices("10", "12", "11");
  captura->click(captura->CmdGrabar);
  EXPECT_EQ(rows("Pre_min=10"), 1);
  EXPECT_FALSE(captura->LabelPurgeNews.visible);
}

// A purge of many records says what it does and lets the platform paint while it runs.
TEST_F(CaptureScreen, ALongPurgeSaysWhatItDoesWhileItRuns) {
  sql("INSERT INTO Reg_Pre (Cve_Mod, Fecha) SELECT 'GRA', #2005/1/1# FROM (WITH RECURSIVE "
      "n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) SELECT i FROM n) AS many");
  start("Granos y Semillas", "005");
  EXPECT_EQ(rows("Fecha=#2005/1/1#"), 0);
  EXPECT_NE(std::find(host.works.begin(), host.works.end(),
                      "Pasando al archivo histórico los registros de más de 30 días (de más de "
                      "7 en Frutas y Hortalizas)…"),
            host.works.end());
  EXPECT_GT(host.workTicks, 0);
}

// A new date is a new day on screen: its saved records, counters and basket, and new
// records saved under it. A date the next start purges is asked about first.
TEST_F(CaptureScreen, ChangingTheDateRebuildsTheDayOfTheNewDate) {
  capture::Captura& c = start("Frutas y Hortalizas");
  EXPECT_EQ(c.LblRegNum.caption, "1 / 0 -> 16");
  c.clickMenu(c.SelFecha);
  EXPECT_TRUE(c.ComboFec.visible);
  EXPECT_EQ(c.focused(), &c.ComboFec);
  c.choose(c.ComboFec, 1);
  c.tab();
  EXPECT_EQ(state->gFecha, "Jue 20/07/2006");
  EXPECT_EQ(c.LabelFec.caption, "Jue 20/07/2006");
  EXPECT_EQ(state->gFechaSQL, "2006/7/20");
  EXPECT_EQ(state->gFecDe, "2006/7/20") << "the entry period follows the capture date";
  EXPECT_FALSE(c.ComboFec.visible);
  EXPECT_TRUE(c.LabelFec.visible);
  EXPECT_NE(c.focused(), &c.ComboFec);
  EXPECT_EQ(c.records.count(), 16) << "the saved records of 20/07";
  EXPECT_EQ(c.LblRegNum.caption, "17 / 16 -> 16");
  c.click(c.cmdPrimero);
  EXPECT_EQ(c.Label1.caption, "Registro existente");

  // Nine days back, fruit records are purged at the next start: asked, and declined.
  host.answerNext<forms::QuestionForm>([&](forms::QuestionForm& question) {
    notices.push_back(question.LabelPregunta.caption);
    question.click(question.cmdNo);
  });
  c.click(c.LabelFec);
  c.choose(c.ComboFec, 9);
  c.tab();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("se conservan 7 días"), std::string::npos) << notices[0];
  EXPECT_EQ(state->gFecha, "Jue 20/07/2006");
  EXPECT_EQ(c.ComboFec.text(), "Jue 20/07/2006");

  // Back to today: a record saved now is saved on today's date. The period, as the period
  // dialog writes it, follows.
  state->gFecDe = state->gFecA = "2006/07/20";
  c.click(c.LabelFec);
  c.choose(c.ComboFec, 0);
  c.tab();
  EXPECT_EQ(state->gFecDe, "2006/7/21");
  EXPECT_EQ(c.LblRegNum.caption, "1 / 0 -> 16");
  answerError();  // far from the earlier prices
  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 1);
}

// Choosing a module in the list lays its screen out at once, as the menu does: nothing can
// be saved under another module's layout.
TEST_F(CaptureScreen, TheModuleListSwitchesTheWholeScreen) {
  capture::Captura& c = start("Frutas y Hortalizas");
  const auto chooseModule = [&](const std::string& caption) {
    c.click(c.LabelMod);
    EXPECT_EQ(c.focused(), &c.ComboMod);
    for (int i = 0; i < c.ComboMod.listCount(); ++i) {
      if (c.ComboMod.itemText(i) == caption) c.choose(c.ComboMod, i);
    }
    c.keyPress(forms::kEnterKey);
    EXPECT_FALSE(c.ComboMod.visible);
    EXPECT_TRUE(c.LabelMod.visible);
    EXPECT_EQ(c.LabelMod.caption, caption);
  };
  chooseModule("Azúcar");
  EXPECT_EQ(state->gModulo, "AZU");
  EXPECT_EQ(c.ComboProd.listCount(), 6);
  EXPECT_EQ(c.LblMin.caption, "Único");
  EXPECT_TRUE(c.ComboIng.visible);
  EXPECT_FALSE(c.ComboOri.visible);
  EXPECT_FALSE(c.TextMax.visible);

  answerPeriodDialog();
  chooseModule("Volúmenes de Ingreso");
  EXPECT_EQ(periodAskedOver, "prices") << "the period is asked first, as from the menu";
  EXPECT_TRUE(c.TextVol.visible);
  EXPECT_TRUE(c.ComboTrans.visible);
  EXPECT_FALSE(c.TextMin.visible);
  c.type(c.TextVol, "35");
  c.click(c.CmdGrabar);
  EXPECT_EQ(count("SELECT Vol FROM Reg_Pre WHERE Cve_Mod='VOL' AND Fecha='2006-07-21'"), 35);

  // In inputs the origin is the delegation's state, fixed, whichever way the module came.
  chooseModule("Insumos Agrícolas");
  EXPECT_FALSE(c.ComboOri.enabled);
  EXPECT_EQ(c.ComboOri.itemData(c.ComboOri.listIndex()), state->gEdo);
  EXPECT_TRUE(c.LabelDest.visible);
  EXPECT_FALSE(c.LabelDest.caption.empty());

  // Opening the list and leaving it on the same module changes nothing.
  c.type(c.TextObs, "a medias");
  c.click(c.LabelMod);
  c.tab();
  EXPECT_EQ(state->gModulo, "INS");
  EXPECT_EQ(c.TextObs.text, "a medias");
  EXPECT_TRUE(c.LabelMod.visible);
}

TEST_F(CaptureScreen, TheDestinationChoiceIsTakenOverOnceHoweverTheListIsLeft) {
  capture::Captura& c = start("Frutas y Hortalizas");
  const auto leave = [&](int how) {
    if (how == 0) c.tab();
    if (how == 1) c.keyPress(forms::kEnterKey);
    if (how == 2) c.click(c.TextObs);
  };
  for (int how = 0; how < 3; ++how) {
    SCOPED_TRACE(how);
    // What was typed at the last destination is given up when asked.
    if (how > 0) {
      host.answerNext<forms::QuestionForm>([&](forms::QuestionForm& question) {
        notices.push_back(question.LabelPregunta.caption);
        question.click(question.cmdSi);
      });
    }
    c.clickMenu(c.SelDestino);
    EXPECT_EQ(c.focused(), &c.ComboDest);
    EXPECT_TRUE(c.ComboDest.causesValidation);
    const int other = 1 - c.ComboDest.listIndex();
    c.choose(c.ComboDest, other);
    c.type(c.TextMin, "0");
    EXPECT_EQ(c.focused(), &c.TextMin) << "never stuck in the list";
    EXPECT_FALSE(c.ComboDest.causesValidation);
    EXPECT_EQ(state->gCveDest, std::to_string(c.ComboDest.itemData(other)));
    EXPECT_EQ(c.LabelDest.caption, c.ComboDest.text());
    EXPECT_TRUE(c.ComboDest.visible);

    // Passing through the list again without a change keeps what was typed.
    c.type(c.TextObs, "a medias");
    c.focus(c.ComboDest);
    leave(how);
    EXPECT_NE(c.focused(), &c.ComboDest);
    EXPECT_EQ(c.TextObs.text, "a medias");
  }
  EXPECT_EQ(notices.size(), 2u);
}

TEST_F(CaptureScreen, InputsHaveNoDestinationChoice) {
  capture::Captura& c = start("Insumos Agrícolas");
  c.click(c.LabelDest);
  c.clickMenu(c.SelDestino);
  EXPECT_FALSE(c.ComboDest.visible);
  EXPECT_EQ(c.focused(), &c.ComboProd);
}

// The menu's "Reporte" and "Generar" do what the buttons do; the separator does nothing;
// "Salir" ends the program at once. Every entry has its own underlined letter.
TEST_F(CaptureScreen, TheMenuEntriesActAsTheirButtonsAndSalirEnds) {
  capture::Captura& c = start("Frutas y Hortalizas");
  outputs::DayOutputFiles outputs(host, *state);
  c.useOutputs(outputs);
  const std::size_t dialogs = host.modalForms.size();
  const session::SessionState before = *state;
  c.clickMenu(c.Separador);
  EXPECT_EQ(host.modalForms.size(), dialogs);
  EXPECT_EQ(state->gSQL, before.gSQL);
  c.clickMenu(c.Reporte);
  EXPECT_EQ(host.openedDocuments, std::vector{folder.path() / "Reporte.htm"});
  host.answerNext<outputs::frmAviso>([](outputs::frmAviso& aviso) { aviso.click(aviso.cmdOK); });
  c.clickMenu(c.Generar);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "5FRU.csv"));
  EXPECT_EQ(state->gModulo, before.gModulo);
  EXPECT_EQ(state->gCveDest, before.gCveDest);
  EXPECT_THROW(c.clickMenu(c.Salir), testing_support::ProgramEnded);
  EXPECT_EQ(host.endStatus, 0);
}

}  // namespace

// Another program holding the file: the wait shows that the program is working, then the
// event asks once, naming the file, whether to try again. Cancelled, the event stops without
// another wait or question and the next event works; tried again once the other program has let go,
// the event goes on whole.
TEST_F(CaptureScreen, ALockedFileAsksOnceWhetherToTryAgain) {
  capture::Captura& c = start("Frutas y Hortalizas");
  auto other_program = store::Connection::open(store::databasePath(folder.path()));
  other_program.runNative("BEGIN EXCLUSIVE");
  std::vector<std::string> asked;
  const auto answer = [&](bool again) {
    host.answerNext<forms::QuestionForm>([&, again](forms::QuestionForm& question) {
      asked.push_back(question.LabelPregunta.caption);
      if (again) other_program.runNative("ROLLBACK");
      question.click(again ? question.cmdSi : question.cmdNo);
    });
  };
  const forms::ScreenState before = c.saveScreen();
  const std::string module = state->gModulo;
  const int basket = c.basket.size();
  answer(false);
  const int ticks = host.workTicks;
  menu(c.Granos);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_GE(host.workTicks - ticks, 100) << "the wait keeps the windows painted";
  EXPECT_TRUE(c.saveScreen() == before) << "the cancelled switch leaves the screen as it was";
  EXPECT_EQ(state->gModulo, module);
  EXPECT_EQ(c.basket.size(), basket);
  EXPECT_NE(asked[0].find("otro programa tiene abierta la base de datos"), std::string::npos);
  EXPECT_NE(asked[0].find(store::databasePath(folder.path()).string()), std::string::npos);

  answer(true);
  menu(c.Frutas);
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(c.LabelMod.caption, "Frutas y Hortalizas");
  EXPECT_GT(c.ComboProd.listCount(), 0);
  EXPECT_GT(c.basket.size(), 0);
}

// At the start there is no screen to go back to: given up on a locked file, the program ends
// rather than show a half-built screen.
TEST_F(CaptureScreen, ALockedFileGivenUpOnAtTheStartEndsTheProgram) {
  state = std::make_unique<session::SessionState>();
  captura = std::make_unique<capture::Captura>(host, *state);
  auto other_program = store::Connection::open(store::databasePath(folder.path()));
  host.answerNext<session::frmClaveAcceso>([&](session::frmClaveAcceso& access) {
    access.type(access.Text1, "005");
    access.keyPress(forms::kEnterKey);
    access.keyPress(forms::kEnterKey);
    other_program.runNative("BEGIN EXCLUSIVE");
  });
  int questions = 0;
  host.answerNext<forms::QuestionForm>([&](forms::QuestionForm& question) {
    ++questions;
    question.click(question.cmdNo);
  });
  EXPECT_THROW(captura->load(), testing_support::ProgramEnded);
  EXPECT_EQ(host.endStatus, 1);
  EXPECT_EQ(questions, 1);
}
