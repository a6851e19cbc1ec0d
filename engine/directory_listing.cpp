#include "engine/directory_listing.h"

#include <cstring>

namespace {

constexpr char kDirectoryFlag = 1;
constexpr char kReparsePointFlag = 2;
constexpr std::size_t kSizeBytes = sizeof(std::uint64_t);

}  // namespace

DirectoryListing::DirectoryListing(const std::vector<FoundEntry>& entries) {
  std::size_t size = 0;
  for (const FoundEntry& entry : entries) size += 1 + kSizeBytes + entry.name.size() + entry.shortName.size() + 2;
  buffer_.reserve(size);
  for (const FoundEntry& entry : entries) {
    char flags = 0;
    if (entry.isDirectory) flags |= kDirectoryFlag;
    if (entry.isReparsePoint) flags |= kReparsePointFlag;
    buffer_ += flags;
    char sizeBytes[kSizeBytes];
    std::memcpy(sizeBytes, &entry.size, kSizeBytes);
    buffer_.append(sizeBytes, kSizeBytes);
    buffer_ += entry.name;
    buffer_ += '\0';
    buffer_ += entry.shortName;
    buffer_ += '\0';
  }
}

ListedEntry DirectoryListing::Iterator::operator*() const {
  const char flags = position_[0];
  std::uint64_t size = 0;
  std::memcpy(&size, position_ + 1, kSizeBytes);
  const char* name = position_ + 1 + kSizeBytes;
  const std::size_t nameLength = std::strlen(name);
  const char* shortName = name + nameLength + 1;
  return ListedEntry{std::string_view(name, nameLength), std::string_view(shortName),
                     (flags & kDirectoryFlag) != 0, (flags & kReparsePointFlag) != 0, size};
}

DirectoryListing::Iterator& DirectoryListing::Iterator::operator++() {
  const char* name = position_ + 1 + kSizeBytes;
  const char* shortName = name + std::strlen(name) + 1;
  position_ = shortName + std::strlen(shortName) + 1;
  return *this;
}
