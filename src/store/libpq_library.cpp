#include "store/libpq_library.h"

#include <dlfcn.h>

#include <memory>
#include <string>

#include "store/error.h"

namespace store {
namespace {

struct LibraryCloser {
  void operator()(void* library) const { dlclose(library); }
};

// The library and its functions, or why they could not be had.
struct Loaded {
  std::unique_ptr<void, LibraryCloser> library;
  Libpq functions;
  std::string failure;
};

template <typename Function>
void resolve(Loaded& loaded, Function& function, const char* name) {
  function = reinterpret_cast<Function>(dlsym(loaded.library.get(), name));
  if (!function && loaded.failure.empty()) loaded.failure = std::string("falta ") + name;
}

Loaded load() {
  Loaded loaded;
  loaded.library.reset(dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL));
  if (!loaded.library) {
    const char* why = dlerror();
    loaded.failure = why ? why : "libpq.so.5";
    return loaded;
  }
  Libpq& f = loaded.functions;
  resolve(loaded, f.PQbackendPID, "PQbackendPID");
  resolve(loaded, f.PQclear, "PQclear");
  resolve(loaded, f.PQcmdTuples, "PQcmdTuples");
  resolve(loaded, f.PQconnectdbParams, "PQconnectdbParams");
  resolve(loaded, f.PQconninfoFree, "PQconninfoFree");
  resolve(loaded, f.PQconninfoParse, "PQconninfoParse");
  resolve(loaded, f.PQconsumeInput, "PQconsumeInput");
  resolve(loaded, f.PQerrorMessage, "PQerrorMessage");
  resolve(loaded, f.PQfinish, "PQfinish");
  resolve(loaded, f.PQfreemem, "PQfreemem");
  resolve(loaded, f.PQftype, "PQftype");
  resolve(loaded, f.PQgetResult, "PQgetResult");
  resolve(loaded, f.PQgetisnull, "PQgetisnull");
  resolve(loaded, f.PQgetlength, "PQgetlength");
  resolve(loaded, f.PQgetvalue, "PQgetvalue");
  resolve(loaded, f.PQisBusy, "PQisBusy");
  resolve(loaded, f.PQnfields, "PQnfields");
  resolve(loaded, f.PQntuples, "PQntuples");
  resolve(loaded, f.PQresultErrorField, "PQresultErrorField");
  resolve(loaded, f.PQresultStatus, "PQresultStatus");
  resolve(loaded, f.PQsendPrepare, "PQsendPrepare");
  resolve(loaded, f.PQsendQuery, "PQsendQuery");
  resolve(loaded, f.PQsendQueryParams, "PQsendQueryParams");
  resolve(loaded, f.PQsendQueryPrepared, "PQsendQueryPrepared");
  resolve(loaded, f.PQsetNoticeProcessor, "PQsetNoticeProcessor");
  resolve(loaded, f.PQsocket, "PQsocket");
  resolve(loaded, f.PQstatus, "PQstatus");
  resolve(loaded, f.PQtransactionStatus, "PQtransactionStatus");
  return loaded;
}

}  // namespace

const Libpq& libpq() {
  static const Loaded loaded = load();
  if (!loaded.failure.empty()) {
    throw StoreError("libpq.so.5",
                     "no se pudo cargar la biblioteca cliente de PostgreSQL (" + loaded.failure +
                         "); instale el paquete libpq5 para trabajar con un servidor");
  }
  return loaded.functions;
}

}  // namespace store
