#include <gtest/gtest.h>

#include "forms/form.h"
#include "forms/message_form.h"
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
  // Items added before the selection, right at its place, or after it keep the same item
  // selected; a second "Nopal" goes after the first.
  list.addItem("Aceite");
  EXPECT_EQ(list.listIndex(), 4);
  EXPECT_EQ(list.addItem("Nogal"), 4);
  EXPECT_EQ(list.listIndex(), 5);
  EXPECT_EQ(list.addItem("Nopal"), 6);
  EXPECT_EQ(list.addItem("Zanahoria"), 8);
  EXPECT_EQ(list.listIndex(), 5);
  EXPECT_EQ(list.text(), "Nopal");
  EXPECT_EQ(list.itemData(5), 7);
  list.setListIndex(99);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.text(), "");

  forms::ComboBox unsorted(form, "Fechas");
  unsorted.addItem("b");
  EXPECT_EQ(unsorted.addItem("a"), 1);
}

}  // namespace

namespace {

// A message makes room for its lines as the window wraps them, so none is cut off.
TEST(Messages, AMessageIsTallEnoughForItsWrappedLines) {
  testing_support::HeadlessHost host;
  const forms::MessageForm short_one(host, "AVISO", "Uno.\nDos.\nTres.\nCuatro.\nCinco.");
  const forms::MessageForm long_one(host, "AVISO", "Uno.\n" + std::string(300, 'x') + "\nTres.");
  EXPECT_EQ(short_one.LabelMensaje.height, 5 * 17);
  EXPECT_EQ(long_one.LabelMensaje.height, (1 + 5 + 1) * 17);
  EXPECT_GT(long_one.height, long_one.LabelMensaje.top + long_one.LabelMensaje.height);
}

}  // namespace
