#include "board/short_text.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

namespace zelko {

void ShortText::Release() noexcept {
  if (OnHeap()) ::operator delete(HeapData());
}

void ShortText::AssignOnHeap(std::string_view text) {
  const std::size_t size = text.size();
  if (OnHeap() && size <= HeapCapacity()) {
    if (size != 0) std::memmove(HeapData(), text.data(), size);
    SetHeapSize(static_cast<std::uint32_t>(size));
    return;
  }
  if (size > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("text too long");
  // A new block, filled before the old one (which `text` may lie in) is given back. It grows
  // by half at least, as a text written longer and longer would.
  std::size_t room = size;
  if (OnHeap()) room = std::max<std::size_t>(size, HeapCapacity() + HeapCapacity() / 2);
  room = std::min<std::size_t>(room, std::numeric_limits<std::uint32_t>::max());
  char* const data = static_cast<char*>(::operator new(room));
  std::memcpy(data, text.data(), size);
  Release();
  const auto size32 = static_cast<std::uint32_t>(size);
  const auto room32 = static_cast<std::uint32_t>(room);
  std::memcpy(bytes_, &data, sizeof data);
  std::memcpy(bytes_ + 8, &size32, sizeof size32);
  std::memcpy(bytes_ + 12, &room32, sizeof room32);
  bytes_[kTagByte] = static_cast<char>(kOnHeap);
}

}  // namespace zelko
