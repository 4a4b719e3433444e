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

// Element names are a few bytes long: a rotate and an xor a byte, one multiply at the end.
constexpr std::uint64_t HashStep(std::uint64_t h, char c) {
  return ((h << 7) | (h >> 57)) ^ static_cast<unsigned char>(c);
}
constexpr std::uint32_t HashEnd(std::uint64_t h, std::size_t size) {
  return static_cast<std::uint32_t>(((h ^ size) * 0x9E3779B97F4A7C15ull) >> 32);
}

// '<' (0x3C) and '>' (0x3E) are the only bytes that give '>' with bit 1 set.
constexpr bool IsBracket(char c) {
  return (static_cast<unsigned char>(c) | 2u) == '>';
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
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

// The hash of a name the index may hold, or nothing for the names it does not: those with
// '<' or '>' (no marker can carry them) and those starting with '/', which only a closing
// marker opens.
std::optional<std::uint32_t> IndexedHash(std::string_view name) {
  if (!name.empty() && name.front() == '/') return std::nullopt;
  std::uint64_t h = 0;
  for (const char c : name) {
    if (IsBracket(c)) return std::nullopt;
    h = HashStep(h, c);
  }
  return HashEnd(h, name.size());
}

// The smallest table a text of this size is likely to need: a marker takes three bytes at
// least and most take far more.
std::size_t InitialSlots(std::size_t textSize) {
  std::size_t slots = 16;
  while (slots < textSize / 8) slots *= 2;
  return slots;
}

}  // namespace

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
void RecordReader::ScanUntil(const std::string_view* target, std::uint32_t targetHash,
                             std::size_t until) const {
  const char* const begin = text_.data();
  const std::size_t size = text_.size();
  if (slots_.empty()) {
    slots_.resize(InitialSlots(size));
    tags_.reserve(slots_.size() / 2);
    marks_.reserve(slots_.size());
  }
  std::size_t pos = scanned_;
  // Whether the value of the name asked for is now known.
  auto found = [&](std::string_view name, std::uint32_t hash) {
    return target != nullptr && hash == targetHash && SameName(name, *target);
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
    std::uint64_t h = 0;
    for (const char c : name) h = HashStep(h, c);
    const std::uint32_t hash = HashEnd(h, name.size());
    if (closing) {
      pos = end + 1;
      if (Closed(name, hash, markerStart, pos) && found(name, hash)) break;
      continue;
    }
    const std::uint32_t tag = Opened(name, hash, markerStart, end + 1);
    pos = end + 1;
    // Most values hold no marker: their name's closing marker is the next one. It is taken
    // here without hashing the name again or probing the table.
    const std::size_t next = FindOpening(begin, pos, size);
    const std::size_t closeEnd = next + name.size() + 3;
    if (closeEnd <= size && begin[next + 1] == '/' && begin[closeEnd - 1] == '>' &&
        SameName(std::string_view(begin + next + 2, name.size()), name)) {
      Tag& t = tags_[tag];
      const bool first = t.valueEnd == kNoClose;
      if (first) t.valueEnd = next;
      AddMark(tag, next, closeEnd, true);
      pos = closeEnd;
      if (first && found(name, hash)) break;
    } else {
      pos = next;
    }
  }
  scanned_ = std::min(pos, size);
}

std::size_t RecordReader::SlotOf(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (true) {
    const Slot& s = slots_[slot];
    if (s.tag == 0) return slot;
    if (s.hash == hash && SameName(tags_[s.tag - 1].name, name)) return slot;
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

std::uint32_t RecordReader::Opened(std::string_view name, std::uint32_t hash, std::size_t start,
                                   std::size_t valueStart) const {
  if ((tags_.size() + 1) * 2 > slots_.size()) Grow();
  Slot& slot = slots_[SlotOf(name, hash)];
  if (slot.tag != 0) {
    // Only the first opening marker gives this text's value; later ones may open the value of
    // a nested text.
    AddMark(slot.tag - 1, start, valueStart, false);
    return slot.tag - 1;
  }
  tags_.push_back(Tag{name, valueStart, kNoClose});
  slot.tag = static_cast<std::uint32_t>(tags_.size());
  slot.hash = hash;
  AddMark(slot.tag - 1, start, valueStart, false);
  return slot.tag - 1;
}

bool RecordReader::Closed(std::string_view name, std::uint32_t hash, std::size_t closeStart,
                          std::size_t end) const {
  // A closing marker before the name's first opening one closes nothing, in this text or in
  // any nested one.
  const Slot& slot = slots_[SlotOf(name, hash)];
  if (slot.tag == 0) return false;
  Tag& tag = tags_[slot.tag - 1];
  const bool first = tag.valueEnd == kNoClose;
  if (first) tag.valueEnd = closeStart;
  AddMark(slot.tag - 1, closeStart, end, true);
  return first;
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

std::optional<std::string_view> RecordReader::Lookup(std::string_view name) const {
  if (unindexed_) return SearchDirectly(text_, name);
  if (root_ != nullptr) return LookupNested(name);
  const std::optional<std::uint32_t> hash = IndexedHash(name);
  if (!hash) return SearchDirectly(text_, name);
  if (text_.empty()) return std::nullopt;
  if (!slots_.empty()) {
    const Slot& slot = slots_[SlotOf(name, *hash)];
    if (slot.tag != 0) {
      const Tag& tag = tags_[slot.tag - 1];
      if (tag.valueEnd != kNoClose)
        return text_.substr(tag.valueStart, tag.valueEnd - tag.valueStart);
    }
  }
  if (scanned_ >= text_.size()) return std::nullopt;
  ScanUntil(&name, *hash, text_.size());
  const Slot& slot = slots_[SlotOf(name, *hash)];
  if (slot.tag == 0) return std::nullopt;
  const Tag& tag = tags_[slot.tag - 1];
  if (tag.valueEnd == kNoClose) return std::nullopt;
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
  if (root.scanned_ < last) root.ScanUntil(nullptr, 0, last);
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
  const std::optional<std::uint32_t> hash = IndexedHash(name);
  if (!hash) return SearchDirectly(text_, name);
  if (!nestedIndexed_) IndexNested();
  const RecordReader& root = *root_;
  if (root.slots_.empty()) return std::nullopt;
  const Slot& slot = root.slots_[root.SlotOf(name, *hash)];
  // A name the root met only after this text has no marker inside it.
  if (slot.tag == 0 || slot.tag > nestedValues_.size()) return std::nullopt;
  const Span& value = nestedValues_[slot.tag - 1];
  if (value.end == kNoClose) return std::nullopt;
  return root.text_.substr(value.start, value.end - value.start);
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
