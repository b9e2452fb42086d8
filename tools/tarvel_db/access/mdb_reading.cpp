#include "access/mdb_reading.h"

// libmdb's header opens a C block around glib's, whose C++ parts then fail to compile: glib
// comes first, on its own.
#include <glib.h>
#include <mdbtools.h>

#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

#include "loading/csv.h"

namespace tarvel_db {
namespace {

namespace fs = std::filesystem;

struct HandleCloser {
  void operator()(MdbHandle* handle) const { mdb_close(handle); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableFreer {
  void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TableHandle = std::unique_ptr<MdbTableDef, TableFreer>;

// A value longer than this is refused rather than cut; Access texts hold 255 characters, so
// only a memo can reach it.
constexpr std::size_t kBindSize = 1 << 16;

std::string named(const fs::path& file) {
  return "El archivo " + file.string();
}

std::string formatName(std::uint32_t version) {
  switch (version) {
    case MDB_VER_JET3:
      return "Jet 3 (formato de Access 97)";
    case MDB_VER_JET4:
      return "Jet 4 (formato de Access 2000 a 2003)";
    case MDB_VER_ACCDB_2007:
      return "ACE 12 (formato de Access 2007)";
    case MDB_VER_ACCDB_2010:
      return "ACE 14 (formato de Access 2010)";
    case MDB_VER_ACCDB_2013:
      return "ACE 15 (formato de Access 2013)";
    case MDB_VER_ACCDB_2016:
      return "ACE 16 (formato de Access 2016)";
    case MDB_VER_ACCDB_2019:
      return "ACE 17 (formato de Access 2019)";
    default:
      return "Access (versión " + std::to_string(version) + ")";
  }
}

AccessKind kindOf(int type) {
  switch (type) {
    case MDB_BOOL:
      return AccessKind::Boolean;
    case MDB_BYTE:
      return AccessKind::Byte;
    case MDB_INT:
      return AccessKind::Integer;
    case MDB_LONGINT:
      return AccessKind::LongInteger;
    case MDB_MONEY:
      return AccessKind::Currency;
    case MDB_FLOAT:
      return AccessKind::Single;
    case MDB_DOUBLE:
      return AccessKind::Double;
    case MDB_NUMERIC:
      return AccessKind::Decimal;
    case MDB_DATETIME:
      return AccessKind::DateTime;
    case MDB_TEXT:
      return AccessKind::Text;
    case MDB_MEMO:
      return AccessKind::Memo;
    default:
      return AccessKind::Unsupported;
  }
}

MdbColumn* columnAt(MdbTableDef* table, unsigned index) {
  return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
}

// The shortest text that reads back as the same number.
template <typename Real>
std::string shortest(Real value) {
  std::array<char, 64> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  return std::string(text.data(), end);
}

// A real is read from the row itself: libmdb's own text of it may round.
template <typename Real>
std::optional<std::string> realAt(const MdbHandle& mdb, const MdbColumn& column) {
  if (column.cur_value_len != static_cast<int>(sizeof(Real)) || column.cur_value_start < 0 ||
      static_cast<std::size_t>(column.cur_value_start) + sizeof(Real) > sizeof(mdb.pg_buf)) {
    return std::nullopt;
  }
  Real value{};
  std::memcpy(&value, mdb.pg_buf + column.cur_value_start, sizeof(Real));
  return shortest(value);
}

// A table whose rows are not all there: the file lost pages (cut short, or damaged) and libmdb
// reads what is left without a word.
AccessError cutShort(const fs::path& file, const std::string& table, std::int64_t rows,
                     std::int64_t read) {
  return AccessError(named(file) + " está incompleto o dañado: la tabla " + table + " dice tener " +
                     std::to_string(rows) + " filas y solo se pudieron leer " +
                     std::to_string(read) + ". Cópielo de nuevo desde el original.");
}

// The file opened by libmdb with its catalogue of tables read; a file with a password or
// encryption is refused before anything of it is read. libmdb decodes a Jet 3 file's texts
// from the code page its environment names (Windows-1252 when none); a file of another code
// page is opened again with its own. Jet 4 and ACE store texts as Unicode.
Handle openCatalogue(const fs::path& file) {
  Handle handle(mdb_open(file.c_str(), MDB_NOFLAGS));
  constexpr guint16 kWestern = 1252;
  if (handle && handle->f->jet_version == MDB_VER_JET3 && handle->f->code_page != 0 &&
      handle->f->code_page != kWestern) {
    setenv("MDB_JET3_CHARSET", ("CP" + std::to_string(handle->f->code_page)).c_str(), 1);
    handle.reset(mdb_open(file.c_str(), MDB_NOFLAGS));
  }
  MdbHandle* mdb = handle.get();
  if (!mdb) throw AccessError(named(file) + " no se pudo leer como archivo de Access.");
  if (mdb->f->db_passwd[0] != 0) {
    throw AccessError(named(file) +
                      " está protegido con contraseña. Quite la contraseña en Access (Archivo, "
                      "Información) y vuelva a intentarlo.");
  }
  if (mdb->f->db_key != 0) {
    throw AccessError(named(file) + " está cifrado. Descífrelo en Access y vuelva a intentarlo.");
  }
  if (!mdb_read_catalog(mdb, MDB_TABLE)) {
    throw AccessError(named(file) + " no tiene un catálogo de tablas legible; está dañado.");
  }
  return handle;
}

// Every table, the system's included, has its definition and its data pages inside the file;
// a file cut short loses some, and libmdb would read past its end or stop early without a
// word. A catalogue without a single table is one whose pages are gone.
void checkPagesPresent(const fs::path& file, MdbHandle* mdb, std::size_t page_size) {
  std::error_code error;
  const auto pages = static_cast<std::int64_t>(fs::file_size(file, error) / page_size);
  const auto damaged = [&] {
    return AccessError(named(file) +
                       " está incompleto o dañado: le faltan páginas que su catálogo nombra. "
                       "Cópielo de nuevo desde el original.");
  };
  bool any = false;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE) continue;
    any = true;
    if (static_cast<std::int64_t>(entry->table_pg) >= pages) throw damaged();
    const TableHandle table(mdb_read_table(entry));
    if (!table) throw damaged();
    // The map gives the pages in order and then starts again from the first.
    for (gint32 page = mdb_map_find_next(mdb, table->usage_map,
                                         static_cast<unsigned>(table->map_sz), 0),
                previous = 0;
         page > previous;
         previous = page, page = mdb_map_find_next(mdb, table->usage_map,
                                                   static_cast<unsigned>(table->map_sz), page)) {
      if (page >= pages) throw damaged();
    }
  }
  if (!any) throw damaged();
}

}  // namespace

// The file's first page says what it is; libmdb is given only a file that an Access file's
// header and size can be. Returns the size of its pages.
std::size_t checkAccessHeader(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw AccessError(named(file) + " no se pudo abrir para leerlo.");
  std::array<char, 0x15> head{};
  in.read(head.data(), head.size());
  const std::string_view read(head.data(), static_cast<std::size_t>(in.gcount()));
  constexpr std::string_view kMagic("\x00\x01\x00\x00", 4);
  if (read.size() < head.size() || read.substr(0, 4) != kMagic ||
      (read.substr(4, 15) != "Standard Jet DB" && read.substr(4, 15) != "Standard ACE DB")) {
    throw AccessError(named(file) + " no es un archivo de Access (.mdb o .accdb).");
  }
  const std::size_t page = read[0x14] == 0 ? 2048 : 4096;
  std::error_code error;
  const auto size = fs::file_size(file, error);
  if (error || size < 2 * page || size % page != 0) {
    throw AccessError(named(file) +
                      " está incompleto: su tamaño no es el de un archivo de Access entero. "
                      "Cópielo de nuevo desde el original.");
  }
  return page;
}

MdbContents readContents(const fs::path& file) {
  const std::size_t page_size = checkAccessHeader(file);
  const Handle handle = openCatalogue(file);
  MdbHandle* mdb = handle.get();
  MdbContents contents;
  contents.format = formatName(mdb->f->jet_version);
  checkPagesPresent(file, mdb, page_size);
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
    const TableHandle table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get())) {
      throw AccessError(named(file) + ": la tabla " + entry->object_name +
                        " no se puede leer; el archivo está dañado.");
    }
    AccessTable read{entry->object_name, {}, table->num_rows};
    for (unsigned c = 0; c < table->num_cols; ++c) {
      const MdbColumn* column = columnAt(table.get(), c);
      const char* type = mdb_get_colbacktype_string(column);
      read.columns.push_back({column->name, kindOf(column->col_type), type ? type : "?"});
    }
    contents.tables.push_back(std::move(read));
  }
  return contents;
}

void readTableRows(const fs::path& file, const std::string& name,
                   const std::function<void(const AccessRow&)>& row) {
  checkAccessHeader(file);
  const Handle handle = openCatalogue(file);
  MdbHandle* mdb = handle.get();
  mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
  mdb_set_bind_size(mdb, kBindSize);
  MdbCatalogEntry* entry = nullptr;
  for (unsigned i = 0; i < mdb->num_catalog && !entry; ++i) {
    auto* candidate = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (candidate->object_type == MDB_TABLE && name == candidate->object_name) entry = candidate;
  }
  if (!entry) throw AccessError(named(file) + " no tiene la tabla " + name + ".");
  const TableHandle table(mdb_read_table(entry));
  if (!table || !mdb_read_columns(table.get())) {
    throw AccessError(named(file) + ": la tabla " + name + " no se puede leer.");
  }
  const unsigned count = table->num_cols;
  std::vector<std::vector<char>> bound(count, std::vector<char>(kBindSize + 1));
  std::vector<int> lengths(count, 0);
  for (unsigned c = 0; c < count; ++c) {
    mdb_bind_column(table.get(), static_cast<int>(c) + 1, bound[c].data(), &lengths[c]);
  }
  mdb_rewind_table(table.get());
  AccessRow values(count);
  std::int64_t fetched = 0;
  while (mdb_fetch_row(table.get())) {
    ++fetched;
    for (unsigned c = 0; c < count; ++c) {
      const MdbColumn* column = columnAt(table.get(), c);
      const AccessKind kind = kindOf(column->col_type);
      const auto length = static_cast<std::size_t>(std::max(lengths[c], 0));
      if (length >= kBindSize) {
        throw AccessError(named(file) + ": en la tabla " + name + ", la columna " + column->name +
                          " tiene un texto de más de " + std::to_string(kBindSize) +
                          " bytes, que no se puede leer entero.");
      }
      std::optional<std::string>& value = values[c];
      if (kind == AccessKind::Unsupported || (length == 0 && kind != AccessKind::Boolean)) {
        value.reset();
      } else if (kind == AccessKind::Double) {
        value = realAt<double>(*mdb, *column);
      } else if (kind == AccessKind::Single) {
        value = realAt<float>(*mdb, *column);
      } else {
        value = std::string(bound[c].data(), length);
        if (firstInvalidUtf8(*value) != std::string::npos) {
          throw AccessError(named(file) + ": en la tabla " + name + ", la columna " + column->name +
                            " tiene un texto que no es válido en la página de "
                            "códigos del archivo.");
        }
        if (kind == AccessKind::Boolean) value = *value == "0" || value->empty() ? "0" : "1";
        if (kind == AccessKind::DateTime && value->ends_with(" 00:00:00")) value->resize(10);
      }
    }
    row(values);
  }
  if (fetched != table->num_rows) throw cutShort(file, name, table->num_rows, fetched);
}

}  // namespace tarvel_db
