#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "app/main_form.h"
#include "board/grid_table.h"

namespace zelko::cli {

// Keys stay in the order they are written, so that lines read well to a person too.
using Json = nlohmann::ordered_json;

// The JSON lines of the command-line twin. Kept apart from the command reader so that other
// front ends and their tests can print and compare the same shapes.

// {"grid":NAME,"rows":R,"columns":C,"visible":[...],"cells":[[{"text","color","hint"}...]...]}
// with "image" in image columns and "checked" in check-box columns.
Json GridJson(const GridTable& grid);
// {"form":{...}}: caption, frame, tabs, labels, timers, countdowns, gauge, panel and controls.
Json FormJson(const MainForm& form);

Json MessageEvent(const std::string& text);
Json OpenEvent(const std::string& target);
Json ErrorEvent(const std::string& text);
Json ClosedEvent();

// One line of output: compact, UTF-8 as it is, a broken byte sequence replaced rather than
// aborting the dump.
std::string JsonLine(const Json& value);

}  // namespace zelko::cli
