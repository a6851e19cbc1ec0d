#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Characters of a UTF-8 text one by one. A byte that starts no well-formed sequence stands for
// itself, above every code point, so that ill-formed names still compare byte for byte.
class CodePoints {
 public:
  explicit CodePoints(std::string_view text) : text_(text) {}
  bool Done() const { return at_ >= text_.size(); }
  std::size_t Offset() const { return at_; }
  std::uint32_t Next();

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// The character with its case folded, as far as the alphabets with case go that file names
// commonly use (Latin, Greek, Cyrillic, full-width Latin); other characters as they are.
std::uint32_t FoldCase(std::uint32_t character);

// Whether a name matches a pattern of "*" (any run of characters) and "?" (any one character),
// characters compared by `equal(nameCharacter, patternCharacter)`. The one wildcard judgement
// of the program wherever the file system is not asked.
template <typename Equal>
bool MatchWildcards(std::string_view pattern, std::string_view name, Equal equal) {
  CodePoints p(pattern), n(name);
  // Where the last "*" was and the name's position it was last tried from.
  bool haveStar = false;
  CodePoints afterStar(pattern), retry(name);
  while (!n.Done()) {
    CodePoints pNext = p;
    const std::uint32_t pc = p.Done() ? 0 : pNext.Next();
    if (!p.Done() && pc == '*') {
      p = pNext;
      haveStar = true;
      afterStar = p;
      retry = n;
      continue;
    }
    CodePoints nNext = n;
    const std::uint32_t nc = nNext.Next();
    if (!p.Done() && (pc == '?' || equal(nc, pc))) {
      p = pNext;
      n = nNext;
    } else if (haveStar) {
      p = afterStar;
      retry.Next();
      n = retry;
    } else {
      return false;
    }
  }
  for (CodePoints rest = p; !rest.Done();) {
    if (rest.Next() != '*') return false;
  }
  return true;
}

// How the user's patterns judge a file name (tick by pattern, narrowing by a pattern): "*" and
// "?" as above, letters compared without case, and a trailing ".*" also taking a name without
// an extension, as the file system's search takes "*.*" for every file and "readme.*" for
// "readme".
bool NameMatchesPattern(std::string_view pattern, std::string_view name);
