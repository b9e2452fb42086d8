#include "capture_fixture.h"

namespace {

class Integrity : public CaptureScreen {
 protected:
  std::int64_t selected(const forms::ComboBox& list) { return list.itemData(list.listIndex()); }
  std::string stored(const std::string& column, std::int64_t key) {
    return store::run(folder.path(),
                      "SELECT " + column + " FROM Reg_Pre WHERE Consec=" + std::to_string(key))
        .at(0)
        .at(0)
        .asText();
  }
};

// A change of a record another station deleted writes nothing, says so, and keeps what
// was typed.
TEST_F(Integrity, AChangeOfADeletedRecordIsToldAndWritesNothing) {
  sql("DELETE FROM Reg_Pre");
  const auto key = addRow({.date = "2006-07-21", .product = 1});
  capture::Captura& c = start("Frutas y Hortalizas");
  c.click(c.cmdPrimero);
  sql("DELETE FROM Reg_Pre WHERE Consec=" + std::to_string(key));
  c.type(c.TextObs, "tecleado");
  answerNotice();
  c.click(c.CmdGrabar);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].find("El registro No. 1 ya no existe"), 0u) << notices[0];
  EXPECT_NE(notices[0].find("No se grabó el cambio."), std::string::npos) << notices[0];
  EXPECT_EQ(c.TextObs.text, "tecleado");
  EXPECT_EQ(state->gRegNum, 1);
  EXPECT_EQ(rows(), 0);
}

// A stored key the list does not hold is shown as the record's own, marked, and a change
// writes it back; the marked entry leaves with the record.
TEST_F(Integrity, AKeyMissingFromAListIsShownAndKeptOnChange) {
  sql("DELETE FROM Reg_Pre");
  const auto key = addRow({.date = "2006-07-21", .product = 40});  // a grain, not a fruit
  capture::Captura& c = start("Frutas y Hortalizas");
  c.click(c.cmdPrimero);
  EXPECT_EQ(c.ComboProd.text(), "40 (no está en el catálogo)");
  c.type(c.TextObs, "solo la nota");
  c.click(c.CmdGrabar);
  EXPECT_EQ(stored("Cve_prod", key), "40");
  EXPECT_EQ(stored("Obs", key), "solo la nota");
  EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  for (const auto& item : c.ComboProd.items()) {
    EXPECT_EQ(item.text.find("no está en el catálogo"), std::string::npos) << item.text;
  }
  EXPECT_NE(c.ComboProd.listIndex() >= 0 ? selected(c.ComboProd) : 0, 40);
}

// What the screen shows after a switch is what it shows after a start: no other module's
// earlier prices.
TEST_F(Integrity, ASwitchLeavesNoStalePanel) {
  capture::Captura& c = start("Frutas y Hortalizas");
  ASSERT_FALSE(c.LabMinAnt[0].caption.empty()) << "the basket's earlier prices";
  for (forms::MenuItem* item : {&c.Volumenes, &c.Anden}) {
    c.clickMenu(c.Frutas);
    ASSERT_FALSE(c.LabMinAnt[0].caption.empty());
    menu(*item);
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(c.LabDiaAnt[i].caption + c.LabMinAnt[i].caption, "") << item->name() << i;
    }
  }
}

// After "Deshacer" a record that cannot be read is not left on screen under a number that
// now names the record put back: the position, its key and the screen agree.
TEST_F(Integrity, AnUndoWhoseReadFailsLeavesNoRecordUnderAnotherNumber) {
  sql("DELETE FROM Reg_Pre");
  for (int product : {1, 2, 3}) addRow({.date = "2006-07-21", .product = product});
  capture::Captura& c = start("Frutas y Hortalizas");
  c.click(c.cmdPrimero);
  c.click(c.cmdSiguiente);
  const auto deleted = c.records.keyAt(2);
  c.click(c.CmdBorrar);
  ASSERT_EQ(selected(c.ComboProd), 3);
  // The record comes back and is gone again before it can be shown.
  sql("CREATE TRIGGER vanish AFTER INSERT ON Reg_Pre BEGIN "
      "DELETE FROM Reg_Pre WHERE Consec=NEW.Consec; END");
  answerNotice();
  c.click(c.CmdDeshacer);
  ASSERT_TRUE(deleted);
  EXPECT_EQ(notices.size(), 1u);
  if (state->gRegNum <= c.records.count()) {
    const auto key = c.records.keyAt(state->gRegNum);
    ASSERT_TRUE(key);
    EXPECT_EQ(std::to_string(selected(c.ComboProd)), stored("Cve_prod", *key));
  } else {
    EXPECT_EQ(c.Label1.caption, "NUEVO Registro por Grabar");
  }
  c.type(c.TextObs, "cambio");
  answerError();
  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);
  EXPECT_EQ(rows("Cve_prod=3 AND Obs='cambio'"), 0) << "no change written onto product 3";
}

}  // namespace
