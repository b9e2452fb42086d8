#include <gtest/gtest.h>

#include "forms/form.h"
#include "headless_host.h"

namespace {

TEST(Lists, ASortedListInsertsInSpanishOrderAndReportsThePosition) {
  testing_support::HeadlessHost host;
  forms::Form form(host, "F");
  forms::ComboBox list(form, "Lista");
  list.sorted = true;
  EXPECT_EQ(list.addItem("Nopal"), 0);
  list.setItemData(0, 7);
  EXPECT_EQ(list.addItem("ñame"), 1);
  EXPECT_EQ(list.addItem("Ávila"), 0);
  EXPECT_EQ(list.addItem("azul"), 1);
  EXPECT_EQ(list.addItem("Nabo"), 2);
  list.setListIndex(3);
  EXPECT_EQ(list.text(), "Nopal");
  EXPECT_EQ(list.itemData(3), 7);
  // An item added before the selection keeps the same item selected.
  list.addItem("Aceite");
  EXPECT_EQ(list.text(), "Nopal");
  list.setListIndex(99);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.text(), "");

  forms::ComboBox unsorted(form, "Fechas");
  unsorted.addItem("b");
  EXPECT_EQ(unsorted.addItem("a"), 1);
}

}  // namespace
