#include "store/jet_dialect.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <regex>
#include <vector>

#include "store/error.h"
#include "store/literal.h"
#include "store/schema.h"
#include "text/dates.h"

namespace store {
namespace {

enum class Kind { Blank, Comment, Word, Number, Literal, Punct };

struct Token {
  Kind kind;
  std::string text;
};

bool isWordStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool isWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}
bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
// Blanks and comments: what may stand between two tokens without changing the statement.
bool isQuiet(const Token& token) {
  return token.kind == Kind::Blank || token.kind == Kind::Comment;
}

bool sameWord(const Token& token, std::string_view word) {
  return token.kind == Kind::Word &&
         std::equal(
             token.text.begin(), token.text.end(), word.begin(), word.end(),
             [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string quoteSingle(std::string_view content) {
  std::string quoted = "'";
  for (char c : content) {
    quoted.push_back(c);
    if (c == '\'') quoted.push_back('\'');
  }
  return quoted + "'";
}

// A quoted piece starting at `start`; a doubled quote stands for itself. Returns the
// unquoted content and moves `pos` past the closing quote.
std::string readQuoted(std::string_view s, std::size_t& pos, char quote, std::string_view whole) {
  std::string content;
  ++pos;
  while (true) {
    if (pos >= s.size()) throw StoreError(std::string(whole), "texto entre comillas sin cerrar");
    if (s[pos] == quote) {
      if (pos + 1 < s.size() && s[pos + 1] == quote) {
        content.push_back(quote);
        pos += 2;
        continue;
      }
      ++pos;
      return content;
    }
    content.push_back(s[pos++]);
  }
}

std::string dateLiteral(std::string_view content, std::string_view whole, Backend target) {
  static const std::regex kYearFirst(R"(^(\d{4})/(\d{1,2})/(\d{1,2})$)");
  const std::string literal(content);
  std::smatch parts;
  if (std::regex_match(literal, parts, kYearFirst)) {
    const text::Date date{std::stoi(parts[1]), std::stoi(parts[2]), std::stoi(parts[3])};
    // SQLite keeps dates as text; the server has a date type.
    const std::string prefix = target == Backend::PostgreSQL ? "DATE '" : "'";
    if (text::isValid(date)) return prefix + text::isoDate(date) + "'";
  }
  std::string message = "fecha no válida en la instrucción: #";
  message.append(literal).append("#");
  throw StoreError(std::string(whole), message);
}

// [name] is SQLite's own quoting; the server reads a plain name, or a double-quoted one.
std::string bracketName(std::string_view name, Backend target) {
  if (target == Backend::SQLite) return "[" + std::string(name) + "]";
  if (!name.empty() && isWordStart(name[0]) && std::all_of(name.begin(), name.end(), isWordChar)) {
    return std::string(name);
  }
  return sqlName(name);
}

std::vector<Token> tokenize(std::string_view s, Backend target) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  while (pos < s.size()) {
    const char c = s[pos];
    const std::size_t start = pos;
    if (std::isspace(static_cast<unsigned char>(c))) {
      while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos]))) ++pos;
      tokens.push_back({Kind::Blank, std::string(s.substr(start, pos - start))});
    } else if (c == '\'') {
      tokens.push_back({Kind::Literal, quoteSingle(readQuoted(s, pos, '\'', s))});
    } else if (c == '"') {
      tokens.push_back({Kind::Literal, quoteSingle(readQuoted(s, pos, '"', s))});
    } else if (c == '#') {
      const auto end = s.find('#', pos + 1);
      if (end == std::string_view::npos) throw StoreError(std::string(s), "fecha sin cerrar");
      tokens.push_back({Kind::Literal, dateLiteral(s.substr(pos + 1, end - pos - 1), s, target)});
      pos = end + 1;
    } else if (c == '[') {
      const auto end = s.find(']', pos + 1);
      if (end == std::string_view::npos) throw StoreError(std::string(s), "nombre sin cerrar");
      tokens.push_back({Kind::Word, bracketName(s.substr(start + 1, end - start - 1), target)});
      pos = end + 1;
    } else if (isWordStart(c)) {
      while (pos < s.size() && isWordChar(s[pos])) ++pos;
      tokens.push_back({Kind::Word, std::string(s.substr(start, pos - start))});
    } else if (isDigit(c)) {
      while (pos < s.size() && (isDigit(s[pos]) || s[pos] == '.')) ++pos;
      tokens.push_back({Kind::Number, std::string(s.substr(start, pos - start))});
    } else if (s.substr(pos, 2) == "--") {
      // To the end of the line; the line end itself stays a blank.
      pos = std::min(s.find('\n', pos), s.size());
      tokens.push_back({Kind::Comment, std::string(s.substr(start, pos - start))});
    } else if (s.substr(pos, 2) == "/*") {
      const auto end = s.find("*/", pos + 2);
      if (end == std::string_view::npos) throw StoreError(std::string(s), "comentario sin cerrar");
      pos = end + 2;
      tokens.push_back({Kind::Comment, std::string(s.substr(start, pos - start))});
    } else {
      tokens.push_back({Kind::Punct, std::string(1, c)});
      ++pos;
    }
  }
  return tokens;
}

// Index of the next token that is neither blank nor comment, or tokens.size().
std::size_t nextSolid(const std::vector<Token>& tokens, std::size_t from) {
  while (from < tokens.size() && isQuiet(tokens[from])) ++from;
  return from;
}

bool isPunct(const std::vector<Token>& tokens, std::size_t i, char c) {
  return i < tokens.size() && tokens[i].kind == Kind::Punct && tokens[i].text[0] == c;
}

// Renames the dialect's functions; left(x,n) also gets its start position: substr(x,1,n).
void translateFunctions(std::vector<Token>& tokens) {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::size_t open = nextSolid(tokens, i + 1);
    if (tokens[i].kind != Kind::Word || !isPunct(tokens, open, '(')) continue;
    if (sameWord(tokens[i], "lcase")) {
      tokens[i].text = kLowerFunction;
    } else if (sameWord(tokens[i], "instr")) {
      tokens[i].text = kInStrFunction;
    } else if (sameWord(tokens[i], "mid")) {
      tokens[i].text = "substr";
    } else if (sameWord(tokens[i], "left")) {
      tokens[i].text = "substr";
      int depth = 0;
      for (std::size_t j = open; j < tokens.size(); ++j) {
        if (isPunct(tokens, j, '(')) ++depth;
        if (isPunct(tokens, j, ')') && --depth == 0) break;
        if (depth == 1 && isPunct(tokens, j, ',')) {
          tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(j) + 1,
                        Token{Kind::Number, "1,"});
          break;
        }
      }
    }
  }
}

// Removes "top n" after the statement's SELECT and returns n, which becomes the limit of
// the whole statement. A top anywhere else (inside parentheses, a second top, a top in a
// statement that joins several queries) cannot be a limit of the whole and is refused.
std::optional<std::string> takeTop(std::vector<Token>& tokens, std::string_view whole) {
  std::optional<std::string> limit;
  bool compound = false;
  int depth = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (isPunct(tokens, i, '(')) ++depth;
    if (isPunct(tokens, i, ')')) --depth;
    if (depth == 0 && (sameWord(tokens[i], "union") || sameWord(tokens[i], "intersect") ||
                       sameWord(tokens[i], "except"))) {
      compound = true;
    }
    if (!sameWord(tokens[i], "select")) continue;
    const std::size_t top = nextSolid(tokens, i + 1);
    if (top >= tokens.size() || !sameWord(tokens[top], "top")) continue;
    const std::size_t count = nextSolid(tokens, top + 1);
    if (count >= tokens.size() || tokens[count].kind != Kind::Number) continue;
    if (depth != 0 || limit) {
      throw StoreError(std::string(whole),
                       "«top» solo se admite en la consulta principal de la instrucción");
    }
    const std::string& n = tokens[count].text;
    const std::size_t after = nextSolid(tokens, count + 1);
    if (!std::all_of(n.begin(), n.end(), isDigit) ||
        (after < tokens.size() && sameWord(tokens[after], "percent"))) {
      throw StoreError(std::string(whole), "«top» solo admite un número entero de filas");
    }
    limit = n;
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(top),
                 tokens.begin() + static_cast<std::ptrdiff_t>(count) + 1);
  }
  if (limit && compound) {
    throw StoreError(std::string(whole), "«top» no se admite en una instrucción que une consultas");
  }
  return limit;
}

std::string lowerCase(std::string_view name) {
  std::string lower;
  for (const char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// The columns of the storage contract, in lower case, that `wanted` picks.
std::vector<std::string> contractColumns(bool (*wanted)(const TableSpec&, const ColumnSpec&)) {
  std::vector<std::string> names;
  for (const TableSpec& table : storageContract()) {
    for (const ColumnSpec& column : table.columns) {
      std::string name = lowerCase(column.name);
      if (wanted(table, column) && std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
      }
    }
  }
  return names;
}

// A column whose stored values sort the same in binary and in Spanish order: the ISO dates
// and the record key. Left without the collation, an index on it can serve the order, so
// "the five most recent" reads five rows however many the table holds.
const std::vector<std::string>& binaryOrderColumns() {
  static const std::vector<std::string> names =
      contractColumns([](const TableSpec& table, const ColumnSpec& column) {
        return column.kind == ColumnKind::Date ||
               (table.key == TableKey::RecordCounter && column.name == recordKeyColumn());
      });
  return names;
}

// On the server a collation may only follow text: the columns that hold numbers or dates in
// any table (Cve_Prod and Cve_Del are a number in one table and an upper-case code in
// another, whose binary and Spanish orders agree).
const std::vector<std::string>& serverUncollatedColumns() {
  static const std::vector<std::string> names = contractColumns(
      [](const TableSpec&, const ColumnSpec& column) { return column.kind != ColumnKind::Text; });
  return names;
}

// Whether the term (up to `end`, without its ASC or DESC) is a bare column, or one named
// with its table, that is one of `columns`.
bool isColumnAmong(const std::vector<Token>& term, std::size_t end,
                   const std::vector<std::string>& columns) {
  std::size_t first = 0;
  while (first < end && isQuiet(term[first])) ++first;
  if (end > first && (sameWord(term[end - 1], "asc") || sameWord(term[end - 1], "desc"))) --end;
  while (end > first && isQuiet(term[end - 1])) --end;
  // A bare column, or one named with its table: Reg_Pre.Fecha.
  if (end == first + 3 && term[first].kind == Kind::Word && isPunct(term, first + 1, '.')) {
    first += 2;
  }
  if (end != first + 1) return false;
  return std::any_of(columns.begin(), columns.end(),
                     [&](const std::string& column) { return sameWord(term[first], column); });
}

// A limited read of Reg_Pre alone whose order leaves ties ("the five most recent" when
// records share a date) ends its order with the record key, in the direction of its last
// term: the rows a file's index gives, named in the statement, so that every engine returns
// the same ones. The index serves the longer order as it served the shorter one.
void breakTiesByKey(std::vector<Token>& tokens) {
  static const std::string record_table = lowerCase(recordTable().name);
  static const std::string record_key = lowerCase(recordKeyColumn());
  int depth = 0;
  std::size_t order = tokens.size();
  bool single_table = false;
  bool in_from = false;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (isPunct(tokens, i, '(')) ++depth;
    if (isPunct(tokens, i, ')')) --depth;
    if (depth != 0) continue;
    if (sameWord(tokens[i], "from")) {
      const std::size_t table = nextSolid(tokens, i + 1);
      single_table = table < tokens.size() && sameWord(tokens[table], record_table);
      in_from = true;
    } else if (sameWord(tokens[i], "where") || sameWord(tokens[i], "group") ||
               sameWord(tokens[i], "order")) {
      in_from = false;
      if (sameWord(tokens[i], "order")) order = i;
    } else if (in_from && (sameWord(tokens[i], "join") || isPunct(tokens, i, ','))) {
      single_table = false;
    }
  }
  if (!single_table || order == tokens.size()) return;
  std::size_t end = tokens.size();
  while (end > order && (isQuiet(tokens[end - 1]) || isPunct(tokens, end - 1, ';'))) --end;
  bool descending = false;
  for (std::size_t i = end; i > order; --i) {
    if (isPunct(tokens, i - 1, ',')) break;
    if (sameWord(tokens[i - 1], record_key)) return;
    if (sameWord(tokens[i - 1], "desc")) descending = true;
  }
  std::vector<Token> key{
      {Kind::Punct, ","}, {Kind::Blank, " "}, {Kind::Word, std::string(recordKeyColumn())}};
  if (descending) key.insert(key.end(), {{Kind::Blank, " "}, {Kind::Word, "DESC"}});
  tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(end), key.begin(), key.end());
}

// Gives every ORDER BY term the Spanish collation, before its ASC or DESC.
void collateOrder(std::vector<Token>& tokens, Backend target) {
  int depth = 0;
  std::size_t start = tokens.size();
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (isPunct(tokens, i, '(')) ++depth;
    if (isPunct(tokens, i, ')')) --depth;
    if (depth == 0 && sameWord(tokens[i], "order")) {
      const std::size_t by = nextSolid(tokens, i + 1);
      if (by < tokens.size() && sameWord(tokens[by], "by")) {
        start = by + 1;
        break;
      }
    }
  }
  if (start >= tokens.size()) return;

  std::vector<Token> result(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(start));
  const Token collate{Kind::Word, std::string(" COLLATE ") + kSpanishCollation};
  std::vector<Token> term;
  auto flush = [&] {
    std::size_t last = term.size();
    while (last > 0 && isQuiet(term[last - 1])) --last;
    if (last == 0) {
      result.insert(result.end(), term.begin(), term.end());
    } else {
      const bool descending = sameWord(term[last - 1], "desc");
      std::size_t at = last;
      if (descending || sameWord(term[last - 1], "asc")) at = last - 1;
      const bool named_collate = std::any_of(term.begin(), term.end(),
                                             [](const Token& t) { return sameWord(t, "collate"); });
      const bool uncollated = target == Backend::SQLite
                                  ? isColumnAmong(term, at, binaryOrderColumns())
                                  : isColumnAmong(term, at, serverUncollatedColumns());
      if (!named_collate && !uncollated) {
        term.insert(term.begin() + static_cast<std::ptrdiff_t>(at), collate);
        if (at < last) {
          term.insert(term.begin() + static_cast<std::ptrdiff_t>(at) + 1, Token{Kind::Blank, " "});
        }
        last = term.size();
        while (last > 0 && isQuiet(term[last - 1])) --last;
      }
      // SQLite puts nulls first when ascending and last when descending; the server is
      // told to do the same.
      const bool named_nulls = std::any_of(term.begin(), term.end(),
                                           [](const Token& t) { return sameWord(t, "nulls"); });
      if (target == Backend::PostgreSQL && !named_nulls) {
        term.insert(term.begin() + static_cast<std::ptrdiff_t>(last),
                    Token{Kind::Word, descending ? " NULLS LAST" : " NULLS FIRST"});
      }
      result.insert(result.end(), term.begin(), term.end());
    }
    term.clear();
  };
  depth = 0;
  for (std::size_t i = start; i < tokens.size(); ++i) {
    if (isPunct(tokens, i, '(')) ++depth;
    if (isPunct(tokens, i, ')')) --depth;
    if (depth == 0 && (isPunct(tokens, i, ',') || isPunct(tokens, i, ';'))) {
      flush();
      result.push_back(tokens[i]);
    } else {
      term.push_back(tokens[i]);
    }
  }
  flush();
  tokens = std::move(result);
}

}  // namespace

std::string translateJet(std::string_view statement, Backend target) {
  std::vector<Token> tokens = tokenize(statement, target);
  translateFunctions(tokens);
  const auto top = takeTop(tokens, statement);
  if (top) breakTiesByKey(tokens);
  collateOrder(tokens, target);

  // The limit goes before the trailing blanks, comments and closing ";", so that no comment
  // can take it in.
  std::size_t end = tokens.size();
  while (end > 0 && (isQuiet(tokens[end - 1]) || isPunct(tokens, end - 1, ';'))) --end;
  std::string translated;
  for (std::size_t i = 0; i < end; ++i) translated += tokens[i].text;
  if (top) translated += " LIMIT " + *top;
  for (std::size_t i = end; i < tokens.size(); ++i) translated += tokens[i].text;
  return translated;
}

}  // namespace store
