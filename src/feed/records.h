#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelko {

// Cuts a feed reply into the texts of its match records, in reply order: each text stands
// between an opening "<match>" and the next "</match>". A record without its closing marker,
// and everything outside records, is ignored. One pass over the reply.
std::vector<std::string_view> CutRecords(std::string_view reply);

// Reads the elements of one record (or of a nested element's text) with the first-occurrence
// rules of ReadTag: the value of a name is the text between its first "<name>" and the first
// "</name>" after that. A missing element reads as empty. The text is indexed once on
// construction, so reading many names costs one pass over the text, not one per name.
class RecordReader {
 public:
  explicit RecordReader(std::string_view text);

  // The element's value, or an empty view when the record lacks it.
  std::string_view Get(std::string_view name) const;
  // Whether ReadTag would find the element at all.
  bool Has(std::string_view name) const;
  std::string Text(std::string_view name) const { return std::string(Get(name)); }

 private:
  struct Tag {
    std::string_view name;
    std::size_t firstOpenEnd;                // position just past the first "<name>"
    std::vector<std::size_t> closingStarts;  // every "</name>", ascending
    bool opened = false;
  };
  const Tag* Find(std::string_view name) const;
  std::optional<std::string_view> Lookup(std::string_view name) const;

  std::string_view text_;
  std::vector<Tag> tags_;  // sorted by name after construction
};

}  // namespace zelko
