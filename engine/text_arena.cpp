#include "engine/text_arena.h"

#include <cstring>
#include <limits>
#include <stdexcept>

TextArena::Ref TextArena::Add(std::string_view text) {
  constexpr std::size_t kMaxIndex = std::numeric_limits<std::uint32_t>::max();
  if (text.size() > kMaxIndex) throw std::length_error("text too long for the arena");
  if (blocks_.empty() || lastBlockSize_ - lastBlockUsed_ < text.size()) {
    if (blocks_.size() >= kMaxIndex) throw std::length_error("arena full");
    // A text longer than a block gets a block of its own size.
    const std::size_t size = text.size() > kBlockSize ? text.size() : kBlockSize;
    // Not zeroed: the pages cost memory only once texts fill them.
    blocks_.push_back(std::unique_ptr<char[]>(new char[size]));
    lastBlockSize_ = size;
    lastBlockUsed_ = 0;
  }
  Ref ref;
  ref.block = static_cast<std::uint32_t>(blocks_.size() - 1);
  ref.offset = static_cast<std::uint32_t>(lastBlockUsed_);
  ref.length = static_cast<std::uint32_t>(text.size());
  if (!text.empty()) std::memcpy(blocks_.back().get() + lastBlockUsed_, text.data(), text.size());
  lastBlockUsed_ += text.size();
  return ref;
}

void TextArena::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  lastBlockSize_ = 0;
  lastBlockUsed_ = 0;
}
