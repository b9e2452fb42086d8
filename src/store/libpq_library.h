#pragma once

#include <libpq-fe.h>

namespace store {

// The PostgreSQL client library's functions, loaded on the first use of a server: a station
// that works on a file never loads it, nor the TLS, Kerberos and directory libraries it
// brings, which would lengthen every start.
struct Libpq {
  decltype(&::PQbackendPID) PQbackendPID = nullptr;
  decltype(&::PQclear) PQclear = nullptr;
  decltype(&::PQcmdTuples) PQcmdTuples = nullptr;
  decltype(&::PQconnectdbParams) PQconnectdbParams = nullptr;
  decltype(&::PQconninfoFree) PQconninfoFree = nullptr;
  decltype(&::PQconninfoParse) PQconninfoParse = nullptr;
  decltype(&::PQconsumeInput) PQconsumeInput = nullptr;
  decltype(&::PQerrorMessage) PQerrorMessage = nullptr;
  decltype(&::PQfinish) PQfinish = nullptr;
  decltype(&::PQfreemem) PQfreemem = nullptr;
  decltype(&::PQftype) PQftype = nullptr;
  decltype(&::PQgetResult) PQgetResult = nullptr;
  decltype(&::PQgetisnull) PQgetisnull = nullptr;
  decltype(&::PQgetlength) PQgetlength = nullptr;
  decltype(&::PQgetvalue) PQgetvalue = nullptr;
  decltype(&::PQisBusy) PQisBusy = nullptr;
  decltype(&::PQnfields) PQnfields = nullptr;
  decltype(&::PQntuples) PQntuples = nullptr;
  decltype(&::PQresultErrorField) PQresultErrorField = nullptr;
  decltype(&::PQresultStatus) PQresultStatus = nullptr;
  decltype(&::PQsendPrepare) PQsendPrepare = nullptr;
  decltype(&::PQsendQuery) PQsendQuery = nullptr;
  decltype(&::PQsendQueryParams) PQsendQueryParams = nullptr;
  decltype(&::PQsendQueryPrepared) PQsendQueryPrepared = nullptr;
  decltype(&::PQsetNoticeProcessor) PQsetNoticeProcessor = nullptr;
  decltype(&::PQsocket) PQsocket = nullptr;
  decltype(&::PQstatus) PQstatus = nullptr;
  decltype(&::PQtransactionStatus) PQtransactionStatus = nullptr;
};

// The loaded library; a StoreError says why it cannot be loaded.
const Libpq& libpq();

}  // namespace store
