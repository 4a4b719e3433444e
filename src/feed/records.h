#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "feed/codec.h"
#include "feed/prefetch.h"

namespace zelko {

// The most match records one reply is read for. A busy day lists a few thousand matches; what a
// reply holds beyond this is not read, so no reply can grow the boards without bound.
inline constexpr std::size_t kMaxRecordsPerReply = 10'000;

// Cuts a feed reply into the texts of its match records, in reply order: each text stands
// between an opening "<match>" and the next "</match>". A record without its closing marker,
// and everything outside records, is ignored. One pass over the reply.
std::vector<std::string_view> CutRecords(std::string_view reply);

// One record as CutRecords cuts it: its text, and where the search for the next one goes on.
struct CutRecord {
  std::string_view text;
  std::size_t next = 0;
};
// The first record of the reply at or after `at`, or nothing.
std::optional<CutRecord> NextRecord(std::string_view reply, std::size_t at);

// The records of a reply as the service sends it, in Windows-1251, handed to `take` one at a
// time, each decoded to UTF-8: the records and texts CutRecords gives for the decoded reply.
// (The markers are ASCII, and no byte of Windows-1251 decodes to a marker's byte unless it is
// that very ASCII byte, so the reply is cut the same before its decoding as after.) Decoding a
// record just as it is cut reads a large reply from memory once instead of once a pass. The
// text handed on lives until `take` returns.
//
// `ahead` is shown each record's text, still undecoded, while the record before it is still to
// be taken: a loop over records whose rows lie scattered over a large board brings a record's
// row into the cache there, so that it has come from memory by the time the record is taken.
// `farAhead` is shown each record's text one record earlier still (before `ahead`), for a loop
// that needs two steps to bring a row in: the place of the row in an index, then the row.
template <typename Take, typename Ahead, typename FarAhead>
void ForEachRecord(std::string_view cp1251Reply, Take&& take, Ahead&& ahead, FarAhead&& farAhead) {
  std::string buffer;
  // The record to be taken, the one after it, and the one after that, each cut once; none
  // beyond the bound is cut or shown.
  std::optional<CutRecord> record = NextRecord(cp1251Reply, 0);
  std::optional<CutRecord> next;
  if (record && 1 < kMaxRecordsPerReply) {
    next = NextRecord(cp1251Reply, record->next);
    if (next) farAhead(next->text);
  }
  for (std::size_t taken = 0; record && taken < kMaxRecordsPerReply; ++taken) {
    std::optional<CutRecord> later;
    if (next && taken + 2 < kMaxRecordsPerReply) {
      later = NextRecord(cp1251Reply, next->next);
      if (later) {
        farAhead(later->text);
        // The reply after it, for about a record's length: a large reply comes from memory,
        // and so it does while this record is taken rather than while the next one is cut.
        const std::size_t rest = cp1251Reply.size() - later->next;
        PrefetchBytes(cp1251Reply.data() + later->next, std::min(rest, later->text.size()));
      }
    }
    if (next) ahead(next->text);
    take(Cp1251ToUtf8(record->text, buffer));
    record = std::move(next);
    next = std::move(later);
  }
}

template <typename Take, typename Ahead>
void ForEachRecord(std::string_view cp1251Reply, Take&& take, Ahead&& ahead) {
  ForEachRecord(cp1251Reply, std::forward<Take>(take), std::forward<Ahead>(ahead),
                [](std::string_view) {});
}

template <typename Take>
void ForEachRecord(std::string_view cp1251Reply, Take&& take) {
  ForEachRecord(cp1251Reply, std::forward<Take>(take), [](std::string_view) {});
}

// Reads the elements of one record (or of a nested element's text) with the first-occurrence
// rules of ReadTag: the value of a name is the text between its first "<name>" and the first
// "</name>" after that. A missing element reads as empty. The text is indexed in one pass, made
// lazily: each read scans on only as far as its name needs (to the end of the text for a name
// that is missing), so reading many names costs one pass over the text, not one per name, and
// reading the first few costs a pass over the first part only. Reads index the text, so a
// reader (and the nested readers made from it) must not be read from two threads at once.
//
// A nested element's text is read with Nested, which indexes nothing: the record's pass has
// already met every marker of that text, so the nested reader answers from the record's index,
// taking only the markers that lie wholly inside its text.
class RecordReader {
 public:
  explicit RecordReader(std::string_view text);

  // A reader that indexes nothing and searches the text for each name it is asked for, as
  // ReadTag does: cheaper than the index when only a few names are read. Its nested readers
  // search too.
  static RecordReader Unindexed(std::string_view text);

  // A reader of the element's value, as RecordReader(Get(name)) reads it. It answers from this
  // reader's index, so this reader (or the one it was made from) must outlive it and stay put.
  RecordReader Nested(std::string_view name) const;

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
    std::uint64_t head;  // HeadOf(name)
    std::size_t valueStart;
    std::size_t valueEnd;  // kNoClose until the closing marker is met
  };
  static constexpr std::size_t kNoClose = static_cast<std::size_t>(-1);

  // One marker, in text order: where its '<' stands, where the text after its '>' starts, and
  // the tag of its name. A nested reader finds its values among the markers inside its text.
  struct Mark {
    std::size_t start;
    std::size_t end;
    std::uint32_t tag;
    bool closing;
  };

  // A nested reader's value of one tag: valueStart and valueEnd as in Tag.
  struct Span {
    std::size_t start = kNoClose;
    std::size_t end = kNoClose;
  };

  // A place of the open-addressing table over tags_: the tag's index + 1 (0 for an empty
  // place) and its name's hash, so that a probe compares names only when the hashes agree.
  struct Slot {
    std::uint32_t tag = 0;
    std::uint32_t hash = 0;
  };

  // A name's first bytes and its hash: names are told apart and hashed by them, a word at a
  // time, not a byte at a time.
  struct Key {
    std::uint64_t head = 0;
    std::uint32_t hash = 0;
  };
  static std::uint64_t HeadOf(const char* name, std::size_t size);
  static std::uint64_t HeadInText(std::string_view text, std::size_t start, std::size_t size);
  static std::uint32_t HashOf(std::string_view name, std::uint64_t head);
  static Key KeyOf(std::string_view name);
  static bool SameName(std::string_view a, std::uint64_t headA, std::string_view b,
                       std::uint64_t headB);

  // The slot holding the tag of `name`, or the empty slot where it would go.
  std::size_t SlotOf(std::string_view name, Key key) const;
  // Indexes markers on from where the pass stopped, until the value of `target` (when given)
  // is known, the next marker starts at or after `until`, or the text ends. Gives the target's
  // tag index + 1 when the scan found its value, else 0.
  std::uint32_t ScanUntil(const std::string_view* target, Key targetKey, std::size_t until) const;
  // The tag's index.
  std::uint32_t Opened(std::string_view name, Key key, std::size_t start,
                       std::size_t valueStart) const;
  // The tag index + 1 when the marker closed the name's value (the first closing marker after
  // its opening), else 0.
  std::uint32_t Closed(std::string_view name, Key key, std::size_t closeStart,
                       std::size_t end) const;
  void AddMark(std::uint32_t tag, std::size_t start, std::size_t end, bool closing) const;
  // A nested reader's values, from the root's markers wholly inside its text.
  void IndexNested() const;
  void Grow() const;
  std::optional<std::string_view> Lookup(std::string_view name) const;
  std::optional<std::string_view> LookupIndexed(std::string_view name) const;
  std::optional<std::string_view> LookupNested(std::string_view name) const;

  std::string_view text_;
  // For a nested reader: the reader that indexed the whole text, and where text_ starts in it.
  const RecordReader* root_ = nullptr;
  std::size_t offset_ = 0;
  bool unindexed_ = false;
  // The index, built as reads need it: the markers before scanned_ are in it.
  mutable std::size_t scanned_ = 0;
  mutable std::vector<Mark> marks_;  // in text order
  mutable std::vector<Tag> tags_;    // in the order their names were first opened
  mutable std::vector<Slot> slots_;  // kept at most half full; a power of two in size
  // A nested reader's values by the root's tag index, made at its first read.
  mutable std::vector<Span> nestedValues_;
  mutable bool nestedIndexed_ = false;
};

}  // namespace zelko
