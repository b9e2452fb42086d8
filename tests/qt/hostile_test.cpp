#include <QPushButton>
#include <algorithm>

#include "qt_program.h"
#include "store/connection.h"

namespace {

// Text an operator may paste by mistake or on purpose.
std::vector<QString> hostileTexts() {
  return {QStringLiteral("'"),
          QStringLiteral("\""),
          QStringLiteral("'; DROP TABLE Reg_Pre; --"),
          QStringLiteral("#2006/1/1#"),
          QString(10000, QLatin1Char('9')),
          QString::fromUtf8("a\x01\x1b\x7f"
                            "b") +
              QChar(0) + QStringLiteral("c"),
          QString::fromUtf8("\u202Eabc\u200F"),
          QString::fromUtf8("😀 中文 Ω"),
          QString::fromUtf8("٣٤٥"),
          QStringLiteral("1e308"),
          QStringLiteral("-0"),
          QStringLiteral("0x10"),
          QStringLiteral("1,2,3.4.5")};
}

std::int64_t count(const std::filesystem::path& folder, const std::string& table) {
  return store::run(folder, "SELECT count(*) FROM " + table)[0][0].asInteger();
}

// Hostile text pasted into the access key and into every box of the capture screen, then every
// button pressed: no failure reaches the operator as a fault of the program, nothing is
// written but the records the screen counts, and the file stays sound.
TEST(QtView, HostileTextInEveryBoxBreaksNothing) {
  qt_tests::SignedInProgram program;
  const auto folder = program.folder.path();
  const char* catalogues[] = {"Cat_Ori",   "Cat_Dest", "Cat_Prod", "Cat_Pres",
                              "Cat_Deleg", "Cat_Muni", "Config"};
  std::vector<std::int64_t> before;
  for (const char* table : catalogues) before.push_back(count(folder, table));

  // A key whose last three characters are not digits ends the program; each
  // hostile key ends in three digits that name no delegation, so it is refused with a beep.
  std::vector<QString> keys;
  for (const QString& text : hostileTexts()) keys.push_back(text + QStringLiteral("999"));
  program.start(keys);
  ASSERT_TRUE(program.closed_by_enter);
  const auto records_before = count(folder, "Reg_Pre");  // after the start's purge
  qt_tests::ModalCloser closer;
  for (const QString& text : hostileTexts()) {
    for (auto* edit : program.window.findChildren<QLineEdit*>()) {
      if (!edit->isVisible() || !edit->isEnabled()) continue;
      edit->setFocus(Qt::MouseFocusReason);
      qt_tests::paste(edit, text);
    }
    for (auto* button : program.window.findChildren<QPushButton*>()) {
      if (button->isVisible() && button->isEnabled()) QTest::mouseClick(button, Qt::LeftButton);
    }
  }
  // Every round was answered: the price refused by name, the export's notice shown.
  EXPECT_EQ(std::count(closer.said.begin(), closer.said.end(), "¡Mínimo no es un número!"),
            static_cast<std::ptrdiff_t>(hostileTexts().size()));
  for (const std::string& said : closer.said) {
    EXPECT_EQ(said.find("No se pudo completar la operación"), std::string::npos) << said;
  }
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(count(folder, catalogues[i]), before[i]) << catalogues[i];
  }
  const std::string today = text::isoDate(*text::dateOfLabel(program.state.gFecha));
  const auto saved_today =
      store::run(folder, "SELECT count(*) FROM Reg_Pre WHERE Fecha = '" + today + "'")[0][0]
          .asInteger();
  EXPECT_EQ(saved_today, program.captura.records.count());
  EXPECT_EQ(count(folder, "Reg_Pre"), records_before + saved_today);
  EXPECT_EQ(store::run(folder, "PRAGMA integrity_check")[0][0].asText(), "ok");
}

}  // namespace
