#pragma once

#include "engine/file_enumeration.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One entry of a DirectoryListing, viewing the listing's own storage.
struct ListedEntry {
  std::string_view name;
  std::string_view shortName;
  bool isDirectory;
  bool isReparsePoint;
  std::uint64_t size;
};

// A directory's full listing held in one buffer, so that a scan can keep the listings of a whole
// tree between its two walks without an allocation per name.
class DirectoryListing {
 public:
  DirectoryListing() = default;
  explicit DirectoryListing(const std::vector<FoundEntry>& entries);

  bool IsEmpty() const { return buffer_.empty(); }

  class Iterator {
   public:
    explicit Iterator(const char* position) : position_(position) {}
    ListedEntry operator*() const;
    Iterator& operator++();
    bool operator!=(const Iterator& other) const { return position_ != other.position_; }

   private:
    const char* position_;
  };
  Iterator begin() const { return Iterator(buffer_.data()); }
  Iterator end() const { return Iterator(buffer_.data() + buffer_.size()); }

 private:
  // Per entry: a flags byte, the size in 8 bytes, the name, a terminator, the short name, a
  // terminator. File names never hold a NUL.
  std::string buffer_;
};
