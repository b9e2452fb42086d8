#include "capture_catalogue.h"

#include <string>
#include <vector>

#include "loader.h"
#include "text/money.h"

namespace testing_support {

using tarvel_db::CsvRecord;
using tarvel_db::insertRows;
using Rows = std::vector<CsvRecord>;

void writeCatalogues(store::Connection& c) {
  insertRows(c, "Cat_Deleg",
             {{"5", "Delegación Valle Alto", "005", "3"},
              {"12", "Delegación Costa Serena", "012", "7"},
              {"30", "Delegación Llanos de Oro", "A30", "15"}});
  insertRows(c, "Cat_Ori",
             {{"1", "Altiplano del Norte", "ANO"},
              {"2", "Bahía Quieta", std::nullopt},
              {"3", "Valle Alto", "VAL"},
              {"4", "Ciénaga Verde", ""},
              {"5", "Río Manso", "RMA"},
              {"6", "Importación", std::nullopt},
              {"7", "Costa Serena", "CSE"}});
  insertRows(
      c, "Cat_Muni",
      {{"301", "San Isidro del Valle", "3"}, {"302", "Álamos", "3"}, {"303", "Pueblo Nuevo", "3"}});
  insertRows(c, "Cat_Dest",
             {{"10", "Central de Abasto Valle Alto", "5", "S", "S", "S", "S", "S"},
              {"11", "Mercado Morelos del Valle", "5", "S", "N", "N", "S", "S"},
              {"13", "Mercado de Flores El Jardín", "5", "N", "N", "N", "N", "S"},
              {"100", "Anden de Subastas Costa Serena", "12", "S", "N", "N", "N", "N"},
              {"20", "Mercado Costa Serena", "12", "S", "S", "S", "S", "S"},
              {"40", "Mercado Llanos de Oro", "30", "S", "S", "N", "S", "N"}});
  insertRows(c, "Cat_Prod",
             {{"1", "FAG", "Aguacate Hass", "Primera", "FRU", "F"},
              {"2", "FMA", "Mango Ataulfo", "Primera", "FRU", "F"},
              {"3", "GSA", "Sandía", "Primera", "FRU", "G"},
              {"4", "HJI", "Jitomate Saladette", "Primera", "FRU", "H"},
              {"5", "HCE", "Cebolla Blanca", "Segunda", "FRU", "H"},
              {"6", "HPA", "Papa Alfa", "Primera", "FRU", "HB"},
              {"7", "ICH", "Chile Ancho", "Primera", "FRU", "I"},
              {"8", "HNA", "Ñame", "Primera", "FRU", "H"},
              {"9", "HLE", "Lechuga Romana", "Primera", "FRU", "H"},
              {"10", "HNO", "Nopal", "Extra", "FRU", "H"},
              {"20", "ZES", "Azúcar Estándar", "Primera", "AZU", "Z"},
              {"21", "ZRE", "Azúcar Refinada", "Primera", "AZU", "Z"},
              {"22", "ZMO", "Azúcar Morena", "Segunda", "AZU", "Z"},
              {"30", "ACS", "Aceite Comestible", "Botella", "ACE", "A"},
              {"31", "ACG", "Aceite Comestible", "Botella", "ACE", "A"},
              {"32", "AMM", "Aceite Mixto", "Lata", "ACE", "A"},
              {"33", "ACX", "Aceite Comestible", "Granel", "ACE", "A"},
              {"40", "SFN", "Frijol Negro", "Primera", "GRA", "S"},
              {"41", "SMB", "Maíz Blanco", "Primera", "GRA", "S"},
              {"50", "NRO", "Rosa Roja", "Gruesa", "FLO", "N"},
              {"51", "NCL", "Clavel", "Gruesa", "FLO", "N"},
              {"52", "NGL", "Gladiola", "Docena", "FLO", "N"},
              {"53", "NCR", "Crisantemo", "Manojo", "FLO", "N"},
              {"60", "RUR", "Urea", "Saco 50 kg", "INS", "R"},
              {"61", "RSA", "Sulfato de Amonio", "", "INS", "R"},
              {"62", "RSE", "Semilla de Maíz Híbrido", "Bolsa", "INS", "R"},
              {"63", "RFE", "Fertilizante Triple 17", std::nullopt, "INS", "R"},
              {"70", "BJI", "Jitomate Bola", "Primera", "AND", "B"},
              {"71", "BPE", "Pepino", "Primera", "AND", "B"},
              {"72", "BCA", "Calabacita", "Segunda", "AND", "B"}});
  insertRows(c, "Cat_Var_Ace", {{"S", "Soya"}, {"G", "Girasol"}, {"M", "Maíz"}, {"C", "Cártamo"}});
  insertRows(c, "Cat_Pres",
             {{"1", "Caja 20 kg", "CAJ", "FH"},
              {"2", "Tonelada", "TON", "FGHB"},
              {"3", "Kilogramo", "KG", "FHIR"},
              {"4", "Arpilla 25 kg", "ARP", "H"},
              {"5", "Costal 50 kg", "COS", "SZ"},
              {"6", "Bulto 50 kg", "BUL", "Z"},
              {"7", "Botella 1 litro", "BOT", "A"},
              {"8", "Caja 12 botellas", "C12", "A"},
              {"9", "Gruesa", "GRU", "N"},
              {"10", "Docena", "DOC", "N"},
              {"11", "Rejilla", "REJ", "B"},
              {"12", "Saco 50 kg", "SAC", "R"}});
  insertRows(c, "Cat_Ing",
             {{"1", "IN01", "Ingenio La Esperanza"},
              {"2", "IN02", "Ingenio San Rafael de la Costa"},
              {"3", "IN03", "Ingenio El Ñandú"}});
  insertRows(
      c, "Cat_Fte",
      {{"1", "Distribuidor regional"}, {"2", "Tienda de insumos"}, {"3", "Cooperativa agrícola"}});
  insertRows(c, "Cat_Trans",
             {{"1", "Camión torton"}, {"2", "Tráiler"}, {"3", "Camioneta"}, {"4", "Ferrocarril"}});
  insertRows(c, "Config", {{"0", "0"}});
}

namespace {

// One capture day of a module at a destination: a record per (product, presentation,
// origin), with prices that drift a little from day to day.
struct Capture {
  const char* module;
  int delegation;
  int destination;
  std::vector<int> products;
  int presentation;
  std::vector<int> origins;
  double base_price;
};

void writeCaptureDays(store::Connection& c, const text::Date& today) {
  const std::vector<Capture> captures{
      {"FRU", 5, 10, {1, 2, 3, 4, 5, 7, 8, 9}, 1, {3, 5}, 180},
      {"FRU", 5, 11, {4, 5, 6, 10}, 4, {3}, 150},
      {"FRU", 12, 20, {1, 4, 9}, 1, {7}, 170},
      {"GRA", 5, 10, {40, 41}, 5, {3, 1}, 600},
      {"FLO", 5, 13, {50, 51, 52, 53}, 9, {3}, 90},
      {"ACE", 5, 10, {30, 31, 32, 33}, 7, {6}, 35},
      {"INS", 5, 10, {60, 61, 62, 63}, 12, {3}, 420},
      {"AZU", 5, 10, {20, 21, 22}, 5, {1, 2, 3}, 800},
      {"VOL", 5, 10, {4, 5, 6}, 2, {3, 5}, 0},
      {"AND", 12, 100, {70, 71, 72}, 11, {7}, 120},
  };
  const std::vector<std::string> columns{
      "Cve_del", "Cve_Mod", "Fecha",    "Cve_prod", "Cve_ori",     "Cve_des", "Cve_pres",
      "Pre_min", "Pre_max", "Pre_frec", "Pre_uni",  "Consecutivo", "Obs",     "Cve_inf",
      "Cve_mun", "Cve_tra", "Vol",      "Fecha_de", "Fecha_a"};
  Rows rows;
  for (int days_back : {4, 2, 1}) {
    const text::Date day = text::addDays(today, -days_back);
    for (const Capture& capture : captures) {
      int running = 0;
      for (int product : capture.products) {
        for (int origin : capture.origins) {
          ++running;
          const bool volume = std::string(capture.module) == "VOL";
          const double low = capture.base_price + product * 3 + origin - days_back * 2;
          const auto price = [&](double value) {
            return volume ? std::string("0") : text::plainNumber(value);
          };
          const auto volumeOnly = [&](const std::string& value) {
            return volume ? CsvRecord::value_type(value) : std::nullopt;
          };
          rows.push_back({std::to_string(capture.delegation), capture.module, text::isoDate(day),
                          std::to_string(product), std::to_string(origin),
                          std::to_string(capture.destination), std::to_string(capture.presentation),
                          price(low), price(low * 1.2), price(low * 1.1), "0",
                          std::to_string(running), running == 2 ? "Llegó poca oferta" : "", "1",
                          "301", volumeOnly("1"), volumeOnly(std::to_string(12 + running)),
                          volumeOnly(text::isoDate(day)), volumeOnly(text::isoDate(day))});
        }
      }
    }
  }
  insertRows(c, "Reg_Pre", columns, rows);
}

}  // namespace

void writeCaptureCatalogue(store::Connection& connection, const text::Date& today) {
  writeCatalogues(connection);
  writeCaptureDays(connection, today);
}

}  // namespace testing_support
