#include "ui/app/notice.h"

#include "engine/win32/utf.h"
#include "ui/framework/little_endian.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr char kMagic[] = "VXN1";
constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kLengthSize = sizeof(std::uint32_t);
constexpr std::size_t kTagSize = sizeof(std::uint64_t);
// Shared with scripts/make-notice.
constexpr unsigned char kKey[] = {0x56, 0x65, 0x6c, 0x6c, 0x6f, 0x78, 0x2e, 0x6d,
                                  0x65, 0x6d, 0x6f, 0x9e, 0x37, 0x79, 0xb9, 0x7f};

class Fnv1a64 {
 public:
  void Add(const unsigned char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ull;
    }
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

class KeyStream {
 public:
  explicit KeyStream(std::uint64_t seed) : state_(seed) {}
  unsigned char Next() {
    if (used_ == 8) {
      state_ += 0x9e3779b97f4a7c15ull;
      std::uint64_t z = state_;
      z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
      z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
      block_ = z ^ (z >> 31);
      used_ = 0;
    }
    return static_cast<unsigned char>(block_ >> (8 * used_++));
  }

 private:
  std::uint64_t state_;
  std::uint64_t block_ = 0;
  int used_ = 8;
};

}  // namespace

std::optional<std::string> DecipherNotice(const std::string& enciphered) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(enciphered.data());
  const std::size_t size = enciphered.size();
  if (size < kMagicSize + kLengthSize + kTagSize) return std::nullopt;
  if (enciphered.compare(0, kMagicSize, kMagic) != 0) return std::nullopt;
  const std::uint64_t length = ReadLittleEndian<std::uint32_t>(bytes + kMagicSize);
  if (length != size - kMagicSize - kLengthSize - kTagSize) return std::nullopt;

  Fnv1a64 keyHash;
  keyHash.Add(kKey, sizeof kKey);
  KeyStream stream(keyHash.Value());
  const unsigned char* text = bytes + kMagicSize + kLengthSize;
  std::string plain(static_cast<std::size_t>(length), '\0');
  for (std::size_t i = 0; i < plain.size(); ++i) {
    plain[i] = static_cast<char>(text[i] ^ stream.Next());
  }

  Fnv1a64 tag;
  tag.Add(kKey, sizeof kKey);
  tag.Add(bytes + kMagicSize, kLengthSize);
  tag.Add(reinterpret_cast<const unsigned char*>(plain.data()), plain.size());
  if (tag.Value() != ReadLittleEndian<std::uint64_t>(text + length)) return std::nullopt;
  return plain;
}

std::optional<std::string> LoadNoticeResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, Widen(IDR_MY_MEMO_NAME).c_str(),
                                 Widen(IDR_MY_MEMO_TYPE).c_str());
  if (resource == nullptr) return std::nullopt;
  const void* data = LockResource(LoadResource(module, resource));
  if (data == nullptr) return std::nullopt;
  return DecipherNotice(std::string(static_cast<const char*>(data), SizeofResource(module, resource)));
}
