#include <filesystem>
#include <set>

#include "capture_fixture.h"
#include "forms/question_form.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using forms::ShortcutKey;

class Keyboard : public CaptureScreen {
 protected:
  // Every column but the key, which each save takes anew.
  std::string todaysRows() {
    return testing_support::rowsText(store::run(
        folder.path(),
        "SELECT Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, Cve_pres, Pre_min, Pre_max, "
        "Pre_frec, Pre_uni, Consecutivo, Obs, Cve_inf, Cve_mun, Cve_tra, Vol, Fecha_de, Fecha_a "
        "FROM Reg_Pre WHERE Fecha=#2006/7/21# ORDER BY Consec"));
  }

  // What the operator can see and the program keeps after a save.
  std::string outcome() {
    const capture::Captura& c = *captura;
    std::string seen = todaysRows();
    for (const std::string& error : errors) seen += error + "\n";
    seen += std::to_string(state->gRegNum) + " " + std::to_string(state->gPosCanasta) + " " +
            std::to_string(state->gConsecutivo) + " " + std::to_string(c.records.count()) + " " +
            c.LblRegNum.caption + " " + c.Label1.caption + " [" + c.TextMin.text + "|" +
            c.TextMax.text + "|" + c.TextFrec.text + "|" + c.TextObs.text + "] " +
            (c.focused() ? c.focused()->name() : "");
    return seen;
  }

  // Keys a record on a day with nothing saved yet, then saves it with the button or with
  // Ctrl+Enter from wherever the keying left the focus.
  std::string save(const std::function<void(capture::Captura&)>& keying, int dialogs, bool by_key) {
    sql("DELETE FROM Reg_Pre WHERE Fecha=#2006/7/21#");
    errors.clear();
    capture::Captura& c = start("Frutas y Hortalizas");
    for (int i = 0; i < dialogs; ++i) answerError();
    keying(c);
    if (by_key) {
      EXPECT_TRUE(c.pressShortcut(ShortcutKey::Enter));
    } else {
      c.click(c.CmdGrabar);
    }
    return outcome();
  }
};

TEST_F(Keyboard, CtrlEnterFromAnyFieldSavesExactlyAsTheButtonDoes) {
  yesterdaysBasket();
  struct Case {
    const char* from;
    std::function<void(capture::Captura&)> keying;
    int dialogs;
  };
  const Case cases[] = {
      {"the frequent price, not yet left", [&](auto&) { typePrices("100", "1,250.5", "110"); }, 0},
      {"the minimum",
       [&](capture::Captura& c) {
         c.type(c.TextMax, "120");
         c.type(c.TextFrec, "110");
         c.type(c.TextMin, "99.5");
       },
       0},
      {"the maximum",
       [&](capture::Captura& c) {
         c.type(c.TextMin, "100");
         c.type(c.TextFrec, "110");
         c.type(c.TextMax, "120");
       },
       0},
      {"the single price",
       [&](capture::Captura& c) {
         typePrices("100", "120", "110");
         c.type(c.TextUni, "115");
       },
       0},
      {"the observations",
       [&](capture::Captura& c) {
         typePrices("100", "120", "110");
         c.type(c.TextObs, "Llegó poca");
       },
       0},
      {"a list",
       [&](capture::Captura& c) {
         typePrices("100", "120", "110");
         c.focus(c.ComboPres);
       },
       0},
      {"a refused record", [&](auto&) { typePrices("130", "120", "110"); }, 1},
      {"a minimum 30% off, left by the key",
       [&](capture::Captura& c) {
         c.type(c.TextMax, "300");
         c.type(c.TextFrec, "250");
         c.type(c.TextMin, "200");
       },
       1},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.from);
    const std::string by_button = save(each.keying, each.dialogs, false);
    const std::string by_key = save(each.keying, each.dialogs, true);
    EXPECT_EQ(by_key, by_button);
    EXPECT_EQ(errors.size(), static_cast<std::size_t>(each.dialogs)) << by_key;
  }
  EXPECT_EQ(errors, Texts{"Variación en precio mayor de 30% | Verifique y corrija si está mal"});
  EXPECT_NE(captura->CmdGrabar.toolTip.find("Ctrl+Intro"), std::string::npos);
  EXPECT_EQ(captura->CmdGrabar.accessibleDescription, captura->CmdGrabar.toolTip);
}

TEST_F(Keyboard, AnUndoneDeletePutsTheRecordBackWholeUntilTheNextNavigation) {
  sql("DELETE FROM Reg_Pre");
  addRows({{.date = "2006-07-21", .product = 1, .observations = "uno"},
           {.date = "2006-07-21", .product = 3, .minimum = "12.345678901234567", .key = 500},
           {.date = "2006-07-21", .product = 4, .frequent = std::nullopt}});
  capture::Captura& c = start("Frutas y Hortalizas");
  const std::string before = todaysRows();
  ASSERT_EQ(c.records.count(), 3);
  const std::vector<std::int64_t> keys = {*c.records.keyAt(1), *c.records.keyAt(2),
                                          *c.records.keyAt(3)};
  EXPECT_FALSE(c.pressShortcut(ShortcutKey::Z));  // nothing deleted yet: the key goes on

  c.pressShortcut(ShortcutKey::Home);
  c.pressShortcut(ShortcutKey::PageDown);
  c.click(c.CmdBorrar);
  EXPECT_EQ(rows("Consec=500"), 0);
  EXPECT_TRUE(c.CmdDeshacer.visible);
  // In a box that has been typed in, Ctrl+Z is the box's own undo; with the typing gone the
  // delete is undone.
  const std::string shown = c.TextObs.text;
  c.type(c.TextObs, shown + " algo");
  EXPECT_FALSE(c.pressShortcut(ShortcutKey::Z));
  EXPECT_EQ(rows("Consec=500"), 0);
  c.type(c.TextObs, shown);
  // Typing in another box is asked about first: Enter keeps it, and nothing is undone.
  c.type(c.TextMax, "99");
  c.focus(c.TextObs);
  host.answerNextWithEnter();
  c.pressShortcut(ShortcutKey::Z);
  EXPECT_EQ(rows("Consec=500"), 0);
  EXPECT_EQ(c.TextMax.text, "99.00");
  host.answerNext<forms::QuestionForm>([](forms::QuestionForm& ask) { ask.click(ask.cmdSi); });
  EXPECT_TRUE(c.pressShortcut(ShortcutKey::Z));
  EXPECT_EQ(todaysRows(), before);
  EXPECT_EQ((std::vector{*c.records.keyAt(1), *c.records.keyAt(2), *c.records.keyAt(3)}), keys);
  EXPECT_EQ(state->gRegNum, 2);
  EXPECT_EQ(c.Label1.caption, "Registro existente");
  EXPECT_EQ(c.LblRegNum.caption, "2 / 3");
  EXPECT_FALSE(c.CmdDeshacer.visible);
  EXPECT_FALSE(c.pressShortcut(ShortcutKey::Z));  // only once

  // After a navigation, or a save, the delete stands.
  for (const auto& move_on :
       std::vector<std::function<void()>>{[&] { c.pressShortcut(ShortcutKey::PageUp); },
                                          [&] { c.pressShortcut(ShortcutKey::Enter); }}) {
    c.click(c.CmdBorrar);
    move_on();
    EXPECT_FALSE(c.CmdDeshacer.visible);
    EXPECT_FALSE(c.pressShortcut(ShortcutKey::Z));
  }
  EXPECT_EQ(c.records.count(), 1);
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 1);
}

TEST_F(Keyboard, TheNavigationKeysStopAtTheEndsOfTheLine) {
  sql("DELETE FROM Reg_Pre");
  addRows({{.date = "2006-07-21", .product = 1}, {.date = "2006-07-21", .product = 3}});
  capture::Captura& f = start("Frutas y Hortalizas");
  const auto at = [&] { return f.LblRegNum.caption; };
  ASSERT_EQ(at(), "3 / 2");
  f.pressShortcut(ShortcutKey::PageDown);
  EXPECT_EQ(at(), "3 / 2");  // no basket: nothing after the new position
  f.pressShortcut(ShortcutKey::Home);
  EXPECT_EQ(at(), "1 / 2");
  f.pressShortcut(ShortcutKey::PageUp);
  f.pressShortcut(ShortcutKey::Home);
  EXPECT_EQ(at(), "1 / 2");
  f.pressShortcut(ShortcutKey::End);
  EXPECT_EQ(at(), "2 / 2");
  f.pressShortcut(ShortcutKey::End);
  EXPECT_EQ(at(), "2 / 2");
  f.pressShortcut(ShortcutKey::PageDown);
  EXPECT_EQ(at(), "3 / 2");
  EXPECT_EQ(f.Label1.caption, "NUEVO Registro por Grabar");
  for (forms::CommandButton* button :
       {&f.cmdPrimero, &f.cmdAnterior, &f.cmdSiguiente, &f.cmdUltimo, &f.CmdBorrar}) {
    EXPECT_NE(button->toolTip.find("(Ctrl+"), std::string::npos) << button->name();
  }

  // A key with nothing to do leaves the focus in the box, so the next digits land there.
  f.focus(f.TextObs);
  for (const ShortcutKey key : {ShortcutKey::End, ShortcutKey::PageDown}) {
    EXPECT_FALSE(f.pressShortcut(key));
    EXPECT_EQ(f.focused(), &f.TextObs);
  }
  f.pressShortcut(ShortcutKey::Home);
  f.focus(f.TextObs);
  for (const ShortcutKey key : {ShortcutKey::Home, ShortcutKey::PageUp}) {
    EXPECT_FALSE(f.pressShortcut(key));
    EXPECT_EQ(f.focused(), &f.TextObs);
  }

  // In a box Ctrl+Supr is the box's own key; outside the boxes it deletes the record shown,
  // and nothing on a new record.
  EXPECT_FALSE(f.pressShortcut(ShortcutKey::Delete));
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 2);
  f.focus(f.ComboProd);
  EXPECT_TRUE(f.pressShortcut(ShortcutKey::Delete));
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 1);
  f.pressShortcut(ShortcutKey::End);
  f.pressShortcut(ShortcutKey::PageDown);
  EXPECT_EQ(f.Label1.caption, "NUEVO Registro por Grabar");
  f.focus(f.ComboProd);
  EXPECT_FALSE(f.pressShortcut(ShortcutKey::Delete));
  EXPECT_EQ(rows("Fecha='2006-07-21'"), 1);
}

TEST_F(Keyboard, EveryListAndBoxIsNamedByTheLabelBesideIt) {
  const auto spoken = [&](const forms::Control& control) { return control.spokenName(); };
  capture::Captura& c = start("Frutas y Hortalizas");
  for (const forms::Control* control : c.controls()) {
    const bool entry = control->kind() == forms::ControlKind::TextBox ||
                       control->kind() == forms::ControlKind::ComboBox ||
                       control->kind() == forms::ControlKind::CommandButton;
    if (!entry) continue;
    EXPECT_FALSE(spoken(*control).empty()) << control->name();
    EXPECT_NE(spoken(*control), control->name());
  }
  EXPECT_EQ(spoken(c.TextMin), "Mínimo");
  EXPECT_EQ(spoken(c.ComboDest), "Destino");
  EXPECT_EQ(spoken(c.cmdPrimero), "Primer Registro");
  EXPECT_EQ(spoken(c.CmdReporte), "Reporte");
  menu(c.Azucar);
  EXPECT_EQ(spoken(c.TextMin), "Único");
  EXPECT_EQ(spoken(c.ComboIng), "Ingenio");
  menu(c.Insumos);
  EXPECT_EQ(spoken(c.ComboOri), "Destino");
  EXPECT_EQ(spoken(c.ComboMun), "Municipio");
  menu(c.Volumenes);
  EXPECT_EQ(spoken(c.ComboTrans), "Transporte");
  EXPECT_EQ(spoken(c.TextVol), "Volúmen");
}

// The keys list names every key the screen has, and no two entries share an underlined
// letter where they could clash: the bar with the buttons, and each menu within itself.
TEST_F(Keyboard, TheKeysListNamesEveryKeyAndNoLettersClash) {
  capture::Captura& c = start("Frutas y Hortalizas");
  std::string list;
  host.answerNext<forms::MessageForm>([&](forms::MessageForm& keys) {
    list = keys.LabelMensaje.caption;
    keys.keyPress(forms::kEnterKey);
  });
  c.clickMenu(c.Teclas);
  for (const char* entry :
       {"Ctrl+Supr: Eliminar", "Ctrl+Z: Deshacer", "Alt+R: Reporte", "Alt+G: Genera Archivo",
        "Alt+A: menú Archivo, y en él R: Reporte, G: Generar, S: Salir", "Alt+T: esta lista",
        "D: Destino (abre su lista)", "E: Fecha (abre su lista)",
        "V: Volúmenes de Ingreso (pide el periodo de ingreso"}) {
    EXPECT_NE(list.find(entry), std::string::npos) << entry << "\n" << list;
  }
  std::set<std::string> bar;
  for (const forms::Control* control : c.controls()) {
    const std::string key = forms::mnemonicOf(control->caption);
    if (control->kind() == forms::ControlKind::CommandButton && !key.empty()) {
      EXPECT_TRUE(bar.insert(key).second) << control->name();
    }
  }
  for (const forms::MenuItem* menu : c.menus()) {
    EXPECT_TRUE(bar.insert(forms::mnemonicOf(menu->caption)).second) << menu->name();
    std::set<std::string> items;
    for (const forms::MenuItem* item : menu->items()) {
      if (item->caption.empty()) continue;
      const std::string key = forms::mnemonicOf(item->caption);
      EXPECT_FALSE(key.empty()) << item->name();
      EXPECT_TRUE(items.insert(key).second) << item->name();
    }
  }
}

// Typed but unsaved values are never discarded without a question whose Enter keeps them:
// on a change of destination, date or module, and on closing the window or "Salir".
TEST_F(CaptureScreen, TypedWorkIsOnlyDiscardedWhenTheOperatorSaysSo) {
  capture::Captura& c = start("Frutas y Hortalizas");
  std::vector<std::string> asked;
  const auto answer = [&](bool discard) {
    host.answerNext<forms::QuestionForm>([&asked, discard](forms::QuestionForm& question) {
      asked.push_back(question.LabelPregunta.caption);
      if (discard) {
        question.click(question.cmdSi);
      } else {
        question.keyPress(forms::kEnterKey);
      }
    });
  };
  const auto otherDestination = [&] {
    c.clickMenu(c.SelDestino);
    c.choose(c.ComboDest, 1 - c.ComboDest.listIndex());
    c.tab();
  };
  // Nothing typed: nothing asked.
  const std::string first = state->gCveDest;
  otherDestination();
  EXPECT_TRUE(asked.empty());
  EXPECT_NE(state->gCveDest, first);

  c.type(c.TextObs, "a medias");
  answer(false);
  otherDestination();
  ASSERT_EQ(asked,
            std::vector<std::string>{"Se perderá lo capturado y no grabado. ¿Cambiar de destino?"});
  EXPECT_EQ(c.TextObs.text, "a medias");
  EXPECT_NE(state->gCveDest, first) << "kept at the destination of the typed record";
  EXPECT_EQ(std::to_string(c.ComboDest.itemData(c.ComboDest.listIndex())), state->gCveDest);

  answer(false);
  c.clickMenu(c.Granos);
  EXPECT_EQ(state->gModulo, "FRU");
  answer(false);
  c.requestClose();
  answer(false);
  c.clickMenu(c.Salir);
  EXPECT_FALSE(c.unloaded());
  EXPECT_FALSE(host.endStatus);
  EXPECT_EQ(c.TextObs.text, "a medias");
  EXPECT_EQ(asked.size(), 4u);

  answer(true);
  otherDestination();
  EXPECT_EQ(state->gCveDest, first);
  EXPECT_EQ(c.TextObs.text, "");
  EXPECT_EQ(asked.size(), 5u);

  // Another entry chosen in a list, with nothing typed, is unsaved work too.
  ASSERT_GE(c.ComboOri.listCount(), 2);
  c.choose(c.ComboOri, c.ComboOri.listIndex() == 0 ? 1 : 0);
  answer(false);
  otherDestination();
  EXPECT_EQ(asked.size(), 6u);
  EXPECT_EQ(state->gCveDest, first);
}

}  // namespace
