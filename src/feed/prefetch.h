#pragma once

#include <cstddef>

namespace zelko {

// A hint to bring the cache line of `at` in, which changes nothing. The empty statement after
// it keeps the compiler from dropping a loop that does nothing else (it may take such a loop
// as dead).
inline void Prefetch(const void* at) {
  __builtin_prefetch(at);
  asm volatile("" : : "r"(at));
}

// Every line of `size` bytes from `begin`.
inline void PrefetchBytes(const void* begin, std::size_t size) {
  constexpr std::size_t kLine = 64;
  const char* const bytes = static_cast<const char*>(begin);
  for (std::size_t at = 0; at < size; at += kLine) Prefetch(bytes + at);
}

}  // namespace zelko
