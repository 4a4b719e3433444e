#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/main_form.h"

namespace zelko::cli {

// One line of a script: what the user did.
struct Command {
  enum class Kind {
    Type,          // type loginedit|passedit|filtr TEXT
    Choose,        // choose sort TEXT
    Click,         // click CONTROL
    CellClick,     // click RX|RX2|RX3 COL ROW
    CellDblClick,  // dblclick RX|RX2|RX3 COL ROW
    Tick,          // tick Timer1|Timer2 [N]
    DumpGrid,      // dump RX|RX2|RX3|SBX|LiveGrid|LiveStatGrid
    DumpForm,      // dump form
  };
  Kind kind = Kind::DumpForm;
  std::string target;  // the control, grid or timer
  std::string text;    // TEXT of type and choose
  int column = 0;
  int row = 0;
  std::int64_t count = 1;  // ticks
};

// Blank lines and lines starting with "#" are no commands.
bool IsSkippedLine(std::string_view line);
// The command of a line (a trailing CR is ignored), or nothing when the line cannot be read.
std::optional<Command> ParseCommand(std::string_view line);

// Drives one form with commands and prints what the contract asks for on `out`; notes for the
// person running the script go to `err`.
class ScriptRunner {
 public:
  ScriptRunner(MainForm& form, std::ostream& out, std::ostream& err);

  // Runs FormCreate, then every command of `in` until its end or until the main window closes.
  // Gives the exit status: 0, or 2 for a line that cannot be read (named on `err`).
  int Run(std::istream& in);
  // One command; the form's creation step must have run.
  void Execute(const Command& command, long lineNumber);

 private:
  void Click(const std::string& control);
  void Cell(const Command& command, long lineNumber);
  void Tick(const Command& command);
  GridTable* Grid(const std::string& name);

  MainForm& form_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace zelko::cli
