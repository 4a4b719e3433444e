#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelko {

// The most match records one reply is read for. A busy day lists a few thousand matches; what a
// reply holds beyond this is not read, so no reply can grow the boards without bound.
inline constexpr std::size_t kMaxRecordsPerReply = 10'000;

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
  // A name met as an opening marker, with where its value starts and, once met, where the
  // first closing marker after that starts.
  struct Tag {
    std::string_view name;
    std::size_t valueStart;
    std::size_t valueEnd;  // kNoClose until the closing marker is met
  };
  static constexpr std::size_t kNoClose = static_cast<std::size_t>(-1);

  // A place of the open-addressing table over tags_: the tag's index + 1 (0 for an empty
  // place) and its name's hash, so that a probe compares names only when the hashes agree.
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t hash = 0;
  };

  // The slot holding the tag of `name`, or the empty slot where it would go.
  std::size_t SlotOf(std::string_view name, std::uint32_t hash) const;
  void Opened(std::string_view name, std::uint32_t hash, std::size_t valueStart);
  void Closed(std::string_view name, std::uint32_t hash, std::size_t closeStart);
  void Grow();
  std::optional<std::string_view> Lookup(std::string_view name) const;

  std::string_view text_;
  std::vector<Tag> tags_;    // in the order their names were first opened
  std::vector<Slot> slots_;  // kept at most half full; a power of two in size
};

}  // namespace zelko
