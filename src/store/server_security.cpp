#include "store/server_security.h"

#include "store/archive.h"
#include "store/connection.h"
#include "store/error.h"
#include "store/postgres_statement.h"
#include "store/schema.h"

namespace store {
namespace {

// Each action's rows are logged in one statement, from the statement's own set of rows, so
// that a purge of many records writes its log at the pace of the purge.
constexpr const char* kAuditLogStatements[] = {
    "CREATE TABLE IF NOT EXISTS bitacora (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
    "momento timestamptz NOT NULL DEFAULT clock_timestamp(), rol text NOT NULL DEFAULT "
    "session_user, equipo text NOT NULL DEFAULT coalesce(host(inet_client_addr()), 'local'), "
    "programa text NOT NULL DEFAULT current_setting('application_name'), accion text NOT NULL, "
    "consec bigint NOT NULL, cve_del integer, antes jsonb, despues jsonb)",
    "CREATE INDEX IF NOT EXISTS bitacora_delegacion ON bitacora (cve_del, momento)",
    "CREATE OR REPLACE FUNCTION tarvel_bitacora_alta() RETURNS trigger LANGUAGE plpgsql "
    "SECURITY DEFINER SET search_path = public AS $$ BEGIN INSERT INTO bitacora (accion, consec, "
    "cve_del, despues) SELECT 'alta', n.consec, n.cve_del, to_jsonb(n) FROM nuevos AS n; "
    "RETURN NULL; END $$",
    "CREATE OR REPLACE FUNCTION tarvel_bitacora_cambio() RETURNS trigger LANGUAGE plpgsql "
    "SECURITY DEFINER SET search_path = public AS $$ BEGIN INSERT INTO bitacora (accion, consec, "
    "cve_del, antes, despues) SELECT 'cambio', n.consec, n.cve_del, to_jsonb(v), to_jsonb(n) "
    "FROM nuevos AS n JOIN viejos AS v ON v.consec = n.consec; RETURN NULL; END $$",
    "CREATE OR REPLACE FUNCTION tarvel_bitacora_baja() RETURNS trigger LANGUAGE plpgsql "
    "SECURITY DEFINER SET search_path = public AS $$ BEGIN INSERT INTO bitacora (accion, consec, "
    "cve_del, antes) SELECT 'baja', v.consec, v.cve_del, to_jsonb(v) FROM viejos AS v; "
    "RETURN NULL; END $$",
    "CREATE OR REPLACE TRIGGER reg_pre_bitacora_alta AFTER INSERT ON reg_pre REFERENCING NEW "
    "TABLE AS nuevos FOR EACH STATEMENT EXECUTE FUNCTION tarvel_bitacora_alta()",
    "CREATE OR REPLACE TRIGGER reg_pre_bitacora_cambio AFTER UPDATE ON reg_pre REFERENCING OLD "
    "TABLE AS viejos NEW TABLE AS nuevos FOR EACH STATEMENT EXECUTE FUNCTION "
    "tarvel_bitacora_cambio()",
    "CREATE OR REPLACE TRIGGER reg_pre_bitacora_baja AFTER DELETE ON reg_pre REFERENCING OLD "
    "TABLE AS viejos FOR EACH STATEMENT EXECUTE FUNCTION tarvel_bitacora_baja()",
    // Only the owner's functions write the log; nobody changes or deletes a row of it.
    "REVOKE ALL ON bitacora FROM PUBLIC",
};

// The table of roles and their delegations, kept by the database's owner: a station reads its
// own row and cannot change any.
constexpr const char* kRoleStatements[] = {
    "CREATE TABLE IF NOT EXISTS delegacion_rol (rol name PRIMARY KEY, cve_del integer)",
    "REVOKE ALL ON delegacion_rol FROM PUBLIC",
    "ALTER TABLE delegacion_rol ENABLE ROW LEVEL SECURITY",
    "DROP POLICY IF EXISTS propio ON delegacion_rol",
    "CREATE POLICY propio ON delegacion_rol FOR SELECT USING (rol = current_user)",
    "CREATE OR REPLACE FUNCTION tarvel_delegacion(quien name) RETURNS integer LANGUAGE sql "
    "STABLE SECURITY DEFINER SET search_path = public AS $$ SELECT cve_del FROM delegacion_rol "
    "WHERE rol = quien AND cve_del IS NOT NULL $$",
};

std::vector<std::string> heldTables() {
  return {"reg_pre", std::string(kArchiveTableName), "bitacora"};
}

// The policies of the tables held by delegation are written from the table of roles, by the
// database itself whenever that table changes: one policy per delegation, naming its roles and
// comparing `cve_del` with the delegation's number, and one for the national roles, reading.
// A statement's delegation is then settled when it is planned, from the session's role. A
// policy that looked the role up in the table while the statement ran cost every statement
// that lookup, and a station's statements are small: reading a record by its key took about
// twice as long as with a policy that compares with a number.
std::vector<std::string> policyStatements() {
  std::string tables;
  for (const std::string& table : heldTables()) {
    tables += (tables.empty() ? "lower('" : ", lower('") + table + "')";
  }
  return {
      "CREATE OR REPLACE FUNCTION tarvel_politicas() RETURNS void LANGUAGE plpgsql "
      "SET search_path = public AS $$\n"
      "DECLARE tabla text; politica record;\n"
      "BEGIN\n"
      "  FOREACH tabla IN ARRAY ARRAY[" +
          tables +
          "] LOOP\n"
          "    FOR politica IN SELECT policyname FROM pg_policies WHERE schemaname = "
          "current_schema() AND tablename = tabla AND (policyname LIKE 'delegacion%' OR "
          "policyname = 'nacional') LOOP\n"
          "      EXECUTE format('DROP POLICY %I ON %I', politica.policyname, tabla);\n"
          "    END LOOP;\n"
          "    FOR politica IN SELECT d.cve_del, string_agg(quote_ident(d.rol), ', ' ORDER BY "
          "d.rol) AS roles FROM delegacion_rol AS d JOIN pg_roles AS r ON r.rolname = d.rol "
          "GROUP BY d.cve_del LOOP\n"
          "      IF politica.cve_del IS NULL THEN\n"
          "        EXECUTE format('CREATE POLICY nacional ON %I FOR SELECT TO %s USING (true)', "
          "tabla, politica.roles);\n"
          "      ELSE\n"
          "        EXECUTE format('CREATE POLICY %I ON %I TO %s USING (cve_del = %s) WITH CHECK "
          "(cve_del = %s)', 'delegacion_' || politica.cve_del, tabla, politica.roles, "
          "politica.cve_del, politica.cve_del);\n"
          "      END IF;\n"
          "    END LOOP;\n"
          "  END LOOP;\n"
          "END $$",
      "CREATE OR REPLACE FUNCTION tarvel_politicas_al_cambiar() RETURNS trigger LANGUAGE plpgsql "
      "AS $$ BEGIN PERFORM tarvel_politicas(); RETURN NULL; END $$",
      "CREATE OR REPLACE TRIGGER delegacion_rol_politicas AFTER INSERT OR UPDATE OR DELETE OR "
      "TRUNCATE ON delegacion_rol FOR EACH STATEMENT EXECUTE FUNCTION "
      "tarvel_politicas_al_cambiar()",
      "SELECT tarvel_politicas()",
  };
}

// Forced row security on `table`, whose rows each belong to a delegation.
void holdByDelegation(Connection& server, const std::string& table) {
  server.runNative("ALTER TABLE " + table + " ENABLE ROW LEVEL SECURITY");
  server.runNative("ALTER TABLE " + table + " FORCE ROW LEVEL SECURITY");
  server.runNative("CREATE INDEX IF NOT EXISTS " + table + "_cve_del ON " + table + " (cve_del)");
}

void checkRoleName(const std::string& role) {
  const bool plain =
      !role.empty() && role.size() <= 63 &&
      role.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos &&
      !(role[0] >= '0' && role[0] <= '9');
  if (!plain) {
    throw StoreError(role,
                     "el nombre de un rol lleva solo minúsculas sin acento, cifras y _, y no "
                     "empieza con cifra");
  }
}

// The login role `role`, made when missing.
void ensureLoginRole(Connection& server, const std::string& role) {
  checkRoleName(role);
  if (server.runNative("SELECT 1 FROM pg_roles WHERE rolname = ?", Row{Value(role)}).empty()) {
    server.runNative("CREATE ROLE " + role + " LOGIN");
  }
  for (const std::string& table : tableNames()) {
    server.runNative("GRANT SELECT ON " + table + " TO " + role);
  }
  server.runNative("GRANT SELECT ON " + std::string(kArchiveTableName) +
                   ", bitacora, delegacion_rol TO " + role);
}

void mapRole(Connection& server, const std::string& role, std::optional<int> delegation) {
  server.runNative(
      "INSERT INTO delegacion_rol (rol, cve_del) VALUES (?, ?) ON CONFLICT (rol) DO UPDATE "
      "SET cve_del = excluded.cve_del",
      Row{Value(role), delegation ? Value(std::int64_t{*delegation}) : Value()});
}

}  // namespace

void createAuditLog(Connection& server) {
  for (const char* statement : kAuditLogStatements) server.runNative(statement);
}

void prepareServer(Connection& server) {
  if (server.backend() != Backend::PostgreSQL) {
    throw StoreError("servidor", "solo una base de datos de un servidor se prepara así");
  }
  server.transaction(
      [&] {
        createAuditLog(server);
        createArchiveTable(server);
        for (const char* statement : kRoleStatements) server.runNative(statement);
        // Roles mapped by an earlier preparation read their own row too.
        for (const ServerRole& role : serverRoles(server)) {
          server.runNative("GRANT SELECT ON delegacion_rol TO " + role.role);
        }
        // Each station's role keeps its own row of Config.
        server.runNative(
            "ALTER TABLE config ADD COLUMN IF NOT EXISTS rol name NOT NULL DEFAULT current_user");
        server.runNative("ALTER TABLE config ENABLE ROW LEVEL SECURITY");
        server.runNative("ALTER TABLE config FORCE ROW LEVEL SECURITY");
        server.runNative("DROP POLICY IF EXISTS estacion ON config");
        server.runNative(
            "CREATE POLICY estacion ON config USING (rol = current_user) WITH CHECK (rol = "
            "current_user)");
        for (const std::string& table : heldTables()) holdByDelegation(server, table);
        for (const std::string& statement : policyStatements()) server.runNative(statement);
        // The log's rows come only from the owner's functions, which the policy lets in.
        server.runNative("DROP POLICY IF EXISTS registro ON bitacora");
        server.runNative("CREATE POLICY registro ON bitacora FOR INSERT WITH CHECK (true)");
        // The catalogues are read, never written, by the stations.
        for (const std::string& table : tableNames()) {
          server.runNative("REVOKE INSERT, UPDATE, DELETE, TRUNCATE ON " + table + " FROM PUBLIC");
        }
      },
      TransactionKind::Write);
}

void addDelegationRole(Connection& server, int delegation, const std::string& role) {
  server.transaction(
      [&] {
        ensureLoginRole(server, role);
        server.runNative("GRANT INSERT, UPDATE, DELETE ON reg_pre, config, " +
                         std::string(kArchiveTableName) + " TO " + role);
        // The record key's counter, which the key's trigger also reads.
        server.runNative("GRANT USAGE, SELECT ON SEQUENCE reg_pre_consec_seq TO " + role);
        mapRole(server, role, delegation);
      },
      TransactionKind::Write);
}

void addNationalRole(Connection& server, const std::string& role) {
  server.transaction(
      [&] {
        ensureLoginRole(server, role);
        mapRole(server, role, std::nullopt);
      },
      TransactionKind::Write);
}

std::vector<ServerRole> serverRoles(Connection& server) {
  std::vector<ServerRole> roles;
  for (const Row& row : server.runNative(
           "SELECT rol, cve_del FROM delegacion_rol ORDER BY cve_del NULLS FIRST, rol", Row{})) {
    roles.push_back({row[0].asText(),
                     row[1].isNull() ? std::nullopt
                                     : std::optional<int>(static_cast<int>(row[1].asInteger()))});
  }
  return roles;
}

bool isPreparedServer(Connection& connection) {
  if (connection.backend() != Backend::PostgreSQL) return false;
  const Rows prepared =
      connection.runNative("SELECT to_regprocedure('tarvel_delegacion(name)') IS NOT NULL", Row{});
  return !prepared.empty() && prepared[0][0].asInteger() != 0;
}

std::optional<int> sessionDelegation(Connection& connection) {
  if (!isPreparedServer(connection)) return std::nullopt;
  const Rows found = connection.runNative("SELECT tarvel_delegacion(current_user)", Row{});
  if (found.empty() || found[0][0].isNull()) return std::nullopt;
  return static_cast<int>(found[0][0].asInteger());
}

}  // namespace store
