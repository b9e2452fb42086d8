#pragma once

#include <string>
#include <string_view>

#include "store/backend.h"

namespace store {

// The collation and functions that translated statements name; every SQLite connection
// registers them, and a server database holds them from its creation.
inline constexpr const char* kSpanishCollation = "TARVEL_ES";
inline constexpr const char* kLowerFunction = "jet_lcase";
inline constexpr const char* kInStrFunction = "jet_instr";

// Rewrites a statement written in the dialect the screens use into the SQL of `target`:
// #y/m/d# dates, double-quoted literals, top n, left/mid, lcase/InStr and Spanish order,
// with nulls ordered as SQLite orders them (first when ascending). Works on tokens
// (comments included), so nothing inside a string literal or a comment is touched. Throws
// StoreError for a date literal in any other form, for a top anywhere but after the
// statement's own SELECT, and for an unclosed literal, name or comment.
std::string translateJet(std::string_view statement, Backend target = Backend::SQLite);

}  // namespace store
