// The reply reader: records cut from a reply and every element of every record read, each
// compared with the plain first-occurrence search of ReadTag.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "feed/records.h"
#include "feed/text.h"
#include "fuzz_support.h"

namespace {

using zelko::fuzz::Require;

// The cut as a loop of plain searches: from each "<match>" to the first "</match>" after it.
std::vector<std::string_view> CutBySearch(std::string_view reply) {
  std::vector<std::string_view> records;
  std::string_view rest = reply;
  while (true) {
    const std::size_t open = rest.find("<match>");
    if (open == std::string_view::npos) break;
    rest.remove_prefix(open);
    std::string value;
    if (!zelko::ReadTag(rest, "match", value)) break;
    const std::size_t close = rest.find("</match>");
    records.push_back(rest.substr(7, close - 7));
    Require(records.back() == value, "record text differs from ReadTag");
    rest.remove_prefix(close + 3);
  }
  return records;
}

// Every name that stands in a marker "<name>" of the text, plus a few that never do.
std::set<std::string, std::less<>> NamesIn(std::string_view text) {
  std::set<std::string, std::less<>> names{"",      "id", "s1",  "score", "score1",
                                           "match", "<",  "a>b", "/id"};
  std::size_t pos = text.find('<');
  while (pos != std::string_view::npos && names.size() < 256) {
    const std::size_t end = text.find('>', pos + 1);
    if (end == std::string_view::npos) break;
    std::string name(text.substr(pos + 1, end - pos - 1));
    if (!name.empty() && name.front() == '/') names.insert(name.substr(1));
    names.insert(std::move(name));
    pos = text.find('<', pos + 1);
  }
  return names;
}

void CheckRecord(std::string_view text, int depth) {
  const zelko::RecordReader reader(text);
  for (const std::string& name : NamesIn(text)) {
    std::string expected = "\x7f untouched";
    const bool found = zelko::ReadTag(text, name, expected);
    Require(reader.Has(name) == found, "Has disagrees with ReadTag", name);
    const std::string_view got = reader.Get(name);
    if (found) {
      Require(got == expected, "Get disagrees with ReadTag", name);
      Require(got.empty() || (got.data() >= text.data() &&
                              got.data() + got.size() <= text.data() + text.size()),
              "a value outside its record", name);
    } else {
      Require(got.empty(), "a missing element does not read as empty", name);
      Require(expected == "\x7f untouched", "ReadTag wrote without finding", name);
    }
    // Nested elements are read again the same way.
    if (found && depth < 2 && got.find('<') != std::string_view::npos) CheckRecord(got, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply = zelko::fuzz::AsText(data, size);
  const std::vector<std::string_view> records = zelko::CutRecords(reply);
  const std::vector<std::string_view> expected = CutBySearch(reply);
  Require(records == expected, "CutRecords disagrees with the search loop");
  for (const std::string_view record : records) CheckRecord(record, 0);
  // A whole reply read as one record must agree as well.
  if (size < 4096) CheckRecord(reply, 1);
  return 0;
}
