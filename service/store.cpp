#include "store.h"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace zelko_service {
namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
  }
  return Statement(raw);
}

void Bind(sqlite3_stmt* s, int index, const std::string& text) {
  sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string Column(sqlite3_stmt* s, int index) {
  const unsigned char* text = sqlite3_column_text(s, index);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(s, index)));
}

void Step(sqlite3* db, sqlite3_stmt* s) {
  if (sqlite3_step(s) != SQLITE_DONE) {
    throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
  }
}

}  // namespace

Store::Store(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw std::runtime_error("cannot open " + path + ": " + message);
  }
  sqlite3_busy_timeout(db_, 2000);
  Execute(
      "CREATE TABLE IF NOT EXISTS signals ("
      " id INTEGER PRIMARY KEY AUTOINCREMENT,"
      " received TEXT NOT NULL DEFAULT (datetime('now')),"
      " clock TEXT NOT NULL, login TEXT NOT NULL, path TEXT NOT NULL);"
      "CREATE TABLE IF NOT EXISTS signal_values ("
      " signal_id INTEGER NOT NULL REFERENCES signals(id), position INTEGER NOT NULL,"
      " key TEXT NOT NULL, value TEXT NOT NULL, PRIMARY KEY (signal_id, position));"
      "CREATE TABLE IF NOT EXISTS sessions ("
      " token TEXT PRIMARY KEY, login TEXT NOT NULL,"
      " created TEXT NOT NULL DEFAULT (datetime('now')));");
}

Store::~Store() {
  sqlite3_close(db_);
}

void Store::Execute(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error("sqlite: " + message);
  }
}

long long Store::AddSignal(const Signal& signal) {
  std::lock_guard lock(mutex_);
  Execute("BEGIN");
  try {
    auto insert = Prepare(db_, "INSERT INTO signals (clock, login, path) VALUES (?, ?, ?)");
    Bind(insert.get(), 1, signal.clock);
    Bind(insert.get(), 2, signal.login);
    Bind(insert.get(), 3, signal.path);
    Step(db_, insert.get());
    const long long id = sqlite3_last_insert_rowid(db_);
    auto value = Prepare(
        db_, "INSERT INTO signal_values (signal_id, position, key, value) VALUES (?, ?, ?, ?)");
    int position = 0;
    for (const auto& [key, text] : signal.values) {
      sqlite3_reset(value.get());
      sqlite3_bind_int64(value.get(), 1, id);
      sqlite3_bind_int(value.get(), 2, position++);
      Bind(value.get(), 3, key);
      Bind(value.get(), 4, text);
      Step(db_, value.get());
    }
    Execute("COMMIT");
    return id;
  } catch (...) {
    Execute("ROLLBACK");
    throw;
  }
}

std::vector<Signal> Store::LatestSignals(int limit) const {
  std::lock_guard lock(mutex_);
  std::vector<Signal> signals;
  auto select = Prepare(db_,
                        "SELECT id, received, clock, login, path FROM signals"
                        " ORDER BY id DESC LIMIT ?");
  sqlite3_bind_int(select.get(), 1, limit);
  while (sqlite3_step(select.get()) == SQLITE_ROW) {
    Signal s;
    s.id = sqlite3_column_int64(select.get(), 0);
    s.received = Column(select.get(), 1);
    s.clock = Column(select.get(), 2);
    s.login = Column(select.get(), 3);
    s.path = Column(select.get(), 4);
    signals.push_back(std::move(s));
  }
  auto values = Prepare(db_,
                        "SELECT key, value FROM signal_values WHERE signal_id = ?"
                        " ORDER BY position");
  for (Signal& s : signals) {
    sqlite3_reset(values.get());
    sqlite3_bind_int64(values.get(), 1, s.id);
    while (sqlite3_step(values.get()) == SQLITE_ROW) {
      s.values.emplace_back(Column(values.get(), 0), Column(values.get(), 1));
    }
  }
  return signals;
}

long long Store::SignalCount() const {
  std::lock_guard lock(mutex_);
  auto count = Prepare(db_, "SELECT count(*) FROM signals");
  return sqlite3_step(count.get()) == SQLITE_ROW ? sqlite3_column_int64(count.get(), 0) : 0;
}

void Store::AddSession(const std::string& token, const std::string& login) {
  std::lock_guard lock(mutex_);
  auto insert = Prepare(db_, "INSERT OR REPLACE INTO sessions (token, login) VALUES (?, ?)");
  Bind(insert.get(), 1, token);
  Bind(insert.get(), 2, login);
  Step(db_, insert.get());
}

std::string Store::SessionLogin(const std::string& token) const {
  std::lock_guard lock(mutex_);
  auto select = Prepare(db_, "SELECT login FROM sessions WHERE token = ?");
  Bind(select.get(), 1, token);
  return sqlite3_step(select.get()) == SQLITE_ROW ? Column(select.get(), 0) : std::string{};
}

}  // namespace zelko_service
