#include "engine/directory_listing.h"

#include <cstring>

namespace {

constexpr char kDirectoryFlag = 1;
constexpr char kReparsePointFlag = 2;

}  // namespace

DirectoryListing::DirectoryListing(const std::vector<FoundEntry>& entries) {
  std::size_t size = 0;
  for (const FoundEntry& entry : entries) size += entry.name.size() + entry.shortName.size() + 3;
  buffer_.reserve(size);
  for (const FoundEntry& entry : entries) {
    char flags = 0;
    if (entry.isDirectory) flags |= kDirectoryFlag;
    if (entry.isReparsePoint) flags |= kReparsePointFlag;
    buffer_ += flags;
    buffer_ += entry.name;
    buffer_ += '\0';
    buffer_ += entry.shortName;
    buffer_ += '\0';
  }
}

ListedEntry DirectoryListing::Iterator::operator*() const {
  const char flags = position_[0];
  const char* name = position_ + 1;
  const std::size_t nameLength = std::strlen(name);
  const char* shortName = name + nameLength + 1;
  return ListedEntry{std::string_view(name, nameLength), std::string_view(shortName),
                     (flags & kDirectoryFlag) != 0, (flags & kReparsePointFlag) != 0};
}

DirectoryListing::Iterator& DirectoryListing::Iterator::operator++() {
  const char* name = position_ + 1;
  const char* shortName = name + std::strlen(name) + 1;
  position_ = shortName + std::strlen(shortName) + 1;
  return *this;
}
