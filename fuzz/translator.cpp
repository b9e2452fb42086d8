// The statement translator on any text: it either gives SQLite text or refuses with a
// StoreError; a refused or translated statement must never crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/error.h"
#include "store/jet_dialect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view statement(reinterpret_cast<const char*>(data), size);
  try {
    store::translateJet(statement);
  } catch (const store::StoreError&) {
    // A refusal, with its Spanish reason, is a right answer.
  }
  return 0;
}
