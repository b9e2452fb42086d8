#include "generating/demo_data.h"

#include <cmath>
#include <string>
#include <vector>

#include "loading/loader.h"
#include "text/money.h"

namespace tarvel_db {
namespace {

using Rows = std::vector<CsvRecord>;

// The demo delegations and their states; a municipality's key is its state times 100 plus
// its number within the state, so it is unique on its own.
struct Delegation {
  int key;
  int state;
};
constexpr Delegation kDelegations[] = {{5, 3}, {12, 7}, {21, 11}, {30, 15}};

int stateOf(int delegation) {
  for (const Delegation& d : kDelegations) {
    if (d.key == delegation) return d.state;
  }
  return 0;
}

}  // namespace

std::vector<CatalogueRows> demoCatalogues() {
  return {
      {"Cat_Deleg",
       {{"5", "Delegación Valle Alto", "005", "3"},
        {"12", "Delegación Costa Serena", "012", "7"},
        {"21", "Delegación Sierra Añil", "021", "11"},
        {"30", "Delegación Llanos de Oro", "A30", "15"}}},
      {"Cat_Ori",
       {{"1", "Altiplano del Norte", "ANO"},
        {"2", "Bahía Quieta", std::nullopt},
        {"3", "Valle Alto", "VAL"},
        {"4", "Ciénaga Verde", ""},
        {"5", "Río Manso", "RMA"},
        {"6", "Importación", std::nullopt},
        {"7", "Costa Serena", "CSE"},
        {"8", "Ñapa del Monte", "ÑMO"},
        {"9", "Laderas del Sol", std::nullopt},
        {"11", "Sierra Añil", "SAÑ"},
        {"15", "Llanos de Oro", "LLO"}}},
      {"Cat_Muni",
       {{"301", "San Isidro del Valle", "3"},
        {"302", "Álamos", "3"},
        {"303", "Pueblo Nuevo", "3"},
        {"304", "Llano de las Garzas", "3"},
        {"701", "Puerto Claro", "7"},
        {"702", "Ensenada Mayor", "7"},
        {"1101", "Cumbres del Añil", "11"},
        {"1102", "Añil de Abajo", "11"},
        {"1501", "Villa Dorada de los Llanos", "15"},
        {"1502", "Espiga Alta", "15"}}},
      {"Cat_Dest",
       {{"10", "Central de Abasto Valle Alto", "5", "S", "S", "S", "S", "S"},
        {"11", "Mercado Morelos del Valle", "5", "S", "N", "N", "S", "S"},
        {"13", "Mercado de Flores El Jardín", "5", "N", "N", "N", "N", "S"},
        {"100", "Anden de Subastas Costa Serena", "12", "S", "N", "N", "N", "N"},
        {"20", "Mercado Costa Serena", "12", "S", "S", "S", "S", "S"},
        {"30", "Mercado Sierra Añil", "21", "S", "N", "S", "S", "N"},
        {"40", "Mercado Llanos de Oro", "30", "S", "S", "N", "S", "N"}}},
      // Fruit and vegetable types: F fruits, G large fruits sold by the piece or ton, H
      // vegetables, I chiles; a second letter also offers the product in another module.
      {"Cat_Prod",
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
        {"11", "FLI", "Limón sin Semilla", "Primera", "FRU", "F"},
        {"12", "FNA", "Naranja Jugosa", "Primera", "FRU", "F"},
        {"13", "FPL", "Plátano Macho", "Primera", "FRU", "F"},
        {"14", "FPA", "Papaya Roja", "Primera", "FRU", "F"},
        {"15", "FGU", "Guayaba", "Primera", "FRU", "F"},
        {"16", "FMZ", "Manzana Roja", "Extra", "FRU", "F"},
        {"17", "GME", "Melón Chino", "Primera", "FRU", "G"},
        {"18", "GPI", "Piña", "Primera", "FRU", "G"},
        {"19", "HZA", "Zanahoria", "Primera", "FRU", "H"},
        {"20", "ZES", "Azúcar Estándar", "Primera", "AZU", "Z"},
        {"21", "ZRE", "Azúcar Refinada", "Primera", "AZU", "Z"},
        {"22", "ZMO", "Azúcar Morena", "Segunda", "AZU", "Z"},
        {"30", "ACS", "Aceite Comestible", "Botella", "ACE", "A"},
        {"31", "ACG", "Aceite Comestible", "Botella", "ACE", "A"},
        {"32", "AMM", "Aceite Mixto", "Lata", "ACE", "A"},
        {"33", "ACX", "Aceite Comestible", "Granel", "ACE", "A"},
        {"40", "SFN", "Frijol Negro", "Primera", "GRA", "S"},
        {"41", "SMB", "Maíz Blanco", "Primera", "GRA", "S"},
        {"42", "SAP", "Arroz Pulido", "Primera", "GRA", "S"},
        {"43", "STR", "Trigo Cristalino", "Segunda", "GRA", "S"},
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
        {"72", "BCA", "Calabacita", "Segunda", "AND", "B"},
        {"80", "HPE", "Pepino", "Primera", "FRU", "H"},
        {"81", "HBR", "Brócoli", "Primera", "FRU", "H"},
        {"82", "HRE", "Repollo", "Segunda", "FRU", "H"},
        {"83", "ISE", "Chile Serrano", "Primera", "FRU", "I"},
        {"84", "IGU", "Chile Guajillo", "Primera", "FRU", "I"},
        {"85", "HTV", "Tomate Verde", "Primera", "FRU", "H"},
        {"86", "HEJ", "Ejote", "Primera", "FRU", "H"},
        {"87", "FFR", "Fresa", "Primera", "FRU", "F"},
        {"88", "FUV", "Uva Verde", "Primera", "FRU", "F"},
        {"89", "GCO", "Coco", "Primera", "FRU", "G"}}},
      {"Cat_Var_Ace", {{"S", "Soya"}, {"G", "Girasol"}, {"M", "Maíz"}, {"C", "Cártamo"}}},
      {"Cat_Pres",
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
        {"12", "Saco 50 kg", "SAC", "R"},
        {"13", "Caja 10 kg", "C10", "FHI"},
        {"14", "Tambor 200 litros", "TAM", "A"},
        {"15", "Manojo", "MAN", "N"}}},
      {"Cat_Ing",
       {{"1", "IN01", "Ingenio La Esperanza"},
        {"2", "IN02", "Ingenio San Rafael de la Costa"},
        {"3", "IN03", "Ingenio El Ñandú"}}},
      {"Cat_Fte",
       {{"1", "Distribuidor regional"}, {"2", "Tienda de insumos"}, {"3", "Cooperativa agrícola"}}},
      {"Cat_Trans",
       {{"1", "Camión torton"}, {"2", "Tráiler"}, {"3", "Camioneta"}, {"4", "Ferrocarril"}}},
      {"Config", {{"0", "0"}}},
  };
}

namespace {

void writeCatalogues(store::Connection& c) {
  for (const auto& [table, rows] : demoCatalogues()) insertRows(c, table, rows);
}

// One record of a capture day: its keys and the usual minimum price (in module "VOL" the
// usual volume in tons). Module "INS" also names the source and the municipality; module
// "VOL" the transport.
struct Entry {
  int product;
  int presentation;
  int origin;
  double usual;
  int source = 1;
  int municipality = 0;  // 0: the first municipality of the delegation's state
  int transport = 0;
};

// What a delegation captures in a module at a destination on each demo day.
struct Capture {
  const char* module;
  int delegation;
  int destination;
  std::vector<Entry> entries;
};

std::vector<Capture> demoCaptures() {
  return {
      // Delegación Valle Alto: a full basket at its central market.
      {"FRU", 5, 10, {{1, 1, 3, 640},  {1, 1, 5, 610},   {2, 13, 9, 210}, {3, 2, 2, 5200},
                      {4, 1, 3, 260},  {4, 1, 4, 245},   {5, 4, 1, 230},  {6, 4, 1, 310},
                      {7, 3, 1, 78},   {8, 3, 4, 24},    {9, 1, 3, 150},  {10, 3, 3, 14},
                      {11, 1, 4, 380}, {11, 1, 9, 365},  {12, 1, 5, 170}, {13, 1, 2, 230},
                      {14, 3, 9, 19},  {15, 13, 5, 160}, {16, 1, 6, 720}, {16, 1, 1, 560},
                      {17, 1, 2, 280}, {18, 2, 2, 4300}, {19, 4, 3, 160}, {80, 1, 4, 190},
                      {83, 3, 5, 32},  {85, 3, 3, 21},   {87, 3, 3, 48}}},
      {"FRU",
       5,
       11,
       {{4, 1, 3, 270},
        {5, 4, 1, 240},
        {6, 4, 1, 320},
        {10, 3, 3, 15},
        {81, 1, 3, 210},
        {82, 1, 4, 120}}},
      {"GRA",
       5,
       10,
       {{40, 5, 3, 1450}, {40, 5, 1, 1400}, {41, 5, 3, 380}, {42, 5, 6, 1100}, {43, 5, 1, 420}}},
      {"GRA", 5, 11, {{40, 5, 3, 1480}, {41, 5, 1, 390}, {42, 5, 6, 1120}}},
      {"ACE",
       5,
       10,
       {{30, 7, 6, 38}, {30, 8, 6, 430}, {31, 7, 6, 46}, {32, 7, 3, 41}, {33, 14, 3, 6200}}},
      {"FLO", 5, 10, {{50, 9, 3, 420}, {51, 9, 3, 260}, {52, 10, 4, 95}, {53, 15, 3, 55}}},
      {"FLO",
       5,
       13,
       {{50, 9, 3, 410},
        {50, 9, 9, 445},
        {51, 9, 3, 250},
        {51, 9, 4, 240},
        {52, 10, 4, 90},
        {52, 10, 3, 92},
        {53, 15, 3, 52},
        {53, 15, 9, 58}}},
      {"INS",
       5,
       10,
       {{60, 12, 3, 620, 1, 301},
        {60, 12, 3, 640, 2, 302},
        {61, 12, 3, 410, 3, 301},
        {62, 3, 3, 95, 2, 303},
        {63, 12, 3, 780, 1, 304}}},
      {"AZU", 5, 10, {{20, 5, 1, 1150}, {20, 5, 2, 1130}, {21, 5, 1, 1320}, {22, 6, 3, 1050}}},
      {"VOL",
       5,
       10,
       {{4, 2, 3, 38, 1, 0, 1},
        {4, 2, 4, 22, 1, 0, 2},
        {5, 2, 1, 30, 1, 0, 2},
        {6, 2, 1, 45, 1, 0, 2},
        {19, 2, 3, 8, 1, 0, 3},
        {9, 2, 3, 6, 1, 0, 3}}},
      {"AND", 5, 10, {{70, 11, 3, 145}, {71, 11, 4, 95}, {72, 11, 3, 80}}},
      // Delegación Costa Serena: the auction platform comes first in its list.
      {"FRU",
       12,
       100,
       {{4, 1, 7, 250}, {9, 1, 7, 155}, {13, 1, 2, 220}, {17, 1, 7, 270}, {89, 2, 7, 3900}}},
      {"FRU", 12, 20, {{1, 1, 7, 620}, {4, 1, 7, 255}, {9, 1, 7, 160}, {13, 1, 2, 225}}},
      {"AND", 12, 100, {{70, 11, 7, 140}, {71, 11, 7, 92}, {72, 11, 7, 78}}},
      {"INS",
       12,
       100,
       {{60, 12, 7, 630, 1, 701}, {61, 12, 7, 420, 2, 702}, {63, 12, 7, 790, 3, 701}}},
      // Delegación Sierra Añil and Delegación Llanos de Oro.
      {"FRU", 21, 30, {{4, 1, 11, 255}, {5, 4, 11, 225}, {7, 3, 11, 80}, {8, 3, 8, 25}}},
      {"FRU", 30, 40, {{3, 2, 15, 5000}, {6, 4, 15, 300}, {12, 1, 15, 175}}},
  };
}

// Prices as markets quote them: whole tens from 1000 up, whole units from 100, halves below.
double roundPrice(double value) {
  const double step = value >= 1000 ? 10 : value >= 100 ? 1 : 0.5;
  return std::round(value / step) * step;
}

// A small day-to-day movement, at most 3% either way, so that a typed price near the usual
// one never looks like an outlier.
double drift(std::size_t entry, int days_back) {
  const int step = static_cast<int>((entry * 5 + static_cast<std::size_t>(days_back) * 3) % 7);
  return 1.0 + (step - 3) / 100.0;
}

CsvRecord::value_type some(const std::string& value) {
  return value;
}

void writeCaptureDays(store::Connection& c, const text::Date& today) {
  const std::vector<std::string> columns{
      "Cve_del", "Cve_Mod", "Fecha",    "Cve_prod", "Cve_ori",     "Cve_des", "Cve_pres",
      "Pre_min", "Pre_max", "Pre_frec", "Pre_uni",  "Consecutivo", "Obs",     "Cve_inf",
      "Cve_mun", "Cve_tra", "Vol",      "Fecha_de", "Fecha_a"};
  Rows rows;
  for (int days_back : {4, 2, 1}) {
    const std::string day = text::isoDate(text::addDays(today, -days_back));
    for (const Capture& capture : demoCaptures()) {
      const std::string module = capture.module;
      const bool volume = module == "VOL";
      const int first_municipality = stateOf(capture.delegation) * 100 + 1;
      int running = 0;
      for (std::size_t i = 0; i < capture.entries.size(); ++i) {
        // The oldest day misses a few entries, as real days do.
        if (days_back == 4 && i % 9 == 8) continue;
        const Entry& entry = capture.entries[i];
        ++running;
        std::string minimum = "0";
        std::string maximum = "0";
        std::string frequent = "0";
        std::string tons;
        if (volume) {
          tons = text::plainNumber(std::round(entry.usual * drift(i, days_back) * 10) / 10);
        } else {
          const double low = roundPrice(entry.usual * drift(i, days_back));
          minimum = text::plainNumber(low);
          // Sugar is quoted with a single price.
          if (module != "AZU") {
            frequent = text::plainNumber(roundPrice(low * 1.08));
            maximum = text::plainNumber(roundPrice(low * 1.16));
          }
        }
        std::string remark;
        if (!volume && days_back == 1 && i == 1) remark = "Llegó poca oferta";
        if (!volume && days_back == 2 && i == 4) remark = "Buena calidad";
        const int municipality = entry.municipality != 0 ? entry.municipality : first_municipality;
        rows.push_back({std::to_string(capture.delegation), module, day,
                        std::to_string(entry.product), std::to_string(entry.origin),
                        std::to_string(capture.destination), std::to_string(entry.presentation),
                        minimum, maximum, frequent, "0", std::to_string(running), remark,
                        std::to_string(entry.source), std::to_string(municipality),
                        volume ? some(std::to_string(entry.transport)) : std::nullopt,
                        volume ? some(tons) : std::nullopt, volume ? some(day) : std::nullopt,
                        volume ? some(day) : std::nullopt});
      }
    }
  }
  insertRows(c, "Reg_Pre", columns, rows);
}

}  // namespace

void writeDemoData(store::Connection& connection, const text::Date& today) {
  writeCatalogues(connection);
  writeCaptureDays(connection, today);
}

}  // namespace tarvel_db
