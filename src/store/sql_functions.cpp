#include "store/sql_functions.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "store/error.h"
#include "store/jet_dialect.h"
#include "store/sqlite_failure.h"
#include "text/collation.h"
#include "text/encoding.h"

namespace store {
namespace {

std::string_view textArgument(sqlite3_value* value) {
  const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
  return {data ? data : "", static_cast<std::size_t>(sqlite3_value_bytes(value))};
}

// No exception may cross the engine's C callbacks: each one catches everything.
int compareSpanish(void*, int length_a, const void* a, int length_b, const void* b) {
  const std::string_view first(static_cast<const char*>(a),
                               static_cast<std::size_t>(std::max(length_a, 0)));
  const std::string_view second(static_cast<const char*>(b),
                                static_cast<std::size_t>(std::max(length_b, 0)));
  try {
    return text::compareSpanish(first, second);
  } catch (...) {
    const int result = first.compare(second);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
  }
}

void lowerCase(sqlite3_context* context, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(context);
  try {
    const std::string lowered = text::toLower(textArgument(argv[0]));
    sqlite3_result_text(context, lowered.data(), static_cast<int>(lowered.size()),
                        SQLITE_TRANSIENT);
  } catch (const std::exception& error) {
    sqlite3_result_error(context, error.what(), -1);
  } catch (...) {
    sqlite3_result_error(context, "lcase falló", -1);
  }
}

// InStr(text, wanted): 1-based character position of `wanted` in `text` ignoring case,
// 0 when absent; the statements' dialect compares text without regard to case.
void inString(sqlite3_context* context, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    return sqlite3_result_null(context);
  }
  try {
    const std::string haystack = text::foldCase(textArgument(argv[0]));
    const std::string needle = text::foldCase(textArgument(argv[1]));
    const auto found = haystack.find(needle);
    if (found == std::string::npos) return sqlite3_result_int(context, 0);
    int position = 1;
    for (std::size_t i = 0; i < found; ++i) {
      if ((static_cast<unsigned char>(haystack[i]) & 0xC0) != 0x80) ++position;
    }
    sqlite3_result_int(context, position);
  } catch (const std::exception& error) {
    sqlite3_result_error(context, error.what(), -1);
  } catch (...) {
    sqlite3_result_error(context, "InStr falló", -1);
  }
}

void check(sqlite3* db, int code, const char* what) {
  if (code == SQLITE_OK) return;
  throw sqliteFailure(what, db, code);
}

}  // namespace

void registerDialect(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  check(db,
        sqlite3_create_collation_v2(db, kSpanishCollation, SQLITE_UTF8, nullptr, compareSpanish,
                                    nullptr),
        kSpanishCollation);
  check(db,
        sqlite3_create_function_v2(db, kLowerFunction, 1, flags, nullptr, lowerCase, nullptr,
                                   nullptr, nullptr),
        kLowerFunction);
  check(db,
        sqlite3_create_function_v2(db, kInStrFunction, 2, flags, nullptr, inString, nullptr,
                                   nullptr, nullptr),
        kInStrFunction);
}

}  // namespace store
