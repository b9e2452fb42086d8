#include "outputs/report.h"

#include <array>
#include <type_traits>
#include <vector>

#include "text/encoding.h"
#include "text/money.h"

namespace outputs {
namespace {

// Positions in the rows of reportStatement.
enum Field : std::size_t {
  kDestination = 0,
  kProduct = 1,
  kOrigin = 2,  // the sugar mill in "AZU"
  kPresentation = 3,
  kMinimum = 4,
  kMaximum = 5,
  kFrequent = 6,
  kObservations = 8,
  kQuality = 9,  // the oil variety in "ACE"
  kSource = 10,  // "INS"
  kMunicipality = 11,
  kTransport = 10,  // "VOL"
  kVolume = 11,
  kPeriodFrom = 12,
  kPeriodTo = 13,
};

enum class Column {
  Period,
  Product,
  SugarMill,
  Origin,
  Presentation,
  Source,
  Transport,
  Volume,
  Single,
  Minimum,
  Maximum,
  Frequent,
  Observations
};

std::string_view heading(Column column) {
  switch (column) {
    case Column::Period:
      return "Periodo de<br>ingreso";
    case Column::Product:
      return "Producto";
    case Column::SugarMill:
      return "Ingenio";
    case Column::Origin:
      return "Origen";
    case Column::Presentation:
      return "Presentación";
    case Column::Source:
      return "Fuente";
    case Column::Transport:
      return "Transporte";
    case Column::Volume:
      return "Volúmen";
    case Column::Single:
      return "Único";
    case Column::Minimum:
      return "Mínimo";
    case Column::Maximum:
      return "Máximo";
    case Column::Frequent:
      return "Frecuente";
    case Column::Observations:
      return "Observaciones";
  }
  return "";
}

std::vector<Column> columnsOf(std::string_view module) {
  using enum Column;
  if (module == "AZU") return {Product, SugarMill, Presentation, Single, Observations};
  if (module == "ACE") return {Product, Presentation, Minimum, Maximum, Frequent, Observations};
  if (module == "INS") {
    return {Product, Presentation, Source, Minimum, Maximum, Frequent, Observations};
  }
  if (module == "VOL") return {Period, Product, Origin, Presentation, Transport, Volume};
  return {Product, Origin, Presentation, Minimum, Maximum, Frequent, Observations};
}

// The name of a type band; a letter without a name of its own keeps the previous one.
std::string typeName(std::string_view letter, const std::string& previous) {
  if (letter == "F") return "Frutas";
  if (letter == "G") return "Frutas de Temporada";
  if (letter == "H") return "Hortalizas";
  if (letter == "I") return "Chiles Secos";
  return previous;
}

// A stored value as page text: "&", "<" and ">" become entities.
void appendHtml(std::string& out, std::string_view value) {
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
}

void appendHtml(std::string& out, const store::Value& value) {
  // A text is read where it lies; a number or a null is written out first.
  value.visit([&](const auto& held) {
    if constexpr (std::is_same_v<std::decay_t<decltype(held)>, std::string>) {
      appendHtml(out, std::string_view(held));
    } else {
      appendHtml(out, value.asText());
    }
  });
}

std::string htmlOf(const store::Value& value) {
  std::string out;
  appendHtml(out, value);
  return out;
}

void appendPrice(std::string& out, const store::Value& value) {
  if (!value.isNull()) appendHtml(out, text::FormatoPrecio(value.asText()));
}

void appendShortDate(std::string& out, const store::Value& value) {
  const auto date = value.asDate();
  if (date) {
    out += text::shortDate(*date);
  } else {
    appendHtml(out, value);
  }
}

// One cell of the table, as `line`: its text written by `content`.
template <typename Content>
void writeCell(std::string& line, bool number, Content&& content) {
  line = number ? "<td align=right><font face=Arial size=1>" : "<td><font face=Arial size=1>";
  content(line);
  line += "</font></td>";
}

void writeCell(std::string& line, Column column, std::string_view module, const store::Row& row) {
  const auto text = [&](const store::Value& value) {
    writeCell(line, false, [&](std::string& out) { appendHtml(out, value); });
  };
  const auto price = [&](const store::Value& value) {
    writeCell(line, true, [&](std::string& out) { appendPrice(out, value); });
  };
  switch (column) {
    case Column::Period:
      return writeCell(line, false, [&](std::string& out) {
        appendShortDate(out, row[kPeriodFrom]);
        out += "<br>";
        appendShortDate(out, row[kPeriodTo]);
      });
    case Column::Product:
      return writeCell(line, false, [&](std::string& out) {
        appendHtml(out, row[kProduct]);
        const std::size_t before = out.size() + 1;
        out += ' ';
        appendHtml(out, row[kQuality]);
        if (module == "INS" && out.size() > before) {
          out.insert(before, "(");
          out += ')';
        }
      });
    case Column::SugarMill:
    case Column::Origin:
      return text(row[kOrigin]);
    case Column::Presentation:
      return text(row[kPresentation]);
    case Column::Source:
      return text(row[kSource]);
    case Column::Transport:
      return text(row[kTransport]);
    case Column::Volume:
      return writeCell(line, true, [&](std::string& out) { appendHtml(out, row[kVolume]); });
    case Column::Single:
    case Column::Minimum:
      return price(row[kMinimum]);
    case Column::Maximum:
      return price(row[kMaximum]);
    case Column::Frequent:
      return price(row[kFrequent]);
    case Column::Observations:
      return text(row[kObservations]);
  }
}

void writeHead(OutputFile& file, const session::SessionState& state) {
  file.writeLine("<html><head><title>" + state.gDescMod + "  " + state.gFecha + "</title></head>");
  file.writeLine("<center>");
  file.writeLine("<font face=Arial size=1>");
  file.writeLine("<font face=Arial size=4><b>Tarvelia</b></font><br>");
  file.writeLine("<font face=Arial size=2><b>Reporte de Captura del día: " + state.gFecha +
                 "</b></font><br>");
  file.writeLine("<font face=Arial size=3><b>" + state.gDescMod + "</b></font>");
  file.writeLine("<table border=1>");
}

void writeDestinationBand(OutputFile& file, const std::string& band,
                          const std::vector<Column>& columns) {
  file.writeLine("<tr bgcolor=ccddff>");
  file.writeLine("<td colspan=9><font face=Arial size=2><b>" + band + "</b></font></td>");
  file.writeLine("</tr>");
  file.writeLine("<tr bgcolor=ccccff>");
  for (const Column column : columns) {
    file.writeLine("<td><font face=Arial size=1><b>" + std::string(heading(column)) +
                   "</b></font></td>");
  }
  file.writeLine("</tr>");
}

void writeTypeBand(OutputFile& file, std::string_view name) {
  file.writeLine("<tr bgcolor=ccffcc align=center>");
  file.writeLine("<td colspan=7><font face=Arial size=2><b>" + std::string(name) +
                 "</b></font></td>");
  file.writeLine("</tr>");
}

}  // namespace

void writeReportFile(OutputFile& file, const session::SessionState& state,
                     const store::Rows& rows) {
  const std::string& module = state.gModulo;
  const bool inputs = module == "INS";
  const bool typed = module == "FRU" || module == "VOL";
  const std::size_t type_field = module == "VOL" ? 14 : 10;
  const std::vector<Column> columns = columnsOf(module);

  writeHead(file, state);
  if (rows.empty()) {
    file.writeLine(
        "<br><br><br><font face=Arial size=4 color=red><b>No hay Información</b></font>");
  }
  std::string line;
  std::string last_band = "#";
  std::string last_type = "#";
  std::string type_name;
  for (const store::Row& row : rows) {
    const std::string band = inputs ? htmlOf(row[kOrigin]) + ": " + htmlOf(row[kMunicipality])
                                    : htmlOf(row[kDestination]);
    if (band != last_band) {
      writeDestinationBand(file, band, columns);
      last_band = band;
    }
    if (typed) {
      const std::string letter = text::firstCharacters(row[type_field].asText(), 1);
      if (letter != last_type) {
        last_type = letter;
        type_name = typeName(letter, type_name);
        writeTypeBand(file, type_name);
      }
    }
    file.writeLine("<tr>");
    for (const Column column : columns) {
      writeCell(line, column, module, row);
      file.writeLine(line);
    }
    file.writeLine("</tr>");
  }
  for (const char* end : {"</table>", "</font>", "</center>", "</html>"}) file.writeLine(end);
}

}  // namespace outputs
