#include "capture_fixture.h"

namespace {

using Texts = std::vector<std::string>;

// The item of `list` whose datum is `key`; the first when it is listed twice.
int itemOf(const forms::ComboBox& list, std::int64_t key) {
  for (int i = 0; i < list.listCount(); ++i) {
    if (list.itemData(i) == key) return i;
  }
  ADD_FAILURE() << list.name() << " has no item " << key;
  return -1;
}

class Saving : public CaptureScreen {
 protected:
  std::int64_t selected(const forms::ComboBox& list) { return list.itemData(list.listIndex()); }

  void expectPosition(std::int64_t number, int saved, std::int64_t basketEntry) {
    EXPECT_EQ(state->gRegNum, number);
    EXPECT_EQ(captura->records.count(), saved);
    EXPECT_EQ(state->gPosCanasta, basketEntry);
  }
};

TEST_F(Saving, ANewRecordIsWrittenAndTheNextBasketEntryIsOffered) {
  yesterdaysBasket();
  capture::Captura& c = start("Frutas y Hortalizas");
  ASSERT_EQ(c.basket.size(), 3);
  expectPosition(1, 0, 1);
  EXPECT_EQ(c.LblRegNum.caption, "1 / 0 -> 3");
  EXPECT_EQ(selected(c.ComboProd), 1);

  // Refused by a check: nothing is written and nothing moves.
  answerError();
  typePrices("0", "0", "0");
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors, Texts{"¡Faltan precios! | No grabó el registro"});
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 0);
  expectPosition(1, 0, 1);
  EXPECT_EQ(c.focused(), &c.TextMin) << "where the correction is typed";
  EXPECT_EQ(state->gConsecutivo, 0);

  c.type(c.TextObs, "Llegó 'poca' oferta");
  typePrices("100", "1,250.5", "110");
  EXPECT_EQ(c.TextMax.text, "1,250.50");
  c.click(c.CmdGrabar);
  const auto saved = store::run(
      folder.path(),
      "SELECT Consec, Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres, Pre_min, "
      "Pre_max, Pre_frec, Pre_uni, Consecutivo, Obs, Cve_inf, Cve_mun, Cve_tra, Vol "
      "FROM Reg_Pre WHERE Fecha='2006-07-21'");
  ASSERT_EQ(saved.size(), 1u);
  Texts columns;
  for (const auto& value : saved[0]) columns.push_back(value.asText());
  EXPECT_EQ(columns, (Texts{columns[0], "5", "FRU", "2006-07-21", "1", "3", "10", "1", "100",
                            "1250.5", "110", "0", "1", "Llegó 'poca' oferta", "1", "301", "", ""}));
  expectPosition(2, 1, 2);
  EXPECT_EQ(c.records.keyAt(1), saved[0][0].asInteger());
  EXPECT_EQ(state->gConsecutivo, 1);
  EXPECT_EQ(selected(c.ComboProd), 3) << "the watermelon, basket entry 2";
  for (const forms::TextBox* box : {&c.TextMin, &c.TextMax, &c.TextFrec, &c.TextUni}) {
    EXPECT_EQ(box->text, "0.00") << box->name();
  }
  EXPECT_EQ(c.TextObs.text, "");
  EXPECT_EQ(c.TextVol.text, "0");
  EXPECT_EQ(c.focused(), &c.TextMin);
  EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  EXPECT_EQ(c.CmdGrabar.caption, "Grabar Nuevo");
  EXPECT_FALSE(c.CmdBorrar.visible);
  EXPECT_EQ(c.LblRegES.caption,
            "...sería el Registro No. 2 de un total de 1 ya Grabados, de una Canasta de "
            "Productos de 3");

  // The same identity again is refused; the new position stays as it was.
  c.choose(c.ComboProd, itemOf(c.ComboProd, 1));
  answerError();
  typePrices("101", "121", "111");
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors.back(), "¡Ya existe ese registro! | No grabó el registro");
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 1);
  expectPosition(2, 1, 2);
  EXPECT_EQ(state->gConsecutivo, 1);

  // A change of the saved record, then on to the next new position and its basket entry.
  c.click(c.cmdPrimero);
  expectPosition(1, 1, 2);
  EXPECT_EQ(c.Label1.caption, "Registro existente");
  EXPECT_EQ(c.CmdGrabar.caption, "Grabar Cambio");
  EXPECT_TRUE(c.CmdBorrar.visible);
  EXPECT_EQ(c.TextMax.text, "1,250.50");
  EXPECT_EQ(c.TextUni.text, "") << "the stored single price, 0, shown as the other prices";
  EXPECT_EQ(c.TextObs.text, "Llegó 'poca' oferta");
  EXPECT_EQ(c.LblRegES.caption,
            "...es el Registro No. 1 de un total de 1 ya Grabados, de una Canasta de Productos "
            "de 3");
  c.type(c.TextMax, "130");
  c.click(c.CmdGrabar);
  EXPECT_EQ(count("SELECT Pre_max FROM Reg_Pre WHERE Fecha='2006-07-21'"), 130);
  expectPosition(2, 1, 2);
  EXPECT_EQ(selected(c.ComboProd), 3);
  EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  EXPECT_FALSE(c.CmdBorrar.visible);
  EXPECT_EQ(state->gConsecutivo, 1) << "a change is not an insert";
}

// Five records of today without a basket: delete the second, then the last, then all.
TEST_F(Saving, DeletingClosesTheGapAndShowsTheRecordThatFollowed) {
  sql("DELETE FROM Reg_Pre");
  // Shown in the order of the type letter, then the name: avocado, mango, watermelon,
  // onion, tomato.
  std::map<int, std::int64_t> key;
  for (int product : {1, 2, 3, 4, 5})
    key[product] = addRow({.date = "2006-07-21", .product = product});
  capture::Captura& c = start("Frutas y Hortalizas");
  EXPECT_EQ(state->gCanasta, "N");
  expectPosition(6, 5, state->gPosCanasta);
  EXPECT_EQ(c.LblRegNum.caption, "6 / 5");
  EXPECT_EQ(c.focused(), &c.ComboProd);
  std::vector<std::int64_t> order;
  for (int n = 1; n <= 5; ++n) order.push_back(*c.records.keyAt(n));
  EXPECT_EQ(order, (std::vector<std::int64_t>{key[1], key[2], key[3], key[5], key[4]}));

  c.click(c.cmdPrimero);
  c.click(c.cmdSiguiente);
  EXPECT_EQ(selected(c.ComboProd), 2);
  c.click(c.CmdBorrar);
  EXPECT_EQ(rows("Consec=" + std::to_string(key[2])), 0);
  expectPosition(2, 4, state->gPosCanasta);
  EXPECT_EQ(selected(c.ComboProd), 3) << "the former record 3 is now record 2";
  EXPECT_EQ(c.LblRegNum.caption, "2 / 4");
  EXPECT_EQ(c.LblRegES.caption, "...es el Registro No. 2 de un total de 4 ya Grabados");

  c.click(c.cmdUltimo);
  EXPECT_EQ(state->gRegNum, 4);
  EXPECT_TRUE(c.CmdBorrar.visible);
  c.click(c.cmdUltimo);
  EXPECT_FALSE(c.CmdBorrar.visible) << "on the last record the button only hides Eliminar";
  c.click(c.cmdAnterior);
  c.click(c.cmdSiguiente);
  EXPECT_EQ(state->gRegNum, 4);
  c.click(c.CmdBorrar);
  expectPosition(4, 3, 4);
  EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  EXPECT_FALSE(c.CmdBorrar.visible);
  EXPECT_EQ(c.LblRegES.caption, "...sería el Registro No. 4 de un total de 3 ya Grabados");

  for (int left = 3; left > 0; --left) {
    c.click(c.cmdPrimero);
    c.click(c.CmdBorrar);
  }
  expectPosition(1, 0, 1);
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 0);
  EXPECT_EQ(c.LblRegES.caption, "...sería el Registro No. 1 de un total de 0 ya Grabados");
  // With nothing saved the first button has nowhere to go.
  c.click(c.cmdPrimero);
  expectPosition(1, 0, 1);
}

TEST_F(Saving, TheDuplicateIdentityDependsOnTheModule) {
  sql("DELETE FROM Reg_Pre");
  // Sugar has no duplicate check; each save reads back its own row's key.
  capture::Captura& c = start("Azúcar");
  for (int i = 0; i < 2; ++i) {
    c.type(c.TextMin, "800");
    c.click(c.CmdGrabar);
  }
  EXPECT_EQ(rows("Cve_Mod='AZU'"), 2);
  ASSERT_EQ(c.records.count(), 2);
  EXPECT_NE(c.records.keyAt(1), c.records.keyAt(2));
  EXPECT_EQ(count("SELECT min(Consec) FROM Reg_Pre"), *c.records.keyAt(1));

  // Inputs tell records apart by municipality and source too.
  start("Insumos Agrícolas");
  const auto saveInputs = [&] {
    typePrices("400", "450", "420");
    captura->click(captura->CmdGrabar);
  };
  saveInputs();
  captura->choose(captura->ComboMun, 1);
  saveInputs();
  captura->choose(captura->ComboFte, 2);
  saveInputs();
  EXPECT_EQ(rows("Cve_Mod='INS'"), 3);
  answerError();
  saveInputs();
  EXPECT_EQ(errors, Texts{"¡Ya existe ese registro! | No grabó el registro"});
  EXPECT_EQ(rows("Cve_Mod='INS'"), 3);

  // Volumes by transport; they have no price checks and an empty volume is 0.
  start("Volúmenes de Ingreso");
  captura->type(captura->TextVol, "");
  captura->click(captura->CmdGrabar);
  captura->choose(captura->ComboTrans, 1);
  captura->type(captura->TextVol, "35");
  captura->click(captura->CmdGrabar);
  EXPECT_EQ(count("SELECT sum(Vol) FROM Reg_Pre WHERE Cve_Mod='VOL'"), 35);
  EXPECT_EQ(count("SELECT count(DISTINCT Cve_tra) FROM Reg_Pre WHERE Cve_Mod='VOL'"), 2);
  EXPECT_EQ(count("SELECT count(*) FROM Reg_Pre WHERE Cve_Mod='VOL' AND Fecha_de='2006-07-21' "
                  "AND Fecha_a='2006-07-21' AND Pre_min=0"),
            2);
  answerError();
  captura->click(captura->CmdGrabar);
  EXPECT_EQ(errors.back(), "¡Ya existe ese registro! | No grabó el registro");
}

// A change that would repeat another saved record is refused like a new one; the screen
// moves on as after any refused change.
TEST_F(Saving, AChangeIsCheckedForDuplicatesTooLeavingItselfOut) {
  sql("DELETE FROM Reg_Pre");
  addRow({.date = "2006-07-21", .product = 1});
  const auto second = addRow({.date = "2006-07-21", .product = 2});
  capture::Captura& c = start("Frutas y Hortalizas");
  c.click(c.cmdPrimero);
  c.type(c.TextMin, "90");
  c.click(c.CmdGrabar);
  EXPECT_EQ(count("SELECT Pre_min FROM Reg_Pre WHERE Cve_prod=1"), 90) << "itself is no duplicate";
  EXPECT_EQ(state->gRegNum, 2);
  c.choose(c.ComboProd, itemOf(c.ComboProd, 1));
  answerError();
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors, Texts{"¡Ya existe ese registro! | No grabó el registro"});
  EXPECT_EQ(count("SELECT Cve_prod FROM Reg_Pre WHERE Consec=" + std::to_string(second)), 2);
  EXPECT_EQ(state->gRegNum, 2) << "the refused change stays on screen to be corrected";
  EXPECT_EQ(c.focused(), &c.ComboProd);

  // Alike but for the presentation, or but for the origin, is another record: on a change
  // and on a save.
  c.choose(c.ComboPres, itemOf(c.ComboPres, 2));
  c.click(c.CmdGrabar);
  EXPECT_EQ(
      count("SELECT Cve_pres FROM Reg_Pre WHERE Cve_prod=1 AND Consec=" + std::to_string(second)),
      2);
  c.choose(c.ComboProd, itemOf(c.ComboProd, 1));
  c.choose(c.ComboPres, itemOf(c.ComboPres, 1));
  c.choose(c.ComboOri, itemOf(c.ComboOri, 7));
  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);
  EXPECT_EQ(rows("Cve_prod=1 AND Cve_pres=1"), 2);
}

// Four hundred records with keys past 32 bits are all reachable, first to last.
TEST_F(Saving, ADayOfManyRecordsWithLargeKeysIsNavigable) {
  sql("DELETE FROM Reg_Pre");
  std::vector<Row> many;
  for (std::int64_t i = 0; i < 400; ++i) {
    many.push_back(
        {.date = "2006-07-21", .minimum = std::to_string(100 + i), .key = 5'000'000'000 + i});
  }
  addRows(many);
  capture::Captura& c = start("Frutas y Hortalizas");
  EXPECT_EQ(c.records.count(), 400);
  EXPECT_EQ(state->gRegNum, 401);
  c.click(c.cmdUltimo);
  EXPECT_EQ(state->gRegNum, 401) << "from a new position the last button stays";
  c.click(c.cmdPrimero);
  EXPECT_EQ(c.TextMin.text, "100.00");
  c.click(c.cmdUltimo);
  EXPECT_EQ(state->gRegNum, 400);
  EXPECT_EQ(c.TextMin.text, "499.00");
  EXPECT_EQ(c.records.keyAt(1), 5'000'000'000);
}

// With a basket the operator may skip entries and save further on: the new key takes the
// first free number, so every saved record is reachable and no number is without one, and
// the first new position offers again the first entry skipped.
TEST_F(Saving, ASaveBeyondTheNextPositionTakesTheFirstFreeNumber) {
  yesterdaysBasket();
  capture::Captura& c = start("Frutas y Hortalizas");
  c.click(c.cmdSiguiente);
  c.click(c.cmdSiguiente);
  expectPosition(3, 0, 3);
  EXPECT_EQ(selected(c.ComboProd), 4);
  EXPECT_EQ(c.LblRegNum.caption, "3 / 0 -> 3");
  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);
  expectPosition(4, 1, 4);
  c.click(c.cmdPrimero);
  EXPECT_EQ(state->gRegNum, 1);
  EXPECT_EQ(selected(c.ComboProd), 4);
  EXPECT_EQ(c.TextMin.text, "100.00");
  c.click(c.cmdSiguiente);
  expectPosition(2, 1, 1);
  EXPECT_EQ(selected(c.ComboProd), 1);
}

// What cannot be written is refused before anything is: amounts that are not numbers and
// lists without a choice, each named. Observations are stored exactly as typed.
TEST_F(Saving, TypedTextIsCheckedAndStoredAsTyped) {
  sql("DELETE FROM Reg_Pre");
  capture::Captura& c = start("Frutas y Hortalizas");
  for (const char* wrong : {"abc", "1.2.3", "-5", "-"}) {
    answerError();
    typePrices(wrong, "12", "11");
    EXPECT_EQ(c.TextMin.text, wrong) << "left as typed";
    c.click(c.CmdGrabar);
  }
  // More digits than a stored amount keeps exactly are refused too.
  answerError();
  typePrices(std::string(16, '9'), "12", "11");
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors, Texts(5, "¡Mínimo no es un número! | No grabó el registro"));
  answerError();
  typePrices("10", "12", "11");
  c.type(c.TextUni, "x");
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors.back(), "¡Único no es un número! | No grabó el registro");
  EXPECT_EQ(c.focused(), &c.TextUni);
  EXPECT_EQ(c.TextUni.selLength(), 1);

  c.ComboPres.setListIndex(-1);
  answerError();
  c.type(c.TextUni, "");
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors.back(), "¡Falta elegir Presentación! | No grabó el registro");
  EXPECT_EQ(c.focused(), &c.ComboPres);
  EXPECT_EQ(rows(), 0);
  c.ComboPres.setListIndex(0);

  const std::string observation =
      "Llegó 'poca' oferta; \"caja\" dañada, 50% -- ñ € 漢字 " + std::string(300, 'x');
  c.type(c.TextObs, observation);
  c.click(c.CmdGrabar);
  const auto stored = store::run(folder.path(), "SELECT Obs, Pre_uni FROM Reg_Pre");
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0][0].asText(), observation);
  EXPECT_EQ(stored[0][1].asText(), "0") << "an empty single price is written as 0";

  // The single price is formatted when left, as the other prices are; a change writes it only
  // when its box was changed, so an amount the box shows rounded stays as stored.
  sql("UPDATE Reg_Pre SET Pre_uni=12.345");
  const auto single = [&] { return store::run(folder.path(), "SELECT Pre_uni FROM Reg_Pre"); };
  c.click(c.cmdPrimero);
  EXPECT_EQ(c.TextUni.text, "12.35");
  c.type(c.TextObs, "solo la nota");
  c.click(c.CmdGrabar);
  EXPECT_EQ(single()[0][0].asText(), "12.345");
  c.click(c.cmdPrimero);
  c.type(c.TextUni, "1234.5");
  c.focus(c.TextObs);
  EXPECT_EQ(c.TextUni.text, "1,234.50");
  c.click(c.CmdGrabar);
  EXPECT_EQ(single()[0][0].asText(), "1234.5");
}

// A saved record that cannot be read is not shown: the position stays on what the screen
// shows, so no change can be written to a record the operator never saw.
TEST_F(Saving, ARecordThatCannotBeReadLeavesThePositionWhereItWas) {
  yesterdaysBasket();
  addRow({.date = "2006-07-21", .product = 1});
  capture::Captura& c = start("Frutas y Hortalizas");
  sql("ALTER TABLE Reg_Pre RENAME COLUMN Obs TO Nota");
  answerNotice();
  c.click(c.cmdPrimero);
  EXPECT_EQ(notices.size(), 1u);
  EXPECT_EQ(state->gRegNum, 2);
  EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  EXPECT_EQ(c.LblRegNum.caption, "2 / 1 -> 3");
  sql("ALTER TABLE Reg_Pre RENAME COLUMN Nota TO Obs");
  c.click(c.cmdPrimero);
  EXPECT_EQ(state->gRegNum, 1);

  // A record another station deleted is told, and the position stays.
  const auto other = addRow({.date = "2006-07-21", .product = 3});
  c.clickMenu(c.Frutas);
  sql("DELETE FROM Reg_Pre WHERE Consec=" + std::to_string(other));
  answerNotice();
  c.click(c.cmdAnterior);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[1].find("El registro No. 2 ya no existe"), 0u) << notices[1];
  EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  // From the record before it the move is refused too; that record stays, deletable.
  c.click(c.cmdPrimero);
  answerNotice();
  c.click(c.cmdSiguiente);
  EXPECT_EQ(state->gRegNum, 1);
  EXPECT_TRUE(c.CmdBorrar.visible);
  c.clickMenu(c.Frutas);
  c.click(c.cmdPrimero);
  EXPECT_EQ(state->gRegNum, 1);

  // A change refused by a price check writes nothing and stays, the minimum ready to retype.
  answerError();
  typePrices("120", "100", "110");
  c.click(c.CmdGrabar);
  EXPECT_EQ(errors, Texts{"¡Mínimo es mayor que máximo! | No grabó el registro"});
  EXPECT_EQ(state->gRegNum, 1);
  EXPECT_EQ(c.focused(), &c.TextMin);
  EXPECT_EQ(c.TextMin.selLength(), static_cast<int>(c.TextMin.text.size()));
  EXPECT_EQ(count("SELECT Pre_min FROM Reg_Pre WHERE Fecha='2006-07-21'"), 100);

  // A delete of a record another station deleted is told as well.
  sql("DELETE FROM Reg_Pre");
  answerNotice();
  c.click(c.CmdBorrar);
  ASSERT_EQ(notices.size(), 4u);
  EXPECT_NE(notices[3].find("ya no existe: se borró desde otro equipo. No había nada que"),
            std::string::npos)
      << notices[3];
}

// A statement the database refuses leaves the table, the session and the screen as they
// were, and the operator is told in Spanish; once the cause is gone the same press works.
TEST_F(Saving, AFailingStatementChangesNothing) {
  yesterdaysBasket();
  capture::Captura& c = start("Frutas y Hortalizas");
  const auto snapshot = [&] {
    return std::tuple{state->gRegNum,
                      state->gPosCanasta,
                      state->gConsecutivo,
                      c.records.count(),
                      c.TextMin.text,
                      c.LblRegNum.caption,
                      rows()};
  };
  for (const char* event : {"INSERT", "UPDATE", "DELETE"}) {
    SCOPED_TRACE(event);
    sql(std::string("CREATE TRIGGER refuse BEFORE ") + event +
        " ON Reg_Pre BEGIN SELECT RAISE(ABORT, 'disco lleno'); END");
    if (std::string(event) != "INSERT") c.click(c.cmdPrimero);
    typePrices("100", "120", "110");
    const auto before = snapshot();
    answerNotice();
    c.click(std::string(event) == "DELETE" ? c.CmdBorrar : c.CmdGrabar);
    EXPECT_EQ(snapshot(), before);
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back().find("No se pudo "), 0u) << notices.back();
    // The engine's own words are a detail behind "Detalles", never the statement.
    EXPECT_NE(notices.back().find("Causa: los datos no cumplen"), std::string::npos);
    EXPECT_EQ(notices.back().find("disco lleno"), std::string::npos);
    EXPECT_EQ(details.back(), "Detalle técnico: disco lleno");
    EXPECT_EQ(notices.back().find("Reg_Pre"), std::string::npos) << "no statement text";
    sql("DROP TRIGGER refuse");
    c.click(std::string(event) == "DELETE" ? c.CmdBorrar : c.CmdGrabar);
    EXPECT_NE(snapshot(), before);
  }
  EXPECT_EQ(notices.size(), 3u);
}

}  // namespace
