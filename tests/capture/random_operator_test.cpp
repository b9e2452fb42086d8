// An operator at random over every module, destination and date, with other stations'
// changes underneath. After every step the database and the screen are checked against what
// the operator did, kept here: a record is stored exactly as the screen showed it with the
// operator's own typing and choices, the screen shows the record its position names, and
// nothing saved is lost. TARVEL_OPERATOR_SEED and TARVEL_OPERATOR_STEPS set the run;
// TARVEL_OPERATOR_TRACE=1 prints every step.
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "capture_fixture.h"
#include "outputs/day_output_files.h"
#include "text/dates.h"
#include "text/money.h"

namespace {

using Fields = std::map<std::string, std::string>;
using Table = std::map<std::int64_t, Fields>;

std::int64_t fromEnvironment(const char* name, std::int64_t otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? std::stoll(value) : otherwise;
}

// A price text as the amount it stands for, read as the screen reads it; a text that is
// none stays as it is.
std::string amount(const std::string& text) {
  const auto value = text::readPrice(text.empty() ? "0" : text);
  if (!value) return text;
  std::ostringstream out;
  out << *value;
  return out.str();
}

// The fields of an export line as the national office reads one: every field quoted, ten
// before the observation and three after it, the observation's own text unchanged between.
// -1 when the line cannot be read so.
int exportFields(const std::string& line) {
  std::size_t from = 0;
  std::size_t to = line.size();
  for (int i = 0; i < 10; ++i) {
    const std::size_t end = line.find("\",\"", from + 1);
    if (line.compare(from, 1, "\"") != 0 || end == std::string::npos) return -1;
    from = end + 2;
  }
  for (int i = 0; i < 3; ++i) {
    const std::size_t start = line.rfind("\",\"", to - 2);
    if (to < 2 || line[to - 1] != '"' || start == std::string::npos || start < from) return -1;
    to = start + 1;
  }
  return line[from] == '"' && line[to - 1] == '"' && to > from ? 14 : -1;
}

class RandomOperator : public CaptureScreen {
 protected:
  // What a record holds, read from the file.
  Table table() {
    Table rows;
    for (const auto& row :
         store::run(folder.path(),
                    "SELECT Consec, Cve_Mod, Fecha, Cve_des, Cve_prod, Cve_pres, Cve_ori, Pre_min, "
                    "Pre_max, Pre_frec, Pre_uni, Obs, Vol, Cve_tra, Cve_inf, Cve_mun, Cve_del FROM "
                    "Reg_Pre")) {
      Fields f;
      const char* names[] = {"",          "module",    "date",    "ComboDest",  "ComboProd",
                             "ComboPres", "origin",    "TextMin", "TextMax",    "TextFrec",
                             "TextUni",   "TextObs",   "TextVol", "ComboTrans", "ComboFte",
                             "ComboMun",  "delegation"};
      for (std::size_t i = 1; i < row.size(); ++i) {
        const bool price = std::string(names[i]).starts_with("Text") && i != 11;
        f[names[i]] = price ? amount(row[i].asText()) : row[i].asText();
      }
      rows[row[0].asInteger()] = f;
    }
    return rows;
  }

  // The fields of the record on screen that the module's layout writes.
  std::vector<std::string> written() const {
    const std::string& m = state->gModulo;
    std::vector<std::string> names{"ComboDest", "ComboProd", "ComboPres", "origin"};
    if (m == "VOL") {
      names.insert(names.end(), {"TextVol", "ComboTrans"});
    } else {
      names.insert(names.end(), {"TextMin", "TextObs"});
      if (m != "AZU") names.insert(names.end(), {"TextMax", "TextFrec"});
      if (m != "AZU" && m != "GRA") names.push_back("TextUni");
    }
    if (m == "INS") names.insert(names.end(), {"ComboFte", "ComboMun"});
    return names;
  }

  forms::Control& control(const std::string& name) {
    if (name == "origin") return state->gModulo == "AZU" ? captura->ComboIng : captura->ComboOri;
    return *captura->find(name);
  }

  // What the screen shows of a field, in the stored form.
  std::string shown(const std::string& name) {
    forms::Control& c = control(name);
    if (auto* list = dynamic_cast<forms::ComboBox*>(&c)) {
      return list->listIndex() < 0 ? "" : std::to_string(list->itemData(list->listIndex()));
    }
    const std::string& text = dynamic_cast<forms::TextBox&>(c).text;
    return name == "TextObs" ? text : amount(text);
  }

  Fields screen() {
    Fields f;
    for (const std::string& name : written()) f[name] = shown(name);
    return f;
  }

  std::string captureDate() const {
    const auto date = text::dateOfLabel(captura->LabelFec.caption);
    return date ? text::isoDate(*date) : "";
  }

  // The record at the position on screen, when the screen says it shows a saved one.
  std::optional<std::int64_t> shownKey() const {
    if (captura->Label1.caption != "Registro existente") return std::nullopt;
    return captura->records.keyAt(state->gRegNum);
  }

  void fail(const std::string& what) {
    ADD_FAILURE() << "seed " << seed << ", step " << step << " (" << action << "): " << what;
    failed = true;
  }

  // Whether `row` holds every field of `expected`.
  static std::string difference(const Fields& row, const Fields& expected) {
    for (const auto& [name, value] : expected) {
      const auto it = row.find(name);
      if (it == row.end() || it->second != value) {
        return name + " stored «" + (it == row.end() ? "?" : it->second) + "», expected «" + value +
               "»";
      }
    }
    return "";
  }

  void checkScreen(const Table& rows, bool typedSince) {
    const std::string& m = state->gModulo;
    capture::Captura& c = *captura;
    // The layout is the module's own.
    const bool layout = (c.TextVol.visible == (m == "VOL")) &&
                        (c.ComboIng.visible == (m == "AZU")) &&
                        (c.TextMax.visible == (m != "AZU" && m != "VOL")) &&
                        (c.ComboFte.visible == (m == "INS")) && (m != "INS" || !c.ComboOri.enabled);
    if (!layout) fail("the layout on screen is not that of module " + m);
    if (m == "VOL" && !c.LabMinAnt[0].caption.empty()) fail("earlier prices stay in VOL");
    // Every listed record is of the module, the destination and the date on screen.
    for (int i = 1; i <= c.records.count(); ++i) {
      const auto key = c.records.keyAt(i);
      const auto row = key ? rows.find(*key) : rows.end();
      if (row == rows.end()) continue;  // deleted by another station
      if (row->second.at("module") != m || row->second.at("date") != captureDate() ||
          row->second.at("ComboDest") != state->gCveDest) {
        fail("record " + std::to_string(i) + " is not of the day on screen");
      }
    }
    // The record on screen, as shown before the operator types, is the one its position
    // names.
    const auto key = typedSince ? std::nullopt : shownKey();
    if (key) {
      const auto row = rows.find(*key);
      // Only a record another station deleted since it was shown may be missing.
      if (row == rows.end() && !stationDeleted.count(*key)) {
        fail("the screen shows record " + std::to_string(*key) + ", which the file does not hold");
      }
      if (row != rows.end()) {
        const std::string off = difference(row->second, screen());
        if (!off.empty())
          fail("the screen does not show record " + std::to_string(*key) + ": " + off);
      }
    }
  }

  void checkExport(const Table& rows) {
    captura->click(captura->CmdGenera);
    std::int64_t expected = 0;
    for (const auto& [key, row] : rows) {
      static_cast<void>(key);
      expected += row.at("module") == state->gModulo && row.at("date") == captureDate() &&
                  (row.at("delegation") == "5" || row.at("delegation").empty());
    }
    std::istringstream file(
        testing_support::fileContents(folder.path() / ("5" + state->gModulo + ".csv")));
    std::int64_t lines = 0;
    for (std::string line; std::getline(file, line); ++lines) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const int fields = exportFields(line);
      if (fields != 14)
        fail("an export line reads as " + std::to_string(fields) + " fields: " + line);
    }
    if (lines != expected) {
      fail("the export holds " + std::to_string(lines) + " lines for " + std::to_string(expected) +
           " records of the delegation");
    }
  }

  std::set<std::int64_t> stationDeleted;
  std::uint64_t seed = 1;
  std::int64_t step = 0;
  std::string action;
  bool failed = false;
};

TEST_F(RandomOperator, StoresWhatTheScreenShowedAndLosesNothing) {
  seed = static_cast<std::uint64_t>(fromEnvironment("TARVEL_OPERATOR_SEED", 1));
  const std::int64_t steps = fromEnvironment("TARVEL_OPERATOR_STEPS", 400);
  std::mt19937_64 random(seed);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  host.enterOnEveryModal = true;
  capture::Captura& c = start("Frutas y Hortalizas");
  outputs::DayOutputFiles outputs(host, *state);
  c.useOutputs(outputs);

  Table rows = table();
  Fields expected = screen();
  bool typedSince = false;
  const bool trace = fromEnvironment("TARVEL_OPERATOR_TRACE", 0) != 0;
  std::map<std::int64_t, Fields> deleted;  // by the operator, for "Deshacer"
  const std::vector<const char*> prices{"", "0", "abc", "12.5", "100", "1,250.5", "35", "7"};
  const std::vector<const char*> notes{"", "poca", "calidad \"buena\"", "a, b", "línea\nrota"};
  forms::MenuItem* modules[] = {&c.Frutas, &c.Azucar,  &c.Aceites,   &c.Granos,
                                &c.Flores, &c.Insumos, &c.Volumenes, &c.Anden};

  for (step = 1; step <= steps && !failed; ++step) {
    const Fields before_screen = expected;
    const auto key_before = shownKey();
    const bool was_new = c.Label1.caption == "NUEVO Registro por Grabar";
    const std::string module_before = state->gModulo;
    const std::string date_before = captureDate();
    const forms::Control* focus_before = c.focused();
    const std::size_t modals_before = host.modalForms.size();
    bool edit = false;   // a step whose screen must show what the operator made it show
    bool typed = false;  // the operator typed or chose
    bool saving = false;
    bool in_box = false;  // Ctrl+Supr pressed in a text box
    // Leaving one of these lists takes its choice over and rebuilds the screen.
    const bool from_list =
        focus_before == &c.ComboDest || focus_before == &c.ComboMod || focus_before == &c.ComboFec;
    const int kind = pick(100);
    if (kind < 22) {
      std::vector<forms::TextBox*> boxes;
      for (auto* box : {&c.TextMin, &c.TextMax, &c.TextFrec, &c.TextUni, &c.TextVol, &c.TextObs}) {
        if (box->visible && box->enabled) boxes.push_back(box);
      }
      if (boxes.empty()) continue;
      forms::TextBox& box = *boxes[static_cast<std::size_t>(pick(static_cast<int>(boxes.size())))];
      const std::string text = &box == &c.TextObs ? notes[static_cast<std::size_t>(pick(5))]
                                                  : prices[static_cast<std::size_t>(pick(8))];
      action = "type «" + text + "» into " + box.name();
      c.type(box, text);
      typed = c.focused() == &box;
      edit = typed && !from_list;
      if (edit && expected.count(box.name())) expected[box.name()] = shown(box.name());
    } else if (kind < 32) {
      std::vector<forms::ComboBox*> lists;
      for (auto* list : {&c.ComboProd, &c.ComboPres, &c.ComboOri, &c.ComboIng, &c.ComboFte,
                         &c.ComboMun, &c.ComboTrans}) {
        if (list->visible && list->enabled && list->listCount() > 0) lists.push_back(list);
      }
      if (lists.empty()) continue;
      forms::ComboBox& list =
          *lists[static_cast<std::size_t>(pick(static_cast<int>(lists.size())))];
      const int item = pick(std::min(list.listCount(), 12));
      action = "choose " + std::to_string(item) + " in " + list.name();
      c.choose(list, item);
      typed = c.focused() == &list;
      edit = typed && !from_list;
      const std::string name =
          &list == &c.ComboIng || &list == &c.ComboOri ? "origin" : list.name();
      if (edit && expected.count(name)) expected[name] = shown(name);
    } else if (kind < 50) {
      const int how = pick(3);
      action = how == 0 ? "Tab" : how == 1 ? "Mayús+Tab" : "Intro";
      if (how == 2) {
        c.keyPress(forms::kEnterKey);
      } else {
        c.tab(how == 1);
      }
      const bool button = focus_before && focus_before->kind() == forms::ControlKind::CommandButton;
      saving = button && focus_before == &c.CmdGrabar && how == 2;
      edit = !button && !from_list;
    } else if (kind < 62) {
      action = "Ctrl+Intro";
      saving = true;
      c.pressShortcut(forms::ShortcutKey::Enter);
    } else if (kind < 72) {
      const forms::ShortcutKey keys[] = {forms::ShortcutKey::Home, forms::ShortcutKey::PageUp,
                                         forms::ShortcutKey::PageDown, forms::ShortcutKey::End};
      const int which = pick(4);
      action = "navigation key " + std::to_string(which);
      c.pressShortcut(keys[which]);
    } else if (kind < 77) {
      // By the button, or by Ctrl+Supr, which in a text box is the box's own key.
      const bool by_key = pick(2) == 0;
      in_box = focus_before && focus_before->kind() == forms::ControlKind::TextBox && by_key;
      action = by_key ? "Ctrl+Supr" : "Eliminar";
      if (by_key) {
        c.pressShortcut(forms::ShortcutKey::Delete);
      } else if (c.CmdBorrar.visible) {
        c.click(c.CmdBorrar);
      }
    } else if (kind < 80) {
      // Now and then the record put back is gone again before it can be read.
      const bool vanish = c.CmdDeshacer.visible && pick(3) == 0;
      action = vanish ? "Ctrl+Z, the record gone at once" : "Ctrl+Z";
      if (vanish) {
        sql("CREATE TRIGGER vanish AFTER INSERT ON Reg_Pre BEGIN DELETE FROM Reg_Pre WHERE "
            "Consec=NEW.Consec; END");
      }
      c.pressShortcut(forms::ShortcutKey::Z);
      if (vanish) sql("DROP TRIGGER vanish");
    } else if (kind < 84) {
      forms::MenuItem& item = *modules[pick(8)];
      action = "menu " + item.name();
      c.clickMenu(item);
    } else if (kind < 87) {
      // Now and then the list is left as it opened, which changes nothing.
      const int item = pick(10);
      action = item < 8 ? "module list " + std::to_string(item) : "module list left unchanged";
      c.click(c.LabelMod);
      if (item < 8) c.choose(c.ComboMod, item);
      c.keyPress(forms::kEnterKey);
      if (item >= 8 && state->gModulo != module_before)
        fail("the module list left unchanged changed the module");
    } else if (kind < 90) {
      action = "destination";
      c.clickMenu(c.SelDestino);
      if (c.focused() == &c.ComboDest && c.ComboDest.listCount() > 0) {
        c.choose(c.ComboDest, pick(c.ComboDest.listCount()));
        c.tab();
      }
    } else if (kind < 93) {
      // An entry period that was the capture date follows it; a list left as it opened
      // changes nothing.
      const int item = pick(5);
      const auto day = [](const std::string& slashed) { return text::parseYearFirst(slashed); };
      const bool period_was_date =
          day(state->gFecDe) == day(state->gFechaSQL) && day(state->gFecA) == day(state->gFechaSQL);
      action = item < 4 ? "date " + std::to_string(item) : "date list left unchanged";
      c.clickMenu(c.SelFecha);
      if (item < 4) c.choose(c.ComboFec, item);
      c.tab();
      if (item == 4 && captureDate() != date_before)
        fail("the date list left unchanged changed the date");
      if (period_was_date && captureDate() != date_before &&
          (day(state->gFecDe) != day(state->gFechaSQL) ||
           day(state->gFecA) != day(state->gFechaSQL)))
        fail("the entry period " + state->gFecDe + " - " + state->gFecA +
             " did not follow the date " + state->gFechaSQL);
    } else if (kind < 97) {
      // Another station deletes or changes a record of the day, or another delegation saves.
      const int what = pick(4);
      action = "another station " + std::to_string(what);
      std::vector<std::int64_t> day;
      for (const auto& [key, row] : rows) {
        // The record on screen shows what it held when it was read; others may change.
        const bool on_screen = key_before && key == *key_before && what == 1;
        if (row.at("module") == state->gModulo && row.at("date") == captureDate() && !on_screen) {
          day.push_back(key);
        }
      }
      if (what == 3 && !state->gCveDest.empty()) {
        // A product the module does not list, saved on the day by another program.
        sql("INSERT INTO Reg_Pre (Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres) "
            "VALUES (5, '" +
            state->gModulo + "', '" + captureDate() + "', 40, 3, " + state->gCveDest + ", 1)");
      } else if (what == 2) {
        sql("INSERT INTO Reg_Pre (Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres) "
            "VALUES (12, '" +
            state->gModulo + "', '" + captureDate() + "', 1, 7, 20, 1)");
      } else if (!day.empty()) {
        const auto key = day[static_cast<std::size_t>(pick(static_cast<int>(day.size())))];
        sql(what == 0 ? "DELETE FROM Reg_Pre WHERE Consec=" + std::to_string(key)
                      : "UPDATE Reg_Pre SET Obs='otro equipo' WHERE Consec=" + std::to_string(key));
        if (what == 0) stationDeleted.insert(key);
      }
      rows = table();
    } else {
      action = "Genera Archivo";
      checkExport(rows);
    }

    if (trace) {
      std::cerr << step << " " << action << " | " << c.Label1.caption << " " << state->gRegNum
                << "/" << c.records.count() << " " << state->gModulo << " focus "
                << (c.focused() ? c.focused()->name() : "-") << "\n";
    }
    // What the step wrote.
    const Table after = table();
    std::vector<std::int64_t> added, changed, removed;
    for (const auto& [key, row] : after) {
      const auto old = rows.find(key);
      if (old == rows.end())
        added.push_back(key);
      else if (old->second != row)
        changed.push_back(key);
    }
    for (const auto& [key, row] : rows) {
      if (!after.count(key)) removed.push_back(key);
    }
    Fields wanted = before_screen;
    wanted["module"] = module_before;
    wanted["date"] = date_before;
    for (const auto key : added) {
      const auto undone = deleted.find(key);
      if (undone != deleted.end() && undone->second == after.at(key)) {
        deleted.erase(undone);
        continue;
      }
      if (!was_new || added.size() > 1) fail("a record was added that the screen did not offer");
      const std::string off = difference(after.at(key), wanted);
      if (!off.empty()) fail("new record " + std::to_string(key) + ": " + off);
    }
    for (const auto key : changed) {
      if (!key_before || key != *key_before) {
        fail("record " + std::to_string(key) + " changed, not the one on screen");
        continue;
      }
      const std::string off = difference(after.at(key), wanted);
      if (!off.empty()) fail("changed record " + std::to_string(key) + ": " + off);
    }
    for (const auto key : removed) {
      if (in_box) fail("Ctrl+Supr in a text box deleted record " + std::to_string(key));
      if (!key_before || key != *key_before) {
        fail("record " + std::to_string(key) + " is gone and the operator did not delete it");
      }
      deleted[key] = rows.at(key);
    }
    // A change pressed and taken: the record on screen holds what the screen showed.
    if (saving && key_before && changed.empty() && host.modalForms.size() == modals_before) {
      const auto row = after.find(*key_before);
      if (row == after.end() || !difference(row->second, wanted).empty()) {
        fail("a change moved on as saved and nothing was written");
      }
    }
    rows = after;
    if (failed) break;

    // The screen shows what the operator made it show.
    if (edit && state->gModulo == module_before && host.modalForms.size() == modals_before) {
      const Fields now = screen();
      const std::string off = difference(now, expected);
      if (!off.empty()) fail("the screen changed what it showed by itself: " + off);
    }
    // A step that left every value as the operator had it showed no other record.
    typedSince = typed || (typedSince && (edit || screen() == expected));
    expected = screen();
    checkScreen(rows, typedSince);
    if (step % 50 == 0) {
      EXPECT_EQ(store::Connection::openDatabase(folder.path())
                    .runNative("PRAGMA integrity_check")[0][0]
                    .asText(),
                "ok");
    }
  }
  EXPECT_FALSE(failed) << "reproduce with TARVEL_OPERATOR_SEED=" << seed;
}

}  // namespace
