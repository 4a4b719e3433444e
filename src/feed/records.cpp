#include "feed/records.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "feed/text.h"

namespace zelko {

namespace {
constexpr std::string_view kRecordOpen = "<match>";
constexpr std::string_view kRecordClose = "</match>";

}  // namespace

std::optional<CutRecord> NextRecord(std::string_view reply, std::size_t at) {
  // The markers are rare among the reply's many '<', so they are looked for by skipping
  // rather than by stopping at every '<'.
  const std::size_t open = FindText(reply, kRecordOpen, at);
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t valueStart = open + kRecordOpen.size();
  const std::size_t close = FindText(reply, kRecordClose, valueStart);
  // Without its closing marker the last record is cut off; it is dropped.
  if (close == std::string_view::npos) return std::nullopt;
  return CutRecord{reply.substr(valueStart, close - valueStart), close + kRecordClose.size()};
}

std::vector<std::string_view> CutRecords(std::string_view reply) {
  std::vector<std::string_view> records;
  std::size_t at = 0;
  while (records.size() < kMaxRecordsPerReply) {
    const std::optional<CutRecord> record = NextRecord(reply, at);
    if (!record) break;
    records.push_back(record->text);
    at = record->next;
  }
  return records;
}

namespace {

// '<' (0x3C) and '>' (0x3E) are the only bytes that give '>' with bit 1 set.
constexpr bool IsBracket(char c) {
  return (static_cast<unsigned char>(c) | 2u) == '>';
}

// Word-at-a-time search: the markers of a record stand a few bytes apart, too close for a
// memchr call to pay. A zero byte of `x` shows as the high bit of its byte in the result; the
// lowest such bit marks the first zero byte (the higher ones may be false alarms).
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t ZeroBytes(std::uint64_t x) {
  return (x - kOnes) & ~x & kHighBits;
}

std::uint64_t LoadWord(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The first '<' at or after `pos`, or `size`.
std::size_t FindOpening(const char* text, std::size_t pos, std::size_t size) {
  if constexpr (std::endian::native == std::endian::little) {
    for (; pos + 8 <= size; pos += 8) {
      const std::uint64_t found = ZeroBytes(LoadWord(text + pos) ^ (kOnes * '<'));
      if (found != 0) return pos + static_cast<std::size_t>(std::countr_zero(found) >> 3);
    }
  }
  while (pos < size && text[pos] != '<') ++pos;
  return pos;
}

// The first '<' or '>' at or after `pos`, or `size`.
std::size_t FindBracket(const char* text, std::size_t pos, std::size_t size) {
  if constexpr (std::endian::native == std::endian::little) {
    for (; pos + 8 <= size; pos += 8) {
      const std::uint64_t found = ZeroBytes((LoadWord(text + pos) | (kOnes * 2)) ^ (kOnes * '>'));
      if (found != 0) return pos + static_cast<std::size_t>(std::countr_zero(found) >> 3);
    }
  }
  while (pos < size && !IsBracket(text[pos])) ++pos;
  return pos;
}

// Whether the index may hold the name: it holds no name with '<' or '>' (no marker can carry
// them) nor one starting with '/', which only a closing marker opens. `head` is the name's
// first eight bytes as HeadOf reads them, zero past its end; a zero byte is no bracket.
bool Indexable(std::string_view name, std::uint64_t head) {
  if constexpr (std::endian::native == std::endian::little) {
    if ((head & 0xFF) == '/') return false;
    if (ZeroBytes((head | (kOnes * 2)) ^ (kOnes * '>')) != 0) return false;
    for (std::size_t i = 8; i < name.size(); ++i) {
      if (IsBracket(name[i])) return false;
    }
    return true;
  }
  if (!name.empty() && name.front() == '/') return false;
  for (const char c : name) {
    if (IsBracket(c)) return false;
  }
  return true;
}

// The smallest table a text of this size is likely to need: a marker takes three bytes at
// least and most take far more.
std::size_t InitialSlots(std::size_t textSize) {
  std::size_t slots = 16;
  while (slots < textSize / 8) slots *= 2;
  return slots;
}

}  // namespace

// A name's first eight bytes as one number, zero past its end, read without a byte loop and
// without reading past the name. With the size it tells apart the names of up to eight bytes,
// which element names are.
inline std::uint64_t RecordReader::HeadOf(const char* name, std::size_t size) {
  std::uint64_t head = 0;
  if constexpr (std::endian::native == std::endian::little) {
    if (size >= 8) {
      std::memcpy(&head, name, 8);
    } else if (size >= 4) {
      // Two four-byte reads that overlap in the middle: the second one lands on its own bytes.
      std::uint32_t low;
      std::uint32_t high;
      std::memcpy(&low, name, 4);
      std::memcpy(&high, name + size - 4, 4);
      head = low | (std::uint64_t{high} << (8 * (size - 4)));
    } else if (size > 0) {
      const auto byte = [&](std::size_t i) {
        return std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * i);
      };
      head = byte(0) | byte(size / 2) | byte(size - 1);
    }
  } else {
    for (std::size_t i = 0; i < size && i < 8; ++i) {
      head |= std::uint64_t{static_cast<unsigned char>(name[i])} << (8 * i);
    }
  }
  return head;
}

// HeadOf for a name inside `text`: where the text holds eight bytes from the name's start, one
// read of them, masked to the name.
inline std::uint64_t RecordReader::HeadInText(std::string_view text, std::size_t start,
                                              std::size_t size) {
  if constexpr (std::endian::native == std::endian::little) {
    if (start + 8 <= text.size()) {
      const std::uint64_t mask =
          size >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * size)) - 1;
      return LoadWord(text.data() + start) & mask;
    }
  }
  return HeadOf(text.data() + start, size);
}

inline std::uint32_t RecordReader::HashOf(std::string_view name, std::uint64_t head) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = head ^ name.size();
  // Longer names mix in their further eight-byte pieces.
  for (std::size_t at = 8; at < name.size(); at += 8) {
    h = (h * kMultiplier) ^ HeadOf(name.data() + at, std::min<std::size_t>(8, name.size() - at));
  }
  return static_cast<std::uint32_t>((h * kMultiplier) >> 32);
}

inline RecordReader::Key RecordReader::KeyOf(std::string_view name) {
  const std::uint64_t head = HeadOf(name.data(), name.size());
  return Key{head, HashOf(name, head)};
}

inline bool RecordReader::SameName(std::string_view a, std::uint64_t headA, std::string_view b,
                                   std::uint64_t headB) {
  if (a.size() != b.size() || headA != headB) return false;
  return a.size() <= 8 || std::memcmp(a.data() + 8, b.data() + 8, a.size() - 8) == 0;
}

RecordReader::RecordReader(std::string_view text) : text_(text) {}

// Every marker "<x>" of the text, x holding neither '<' nor '>', is the opening marker of the
// name x and, when x starts with '/', also the closing marker of the name after the '/'. Each
// '<' begins at most one such marker: scanning on to the next '<' or '>' finds it, and a '<'
// found first begins the next candidate. So one pass finds them all.
//
// A value runs from a name's first opening marker to the first closing marker after it. In one
// pass in text order that closing marker is simply the first one met once the name has been
// opened, so each name keeps two positions (and its chain of markers for nested readers). Names
// starting with '/' are left to the direct search (see Lookup), which keeps the table to one
// entry a name.
//
// The pass is made lazily, as far as the names asked for need: a value is known for good once
// its closing marker has been met, and a name is known to be missing only at the end of the
// text. Readers of a record's first elements never scan the rest of it.
std::uint32_t RecordReader::ScanUntil(const std::string_view* target, Key targetKey,
                                      std::size_t until) const {
  const char* const begin = text_.data();
  const std::size_t size = text_.size();
  if (slots_.empty()) {
    slots_.resize(InitialSlots(size));
    tags_.reserve(slots_.size() / 2);
    marks_.reserve(slots_.size());
  }
  std::size_t pos = scanned_;
  std::uint32_t targetTag = 0;
  // Whether the value of the name asked for is now known.
  auto found = [&](std::string_view name, Key key) {
    return target != nullptr && key.hash == targetKey.hash &&
           SameName(name, key.head, *target, targetKey.head);
  };
  while (pos < until) {
    pos = FindOpening(begin, pos, size);
    if (pos == size) break;
    const std::size_t markerStart = pos;
    // The name of a closing marker starts after its '/'.
    const bool closing = pos + 1 < size && begin[pos + 1] == '/';
    const std::size_t nameStart = pos + (closing ? 2 : 1);
    const std::size_t end = FindBracket(begin, nameStart, size);
    if (end == size) {
      pos = size;
      break;
    }
    if (begin[end] == '<') {
      pos = end;
      continue;
    }
    const std::string_view name(begin + nameStart, end - nameStart);
    const std::uint64_t head = HeadInText(text_, nameStart, name.size());
    const Key key{head, HashOf(name, head)};
    if (closing) {
      pos = end + 1;
      const std::uint32_t closed = Closed(name, key, markerStart, pos);
      if (closed != 0 && found(name, key)) {
        targetTag = closed;
        break;
      }
      continue;
    }
    const std::uint32_t tag = Opened(name, key, markerStart, end + 1);
    pos = end + 1;
    // Most values hold no marker: their name's closing marker is the next one. It is taken
    // here without hashing the name again or probing the table.
    const std::size_t next = FindOpening(begin, pos, size);
    const std::size_t closeEnd = next + name.size() + 3;
    if (closeEnd <= size && begin[next + 1] == '/' && begin[closeEnd - 1] == '>') {
      const std::string_view closed(begin + next + 2, name.size());
      if (SameName(closed, HeadInText(text_, next + 2, closed.size()), name, key.head)) {
        Tag& t = tags_[tag];
        const bool first = t.valueEnd == kNoClose;
        if (first) t.valueEnd = next;
        AddMark(tag, next, closeEnd, true);
        pos = closeEnd;
        if (first && found(name, key)) {
          targetTag = tag + 1;
          break;
        }
        continue;
      }
    }
    pos = next;
  }
  scanned_ = std::min(pos, size);
  return targetTag;
}

inline std::size_t RecordReader::SlotOf(std::string_view name, Key key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = key.hash & mask;
  while (true) {
    const Slot& s = slots_[slot];
    if (s.tag == 0) return slot;
    if (s.hash == key.hash) {
      const Tag& tag = tags_[s.tag - 1];
      if (SameName(tag.name, tag.head, name, key.head)) return slot;
    }
    slot = (slot + 1) & mask;
  }
}

void RecordReader::Grow() const {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.tag == 0) continue;
    std::size_t slot = s.hash & mask;
    while (slots_[slot].tag != 0) slot = (slot + 1) & mask;
    slots_[slot] = s;
  }
}

void RecordReader::AddMark(std::uint32_t tag, std::size_t start, std::size_t end,
                           bool closing) const {
  marks_.push_back(Mark{start, end, tag, closing});
}

inline std::uint32_t RecordReader::Opened(std::string_view name, Key key, std::size_t start,
                                          std::size_t valueStart) const {
  if ((tags_.size() + 1) * 2 > slots_.size()) Grow();
  Slot& slot = slots_[SlotOf(name, key)];
  if (slot.tag != 0) {
    // Only the first opening marker gives this text's value; later ones may open the value of
    // a nested text.
    AddMark(slot.tag - 1, start, valueStart, false);
    return slot.tag - 1;
  }
  tags_.push_back(Tag{name, key.head, valueStart, kNoClose});
  slot.tag = static_cast<std::uint32_t>(tags_.size());
  slot.hash = key.hash;
  AddMark(slot.tag - 1, start, valueStart, false);
  return slot.tag - 1;
}

inline std::uint32_t RecordReader::Closed(std::string_view name, Key key, std::size_t closeStart,
                                          std::size_t end) const {
  // A closing marker before the name's first opening one closes nothing, in this text or in
  // any nested one.
  const Slot& slot = slots_[SlotOf(name, key)];
  if (slot.tag == 0) return 0;
  Tag& tag = tags_[slot.tag - 1];
  const bool first = tag.valueEnd == kNoClose;
  if (first) tag.valueEnd = closeStart;
  AddMark(slot.tag - 1, closeStart, end, true);
  return first ? slot.tag : 0;
}

namespace {

// The value of a name the index does not hold, searched as ReadTag searches it.
// The markers are built by appending: gcc 12 at -O3 takes `"<" + std::string(name)` for an
// overlapping copy (-Wrestrict).
std::string Marker(std::string_view lead, std::string_view name) {
  std::string marker;
  marker.reserve(lead.size() + name.size() + 1);
  marker.append(lead).append(name).push_back('>');
  return marker;
}

std::optional<std::string_view> SearchDirectly(std::string_view text, std::string_view name) {
  const std::string opening = Marker("<", name);
  const std::size_t open = FindText(text, opening, 0);
  if (open == std::string_view::npos) return std::nullopt;
  const std::size_t valueStart = open + opening.size();
  const std::size_t close = FindText(text, Marker("</", name), valueStart);
  if (close == std::string_view::npos) return std::nullopt;
  return text.substr(valueStart, close - valueStart);
}

}  // namespace

// A name the index does not hold is searched for directly. No scanned name carries '<' or '>'
// or starts with '/', so a name found in the index is one it may hold, and the check is made
// only for a name it lacks.
std::optional<std::string_view> RecordReader::Lookup(std::string_view name) const {
  // The nested readers take most reads (a record's market elements): they go on without the
  // root's frame.
  if (root_ != nullptr) return LookupNested(name);
  if (unindexed_) return SearchDirectly(text_, name);
  return LookupIndexed(name);
}

std::optional<std::string_view> RecordReader::LookupIndexed(std::string_view name) const {
  if (text_.empty()) return std::nullopt;
  const Key key = KeyOf(name);
  if (!slots_.empty()) {
    const Slot& slot = slots_[SlotOf(name, key)];
    if (slot.tag != 0) {
      const Tag& tag = tags_[slot.tag - 1];
      if (tag.valueEnd != kNoClose)
        return text_.substr(tag.valueStart, tag.valueEnd - tag.valueStart);
    }
  }
  if (!Indexable(name, key.head)) return SearchDirectly(text_, name);
  if (scanned_ >= text_.size()) return std::nullopt;
  // The scan stops as soon as the name's value is known, or at the end of the text.
  const std::uint32_t found = ScanUntil(&name, key, text_.size());
  if (found == 0) return std::nullopt;
  const Tag& tag = tags_[found - 1];
  return text_.substr(tag.valueStart, tag.valueEnd - tag.valueStart);
}

// In a nested text, a name's value runs from its first opening marker wholly inside the text
// to the first closing marker after that one, also wholly inside. The root's markers never
// overlap and are kept in text order, so those inside the text are one run of them, read once.
void RecordReader::IndexNested() const {
  const RecordReader& root = *root_;
  const std::size_t first = offset_;
  const std::size_t last = offset_ + text_.size();
  // Every marker wholly inside this text must be in the root's index.
  if (root.scanned_ < last) root.ScanUntil(nullptr, Key{}, last);
  nestedIndexed_ = true;
  nestedValues_.assign(root.tags_.size(), Span{});
  auto mark = std::lower_bound(root.marks_.begin(), root.marks_.end(), first,
                               [](const Mark& m, std::size_t at) { return m.start < at; });
  for (; mark != root.marks_.end() && mark->end <= last; ++mark) {
    Span& value = nestedValues_[mark->tag];
    if (!mark->closing) {
      if (value.start == kNoClose) value.start = mark->end;
    } else if (value.start != kNoClose && value.end == kNoClose) {
      value.end = mark->start;
    }
  }
}

std::optional<std::string_view> RecordReader::LookupNested(std::string_view name) const {
  if (!nestedIndexed_) IndexNested();
  const RecordReader& root = *root_;
  if (!root.slots_.empty()) {
    const Slot& slot = root.slots_[root.SlotOf(name, KeyOf(name))];
    // A name the root met only after this text has no marker inside it.
    if (slot.tag != 0 && slot.tag <= nestedValues_.size()) {
      const Span& value = nestedValues_[slot.tag - 1];
      if (value.end == kNoClose) return std::nullopt;
      return root.text_.substr(value.start, value.end - value.start);
    }
  }
  if (!Indexable(name, KeyOf(name).head)) return SearchDirectly(text_, name);
  return std::nullopt;
}

RecordReader RecordReader::Unindexed(std::string_view text) {
  RecordReader reader{std::string_view{}};
  reader.text_ = text;
  reader.unindexed_ = true;
  return reader;
}

RecordReader RecordReader::Nested(std::string_view name) const {
  const std::string_view value = Get(name);
  if (unindexed_) return Unindexed(value);
  // An empty text has no markers: a reader of its own costs nothing.
  if (value.empty()) return RecordReader(std::string_view{});
  RecordReader nested{std::string_view{}};
  nested.text_ = value;
  nested.root_ = root_ != nullptr ? root_ : this;
  nested.offset_ = static_cast<std::size_t>(value.data() - nested.root_->text_.data());
  return nested;
}

std::string_view RecordReader::Get(std::string_view name) const {
  return Lookup(name).value_or(std::string_view{});
}

bool RecordReader::Has(std::string_view name) const {
  return Lookup(name).has_value();
}

}  // namespace zelko
