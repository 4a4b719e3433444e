#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zelko {

// The text of a grid cell in 24 bytes: up to 23 bytes are kept in place, a longer text on the
// heap. A board of 5000 rows holds half a million cells, and nearly all their texts (figures,
// odds, stamps, most names) are short: kept in place they cost no allocation and no cache line
// of their own, and a cell with its colour and integer fits in 32 bytes.
//
// Like std::string, a text keeps its heap room when it is cleared or given a shorter text, so
// a cell that is written again and again allocates once. The bytes are not terminated.
class ShortText {
 public:
  static constexpr std::size_t kInPlace = 23;

  // Every byte is set, the unused ones too: AssignIfChanged compares all 24.
  ShortText() noexcept : bytes_{} {}
  ShortText(const ShortText& other) : ShortText() { assign(other.view()); }
  ShortText(ShortText&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.bytes_[kTagByte] = 0;
  }
  ShortText& operator=(const ShortText& other) {
    if (this == &other) return *this;
    if (!OnHeap() && !other.OnHeap()) {
      // Both in place: the 24 bytes as they stand, tag and all.
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    } else {
      assign(other.view());
    }
    return *this;
  }
  ShortText& operator=(ShortText&& other) noexcept {
    if (this != &other) {
      Release();
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.bytes_[kTagByte] = 0;
    }
    return *this;
  }
  ~ShortText() { Release(); }

  std::string_view view() const noexcept {
    const auto tag = static_cast<unsigned char>(bytes_[kTagByte]);
    if (tag != kOnHeap) return {bytes_, tag};
    return {HeapData(), HeapSize()};
  }
  operator std::string_view() const noexcept { return view(); }
  std::size_t size() const noexcept { return view().size(); }
  bool empty() const noexcept { return size() == 0; }
  // Room without allocating: kInPlace in place, the heap block's size on the heap.
  std::size_t capacity() const noexcept { return OnHeap() ? HeapCapacity() : kInPlace; }
  bool OnHeap() const noexcept { return static_cast<unsigned char>(bytes_[kTagByte]) == kOnHeap; }

  void clear() noexcept {
    if (OnHeap()) {
      SetHeapSize(0);
    } else {
      bytes_[kTagByte] = 0;
    }
  }
  // `text` may be a part of this text.
  void assign(std::string_view text) {
    if (!OnHeap() && text.size() <= kInPlace) {
      // An empty view may carry no address at all, which memmove must not be given.
      if (!text.empty()) std::memmove(bytes_, text.data(), text.size());
      bytes_[kTagByte] = static_cast<char>(text.size());
      return;
    }
    AssignOnHeap(text);
  }

  // Takes the other's text unless this one holds it already, and gives whether it wrote: a text
  // that stays the same writes nothing, so its cache line is not dirtied for nothing.
  bool AssignIfChanged(const ShortText& other) {
    if (!OnHeap() && !other.OnHeap()) {
      // Both in place: equal 24 bytes are the same text; a text once copied from the other
      // carries its bytes past the end as well, so this is the common answer.
      if (std::memcmp(bytes_, other.bytes_, sizeof bytes_) == 0) return false;
      if (*this == other) return false;
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      return true;
    }
    if (*this == other) return false;
    assign(other.view());
    return true;
  }

  // Sizes first, then the bytes: cells are compared by the hundred thousand, and the compiler
  // does not always inline string_view's three-way compare.
  friend bool operator==(const ShortText& a, std::string_view b) noexcept {
    const std::string_view v = a.view();
    return v.size() == b.size() && (v.empty() || std::memcmp(v.data(), b.data(), v.size()) == 0);
  }
  friend bool operator==(const ShortText& a, const ShortText& b) noexcept { return a == b.view(); }

 private:
  // On the heap: the block's address in bytes 0 to 7, the size in 8 to 11, the block's size in
  // 12 to 15. In place: the bytes from 0, their count in the tag byte. The tag byte reads
  // kOnHeap for a text on the heap.
  static constexpr std::size_t kTagByte = 23;
  static constexpr unsigned char kOnHeap = 0xFF;

  char* HeapData() const noexcept {
    char* data;
    std::memcpy(&data, bytes_, sizeof data);
    return data;
  }
  std::uint32_t HeapSize() const noexcept { return Word(8); }
  std::uint32_t HeapCapacity() const noexcept { return Word(12); }
  void SetHeapSize(std::uint32_t size) noexcept { std::memcpy(bytes_ + 8, &size, sizeof size); }
  std::uint32_t Word(std::size_t at) const noexcept {
    std::uint32_t word;
    std::memcpy(&word, bytes_ + at, sizeof word);
    return word;
  }
  void Release() noexcept;
  // assign for a text on the heap, or one that does not fit in place.
  void AssignOnHeap(std::string_view text);

  alignas(8) char bytes_[24];
};

static_assert(sizeof(ShortText) == 24);

}  // namespace zelko
