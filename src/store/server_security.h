#pragma once

#include <optional>
#include <string>
#include <vector>

namespace store {

class Connection;

// The audit log of a server database: every insert, change and delete of a record, written
// by the database itself (the moment, the session's role, the client's address and program,
// the action, the record's key and delegation, its values before and after). Made with the
// program's tables on a server, and by a preparation of an older one; running it again
// changes nothing.
inline constexpr const char* kAuditLogTable = "Bitacora";
void createAuditLog(Connection& server);

// Prepares a server database for several delegations: forced row security on the records,
// the archive, Config and the audit log, each delegation's role seeing and writing only its
// own rows, a national role reading every row and writing none, the catalogues read-only for
// both. Running it again changes nothing. Throws StoreError naming what failed.
void prepareServer(Connection& server);
// The login role `role` (made when missing, without a password) for delegation `delegation`.
void addDelegationRole(Connection& server, int delegation, const std::string& role);
// The login role `role` (made when missing) that reads every delegation and writes nothing.
void addNationalRole(Connection& server, const std::string& role);

struct ServerRole {
  std::string role;
  std::optional<int> delegation;  // none: the national role
};
std::vector<ServerRole> serverRoles(Connection& server);

// Whether `connection` is to a server prepared for several delegations.
bool isPreparedServer(Connection& connection);

// The delegation the session's role belongs to on a prepared server; none on a server that
// was not prepared, for the national role, and on a file.
std::optional<int> sessionDelegation(Connection& connection);

}  // namespace store
