#include "capture_fixture.h"

namespace {

using Texts = std::vector<std::string>;

// Without earlier days no basket entry changes what the lists select.
TEST_F(CaptureScreen, FruitListsEveryProductTwiceAndEveryListCarriesItsKeys) {
  sql("DELETE FROM Reg_Pre");
  capture::Captura& c = start("Frutas y Hortalizas");
  EXPECT_EQ(texts(c.ComboDest),
            (Texts{"Central de Abasto Valle Alto", "Mercado Morelos del Valle"}));
  EXPECT_EQ(c.ComboDest.listIndex(), 0);
  EXPECT_EQ(state->gCveDest, "10");
  EXPECT_EQ(c.ComboProd.listCount(), 20);
  EXPECT_EQ(c.ComboProd.text(), "Aguacate Hass Primera");
  // Ñame sorts after the n- names, both under its name and its key.
  const Texts products = texts(c.ComboProd);
  EXPECT_LT(std::find(products.begin(), products.end(), "Nopal Extra"),
            std::find(products.begin(), products.end(), "Ñame Primera"));
  EXPECT_EQ(texts(c.ComboPres),
            (Texts{"1 Caja 20 kg", "2 Tonelada", "3 Kilogramo", "4 Arpilla 25 kg",
                   "ARP Arpilla 25 kg", "CAJ Caja 20 kg", "KG Kilogramo", "TON Tonelada"}));
  EXPECT_EQ(c.ComboPres.text(), "ARP Arpilla 25 kg");
  EXPECT_TRUE(c.ComboPres.enabled);
  // An origin with an abbreviation is listed twice, by its key and by its abbreviation.
  EXPECT_EQ(texts(c.ComboOri),
            (Texts{"1 Altiplano del Norte", "2 Bahía Quieta", "3 Valle Alto", "4 Ciénaga Verde",
                   "5 Río Manso", "6 Importación", "7 Costa Serena", "ANO Altiplano del Norte",
                   "CSE Costa Serena", "RMA Río Manso", "VAL Valle Alto"}));
  EXPECT_EQ(c.ComboOri.listIndex(), 7) << "the first abbreviation";
  EXPECT_EQ(c.ComboOri.itemData(10), 3);
  EXPECT_EQ(texts(c.ComboIng),
            (Texts{"IN01 Ingenio La Esperanza", "IN02 Ingenio San Rafael de la Costa",
                   "IN03 Ingenio El Ñandú", "Ingenio El Ñandú IN03", "Ingenio La Esperanza IN01",
                   "Ingenio San Rafael de la Costa IN02"}));
  EXPECT_EQ(c.ComboIng.itemData(3), 3);
  EXPECT_EQ(texts(c.ComboMun),
            (Texts{"301 San Isidro del Valle", "302 Álamos", "303 Pueblo Nuevo"}));
  EXPECT_EQ(c.ComboFte.listCount(), 3);
  EXPECT_EQ(c.ComboTrans.listCount(), 4);
  EXPECT_EQ(c.ComboTrans.listIndex(), 0);
}

// Sugar is listed by its sort and flowers only by their key.
TEST_F(CaptureScreen, EachModuleListsItsProductsInItsOwnForm) {
  capture::Captura& c = start("Azúcar");
  EXPECT_EQ(texts(c.ComboProd), (Texts{"Estándar Primera", "Morena Segunda", "Refinada Primera",
                                       "ZES Azúcar Estándar Primera", "ZMO Azúcar Morena Segunda",
                                       "ZRE Azúcar Refinada Primera"}));
  EXPECT_EQ(texts(c.ComboPres), (Texts{"BUL Bulto 50 kg", "COS Costal 50 kg"}));
  EXPECT_EQ(c.ComboPres.listIndex(), 0);
  EXPECT_EQ(texts(c.ComboDest), (Texts{"Central de Abasto Valle Alto"}));

  start("Flores");
  EXPECT_EQ(texts(captura->ComboProd), (Texts{"NCL Clavel Gruesa", "NCR Crisantemo Manojo",
                                              "NGL Gladiola Docena", "NRO Rosa Roja Gruesa"}));
  EXPECT_EQ(captura->ComboDest.listCount(), 3);

  start("Granos y Semillas");
  EXPECT_EQ(texts(captura->ComboPres), (Texts{"COS Costal 50 kg"}));
  EXPECT_FALSE(captura->ComboPres.enabled) << "a single presentation cannot be changed";

  // Inputs show their quality in parentheses and oils their variety.
  start("Insumos Agrícolas");
  EXPECT_EQ(
      texts(captura->ComboProd),
      (Texts{"Fertilizante Triple 17 ", "RFE Fertilizante Triple 17 ", "RSA Sulfato de Amonio ",
             "RSE Semilla de Maíz Híbrido (Bolsa)", "RUR Urea (Saco 50 kg)",
             "Semilla de Maíz Híbrido (Bolsa)", "Sulfato de Amonio ", "Urea (Saco 50 kg)"}));

  start("Aceites Comestibles");
  EXPECT_EQ(
      texts(captura->ComboProd),
      (Texts{"Aceite Comestible ", "Aceite Comestible Girasol", "Aceite Comestible Soya",
             "Aceite Mixto Maíz", "ACG Aceite Comestible Girasol", "ACS Aceite Comestible Soya",
             "ACX Aceite Comestible ", "AMM Aceite Mixto Maíz"}));
  EXPECT_EQ(texts(captura->ComboPres), (Texts{"BOT Botella 1 litro", "Botella 1 litro BOT",
                                              "C12 Caja 12 botellas", "Caja 12 botellas C12"}));
  EXPECT_EQ(captura->ComboPres.listIndex(), 0);
}

TEST_F(CaptureScreen, VolumesAtTheAuctionDestinationTakeTheAuctionProducts) {
  capture::Captura& c = start("Volúmenes de Ingreso", "012");
  EXPECT_EQ(state->gCveDest, "100");
  EXPECT_EQ(texts(c.ComboProd),
            (Texts{"BCA Calabacita Segunda", "BJI Jitomate Bola Primera", "BPE Pepino Primera",
                   "Calabacita Segunda", "HPA Papa Alfa Primera", "Jitomate Bola Primera",
                   "Papa Alfa Primera", "Pepino Primera"}));
  EXPECT_EQ(c.ComboPres.listCount(), 10);

  start("Volúmenes de Ingreso");
  EXPECT_EQ(state->gCveDest, "10");
  EXPECT_EQ(captura->ComboProd.listCount(), 12);
  EXPECT_EQ(texts(captura->ComboProd).front(), "Cebolla Blanca Segunda");
}

TEST_F(CaptureScreen, EmptyCataloguesLeaveListsEmptyWithoutSelection) {
  sql("UPDATE Cat_Ori SET Abrev=NULL");
  sql("DELETE FROM Cat_Pres WHERE Tipo='N'");
  capture::Captura& c = start("Flores", "030");
  EXPECT_EQ(c.ComboDest.listCount(), 0);
  EXPECT_EQ(c.ComboDest.listIndex(), -1);
  EXPECT_EQ(c.LabelDest.caption, "");
  EXPECT_EQ(state->gCveDest, "");
  EXPECT_EQ(c.ComboMun.listIndex(), -1);
  EXPECT_EQ(c.ComboMun.listCount(), 0);
  EXPECT_EQ(c.ComboOri.listIndex(), -1);
  EXPECT_EQ(c.ComboPres.listIndex(), -1);
  EXPECT_EQ(c.ComboPres.listCount(), 0);

  // A later module with destinations keeps working, and one without keeps the last key.
  menu(c.Granos);
  EXPECT_EQ(state->gCveDest, "40");
  menu(c.Flores);
  EXPECT_EQ(state->gCveDest, "40");
  EXPECT_EQ(c.LabelDest.caption, "");
}

TEST_F(CaptureScreen, ADatabaseFailureInAListIsShownAndTheRestStillLoads) {
  sql("DROP TABLE Cat_Ing");
  capture::Captura& c = start("Frutas y Hortalizas", "005", [&] { answerNotice(); });
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("ingenios"), std::string::npos);
  EXPECT_NE(notices[0].find("Cat_Ing"), std::string::npos);
  EXPECT_EQ(c.ComboIng.listCount(), 0);
  EXPECT_EQ(c.ComboFte.listCount(), 3);
  EXPECT_TRUE(c.visible);

  sql("DROP TABLE Cat_Prod");
  // The basket and the products both need the product catalogue.
  answerNotice();
  answerNotice();
  menu(c.Granos);
  ASSERT_EQ(notices.size(), 3u);
  EXPECT_NE(notices[1].find("No se pudo cargar la canasta de productos"), std::string::npos);
  EXPECT_NE(notices[2].find("No se pudo cargar la lista de productos"), std::string::npos);
  EXPECT_NE(notices[2].find("la tabla Cat_Prod"), std::string::npos) << notices[2];
  EXPECT_EQ(c.ComboProd.listCount(), 0);
  EXPECT_EQ(texts(c.ComboPres), (Texts{"COS Costal 50 kg"}));
  EXPECT_EQ(state->gModulo, "GRA");
}

}  // namespace
