#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Texts kept back to back in large blocks, so that a million short texts cost their bytes and
// a few dozen allocations rather than one allocation each. A text never moves once added; all
// go together when the arena is emptied.
class TextArena {
 public:
  struct Ref {
    std::uint32_t block = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };

  // Throws std::bad_alloc when memory runs out, and std::length_error for a text or an arena
  // beyond what a Ref can address.
  Ref Add(std::string_view text);
  std::string_view View(Ref ref) const {
    return std::string_view(blocks_[ref.block].get() + ref.offset, ref.length);
  }
  void Clear();

 private:
  static constexpr std::size_t kBlockSize = 1 << 20;

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t lastBlockSize_ = 0;
  std::size_t lastBlockUsed_ = 0;
};
