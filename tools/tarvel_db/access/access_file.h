#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel_db {

// The Access column kinds the tools read. Any other kind is read as nothing and named as
// unsupported.
enum class AccessKind {
  Boolean,
  Byte,
  Integer,
  LongInteger,
  Currency,
  Single,
  Double,
  Decimal,
  DateTime,
  Text,
  Memo,
  Unsupported
};

struct AccessColumn {
  std::string name;
  AccessKind kind = AccessKind::Unsupported;
  std::string typeName;  // as Access names it: "Text", "Long Integer", …
};

struct AccessTable {
  std::string name;
  std::vector<AccessColumn> columns;
  std::int64_t rows = 0;
};

// One row of a table, a value a column, each in the form `tarvel-db load` reads: text as
// UTF-8, numbers with a dot and no grouping, currency as stored (four decimals), dates as
// YYYY-MM-DD (with " HH:MM:SS" when a time is stored), yes/no as 1/0; null for none.
using AccessRow = std::vector<std::optional<std::string>>;

// A file the tools cannot read as Access: the message names the file and says why.
class AccessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Access compares names without regard to case; so do the tools.
bool sameAccessName(std::string_view a, std::string_view b);

// What is read from an Access file: its tables and, table by table, its rows.
class AccessSource {
 public:
  virtual ~AccessSource() = default;
  virtual const std::vector<AccessTable>& tables() const = 0;
  // The table named `name` without regard to case; null when there is none.
  const AccessTable* find(std::string_view name) const;
  // Calls `row` with every row of `table`, in the order the file keeps them.
  virtual void readRows(const std::string& table,
                        const std::function<void(const AccessRow&)>& row) const = 0;
};

// An Access file of any generation (Jet 3, Jet 4, ACE), read through libmdb in a child
// process, so that a damaged file that makes libmdb crash or loop is refused and this process
// goes on. A file that is not an Access file, is cut short, encrypted or protected with a
// password is refused when opened.
class AccessFile : public AccessSource {
 public:
  explicit AccessFile(const std::filesystem::path& file);

  // "Jet 4 (Access 2000–2003)", …
  const std::string& format() const { return format_; }
  const std::vector<AccessTable>& tables() const override { return tables_; }
  void readRows(const std::string& table,
                const std::function<void(const AccessRow&)>& row) const override;

 private:
  std::filesystem::path file_;
  std::string format_;
  std::vector<AccessTable> tables_;
};

}  // namespace tarvel_db
