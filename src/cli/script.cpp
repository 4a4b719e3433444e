#include "cli/script.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <vector>

#include "cli/dump.h"

namespace zelko::cli {

namespace {

// Largest tick count one command may ask for: far beyond any schedule, small enough to check.
inline constexpr std::int64_t kMaxTicks = 100'000'000;

std::string_view WithoutCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// Tokens split at single spaces; `rest` is what follows the first `count` tokens and their
// separating space (empty when the line ends there).
struct Split {
  std::vector<std::string_view> tokens;
  std::string_view rest;
};

Split SplitTokens(std::string_view line, std::size_t count) {
  Split split;
  std::size_t start = 0;
  while (split.tokens.size() < count) {
    const std::size_t space = line.find(' ', start);
    if (space == std::string_view::npos) {
      split.tokens.push_back(line.substr(start));
      return split;
    }
    split.tokens.push_back(line.substr(start, space - start));
    start = space + 1;
  }
  split.rest = line.substr(start);
  return split;
}

std::vector<std::string_view> AllTokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t start = 0;
  while (true) {
    const std::size_t space = line.find(' ', start);
    tokens.push_back(line.substr(start, space == std::string_view::npos ? space : space - start));
    if (space == std::string_view::npos) return tokens;
    start = space + 1;
  }
}

template <typename Int>
std::optional<Int> ParseCount(std::string_view text, Int max) {
  if (text.empty()) return std::nullopt;
  Int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > max) {
    return std::nullopt;
  }
  return value;
}

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N>& words) {
  for (const std::string_view w : words) {
    if (word == w) return true;
  }
  return false;
}

constexpr std::array<std::string_view, 14> kControls = {
    "zap",      "auto",  "checker1", "checker2", "checker3", "checker4", "checker5",
    "checker6", "LOGIN", "ar",       "SAVE",     "option",   "livetime", "livetime2"};
constexpr std::array<std::string_view, 3> kTypeBoxes = {"loginedit", "passedit", "filtr"};
constexpr std::array<std::string_view, 3> kClickGrids = {"RX", "RX2", "RX3"};
constexpr std::array<std::string_view, 2> kTimers = {"Timer1", "Timer2"};
constexpr std::array<std::string_view, 6> kDumpGrids = {"RX",  "RX2",      "RX3",
                                                        "SBX", "LiveGrid", "LiveStatGrid"};

}  // namespace

bool IsSkippedLine(std::string_view line) {
  line = WithoutCarriageReturn(line);
  if (line.find_first_not_of(" \t") == std::string_view::npos) return true;
  return line.front() == '#';
}

std::optional<Command> ParseCommand(std::string_view line) {
  line = WithoutCarriageReturn(line);
  Command command;

  // The two commands with a free text at the end.
  const Split head = SplitTokens(line, 2);
  if (head.tokens.size() == 2 || !head.rest.empty()) {
    const std::string_view verb = head.tokens[0];
    const std::string_view target = head.tokens.size() > 1 ? head.tokens[1] : "";
    if (verb == "type" && OneOf(target, kTypeBoxes)) {
      command.kind = Command::Kind::Type;
      command.target = target;
      command.text = head.rest;
      return command;
    }
    if (verb == "choose" && target == "sort") {
      command.kind = Command::Kind::Choose;
      command.target = target;
      command.text = head.rest;
      return command;
    }
  }

  const std::vector<std::string_view> tokens = AllTokens(line);
  const std::string_view verb = tokens[0];
  if (verb == "click" && tokens.size() == 2 && OneOf(tokens[1], kControls)) {
    command.kind = Command::Kind::Click;
    command.target = tokens[1];
    return command;
  }
  if ((verb == "click" || verb == "dblclick") && tokens.size() == 4 &&
      OneOf(tokens[1], kClickGrids)) {
    const auto column = ParseCount<int>(tokens[2], 1'000'000);
    const auto row = ParseCount<int>(tokens[3], 1'000'000'000);
    if (!column || !row) return std::nullopt;
    command.kind = verb == "click" ? Command::Kind::CellClick : Command::Kind::CellDblClick;
    command.target = tokens[1];
    command.column = *column;
    command.row = *row;
    return command;
  }
  if (verb == "tick" && (tokens.size() == 2 || tokens.size() == 3) && OneOf(tokens[1], kTimers)) {
    command.kind = Command::Kind::Tick;
    command.target = tokens[1];
    if (tokens.size() == 3) {
      const auto count = ParseCount<std::int64_t>(tokens[2], kMaxTicks);
      if (!count) return std::nullopt;
      command.count = *count;
    }
    return command;
  }
  if (verb == "dump" && tokens.size() == 2) {
    if (tokens[1] == "form") {
      command.kind = Command::Kind::DumpForm;
      command.target = "form";
      return command;
    }
    if (OneOf(tokens[1], kDumpGrids)) {
      command.kind = Command::Kind::DumpGrid;
      command.target = tokens[1];
      return command;
    }
  }
  return std::nullopt;
}

ScriptRunner::ScriptRunner(MainForm& form, std::ostream& out, std::ostream& err)
    : form_(form), out_(out), err_(err) {}

int ScriptRunner::Run(std::istream& in) {
  form_.FormCreate();
  std::string line;
  long lineNumber = 0;
  while (!form_.Closed() && std::getline(in, line)) {
    ++lineNumber;
    if (IsSkippedLine(line)) continue;
    const std::optional<Command> command = ParseCommand(line);
    if (!command) {
      err_ << "zelko-cli: line " << lineNumber << ": cannot read the command: " << line << '\n'
           << std::flush;
      return 2;
    }
    Execute(*command, lineNumber);
  }
  return 0;
}

void ScriptRunner::Execute(const Command& command, long lineNumber) {
  switch (command.kind) {
    case Command::Kind::Type:
      if (command.target == "loginedit") {
        form_.SetLoginText(command.text);
      } else if (command.target == "passedit") {
        form_.SetPasswordText(command.text);
      } else {
        form_.filtrChange(command.text);
      }
      return;
    case Command::Kind::Choose:
      form_.sortChange(command.text);
      return;
    case Command::Kind::Click:
      Click(command.target);
      return;
    case Command::Kind::CellClick:
    case Command::Kind::CellDblClick:
      Cell(command, lineNumber);
      return;
    case Command::Kind::Tick:
      Tick(command);
      return;
    case Command::Kind::DumpGrid:
      out_ << JsonLine(GridJson(*Grid(command.target))) << '\n' << std::flush;
      return;
    case Command::Kind::DumpForm:
      out_ << JsonLine(FormJson(form_)) << '\n' << std::flush;
      return;
  }
}

void ScriptRunner::Click(const std::string& control) {
  if (control == "zap") return form_.zapClick();
  if (control == "auto") return form_.autoClick();
  if (control == "checker5") return form_.checker5Click();
  if (control == "checker6") return form_.checker6Click();
  if (control.rfind("checker", 0) == 0) return form_.StatusBoxClick(control.back() - '0');
  if (control == "LOGIN") return form_.spSkinXFormButton7Click();
  if (control == "ar") return form_.arClick();
  if (control == "SAVE") return form_.spSkinXFormButton1Click();
  if (control == "option") return form_.spSkinXFormButton2Click();
  if (control == "livetime") return form_.livetimeClick();
  if (control == "livetime2") return form_.livetime2Click();
}

void ScriptRunner::Cell(const Command& command, long lineNumber) {
  GridTable& grid = *Grid(command.target);
  if (command.column >= grid.ColumnCount() || command.row >= grid.RowCount()) {
    // A window has no cell there to click: the click falls on nothing.
    err_ << "zelko-cli: line " << lineNumber << ": " << command.target << " has no cell ("
         << command.column << ", " << command.row << "); the click is dropped\n"
         << std::flush;
    return;
  }
  const bool dbl = command.kind == Command::Kind::CellDblClick;
  if (command.target == "RX") {
    if (dbl) form_.RXCellDblClick(command.column, command.row);
  } else if (command.target == "RX2") {
    dbl ? form_.RX2CellDblClick(command.column, command.row)
        : form_.RX2CellClick(command.column, command.row);
  } else {
    dbl ? form_.RX3CellDblClick(command.column, command.row)
        : form_.RX3CellClick(command.column, command.row);
  }
}

void ScriptRunner::Tick(const Command& command) {
  const bool live = command.target == "Timer1";
  for (std::int64_t i = 0; i < command.count && !form_.Closed(); ++i) {
    // A disabled timer delivers nothing: its tick is dropped.
    if (live) {
      if (form_.Timer1().enabled) form_.Timer1Timer();
    } else {
      if (form_.Timer2().enabled) form_.Timer2Timer();
    }
  }
}

GridTable* ScriptRunner::Grid(const std::string& name) {
  if (name == "RX") return &form_.RX();
  if (name == "RX2") return &form_.RX2();
  if (name == "RX3") return &form_.RX3();
  if (name == "SBX") return &form_.SBX();
  if (name == "LiveGrid") return &form_.LiveGrid();
  if (name == "LiveStatGrid") return &form_.LiveStatGrid();
  throw std::invalid_argument("No grid " + name);
}

}  // namespace zelko::cli
