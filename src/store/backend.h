#pragma once

namespace store {

// Which engine holds the data.
enum class Backend { SQLite, PostgreSQL };

}  // namespace store
