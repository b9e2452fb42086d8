#include "capture_fixture.h"

namespace {

class Basket : public CaptureScreen {
 protected:
  void SetUp() override {
    CaptureScreen::SetUp();
    sql("DELETE FROM Reg_Pre");
  }

  std::vector<std::int64_t> basketProducts() {
    std::vector<std::int64_t> products;
    for (int k = 1; k <= captura->basket.size(); ++k)
      products.push_back(captura->basket.at(k)->product);
    return products;
  }

  // A column of the saved records, in the order the buttons walk them.
  std::vector<std::int64_t> saved(const std::string& column) {
    std::vector<std::int64_t> values;
    for (int n = 1; n <= captura->records.count(); ++n) {
      values.push_back(count("SELECT " + column + " FROM Reg_Pre WHERE Consec=" +
                             std::to_string(*captura->records.keyAt(n))));
    }
    return values;
  }
};

using Keys = std::vector<std::int64_t>;

TEST_F(Basket, OnlyTheMostRecentEarlierDayFormsTheBasketInEachModulesOrder) {
  // Fruits go by the first letter of the type (F, G, H), then product and origin name.
  for (const auto& [product, origin] : {std::pair{4, 3}, std::pair{1, 5}, std::pair{3, 3},
                                        std::pair{2, 3}, std::pair{1, 1}, std::pair{1, 3}}) {
    addRow({.product = product, .origin = origin});
  }
  addRow({.date = "2006-07-19", .product = 9});
  addRow({.date = "2006-07-21", .product = 10});  // today's own records never form it
  start("Frutas y Hortalizas");
  EXPECT_EQ(basketProducts(), (Keys{1, 1, 1, 2, 3, 4}));
  EXPECT_EQ(captura->basket.at(1)->origin, 1) << "Altiplano before Río Manso and Valle Alto";
  EXPECT_EQ(captura->basket.at(3)->origin, 3);
}

TEST_F(Basket, SavedRecordsOfSugarGoByMillAndOfOilsByVariety) {
  for (int mill : {2, 1, 3}) {
    addRow(
        {.module = "AZU", .date = "2006-07-21", .product = 20, .presentation = 5, .origin = mill});
  }
  start("Azúcar");
  // El Ñandú, La Esperanza, San Rafael de la Costa.
  EXPECT_EQ(saved("Cve_ori"), (Keys{3, 1, 2}));

  // Three oils named alike: no variety first, then Girasol, then Soya.
  for (int product : {30, 31, 33}) {
    addRow({.module = "ACE",
            .date = "2006-07-21",
            .product = product,
            .presentation = 7,
            .origin = 6});
  }
  start("Aceites Comestibles");
  EXPECT_EQ(saved("Cve_prod"), (Keys{33, 31, 30}));
}

// A basket of 40 of which 10 entries were saved today, out of the basket's order: the new
// positions offer the entries without a record of the day, in order, also after a save, a
// skip and a delete; the labels still count records and the basket.
TEST_F(Basket, TheNewPositionsOfferTheEntriesNotYetCaptured) {
  std::vector<Row> days;
  for (int product = 1; product <= 10; ++product) {
    for (int origin : {1, 3, 5, 7}) days.push_back({.product = product, .origin = origin});
    days.push_back({.date = "2006-07-21", .product = product, .origin = 3});
  }
  addRows(days);
  capture::Captura& c = start("Frutas y Hortalizas");
  ASSERT_EQ(c.basket.size(), 40);
  std::vector<std::int64_t> free;  // the basket positions without a record of today
  for (int k = 1; k <= 40; ++k) {
    if (c.basket.at(k)->origin != 3) free.push_back(k);
  }
  const auto offers = [&](std::int64_t position) {
    EXPECT_EQ(state->gPosCanasta, position);
    const capture::BasketEntry entry = *c.basket.at(position);
    EXPECT_EQ(c.ComboProd.itemData(c.ComboProd.listIndex()), entry.product);
    EXPECT_EQ(c.ComboOri.itemData(c.ComboOri.listIndex()), entry.origin);
  };
  EXPECT_EQ(state->gRegNum, 11);
  EXPECT_EQ(c.LblRegNum.caption, "11 / 10 -> 40");
  EXPECT_EQ(c.LblRegES.caption,
            "...sería el Registro No. 11 de un total de 10 ya Grabados, de una Canasta de "
            "Productos de 40");
  offers(free[0]);
  EXPECT_EQ(c.focused(), &c.TextMin);

  typePrices("100", "120", "110");
  c.click(c.CmdGrabar);
  EXPECT_EQ(c.LblRegNum.caption, "12 / 11 -> 40");
  offers(free[1]);
  c.click(c.cmdSiguiente);
  offers(free[2]);
  c.click(c.cmdAnterior);
  offers(free[1]);

  // The record just saved (the last of the day's order, before the new positions) deleted: the
  // screen goes to the first new position, which offers its entry again.
  c.click(c.cmdAnterior);
  ASSERT_EQ(c.records.keyAt(11), count("SELECT max(Consec) FROM Reg_Pre"));
  c.click(c.CmdBorrar);
  EXPECT_EQ(c.LblRegNum.caption, "11 / 10 -> 40");
  offers(free[0]);
}

// A destination without history turns the basket off for every later destination until
// a module is chosen from the menu.
TEST_F(Basket, ADestinationWithoutHistoryTurnsTheBasketOffUntilAMenuSwitch) {
  addRow({.product = 1});
  capture::Captura& c = start("Frutas y Hortalizas");
  EXPECT_EQ(state->gCanasta, "S");
  const auto chooseDestination = [&](std::int64_t key) {
    c.clickMenu(c.SelDestino);
    for (int i = 0; i < c.ComboDest.listCount(); ++i) {
      if (c.ComboDest.itemData(i) == key) c.choose(c.ComboDest, i);
    }
    c.tab();
  };
  chooseDestination(11);
  EXPECT_EQ(state->gCanasta, "N");
  EXPECT_EQ(c.basket.size(), 0);
  EXPECT_EQ(c.focused(), &c.ComboProd);
  EXPECT_EQ(c.LblRegNum.caption, "1 / 0");
  chooseDestination(10);
  EXPECT_EQ(state->gCanasta, "N");
  EXPECT_EQ(c.basket.size(), 0);
  // Switched from the destination without history, the screen shows the module's first
  // destination again, and its basket, count and labels are that destination's.
  chooseDestination(11);
  menu(c.Frutas);
  EXPECT_EQ(state->gCveDest, "10");
  EXPECT_EQ(state->gCanasta, "S");
  EXPECT_EQ(c.basket.size(), 1);
  EXPECT_EQ(c.LblRegNum.caption, "1 / 0 -> 1");
}

}  // namespace
