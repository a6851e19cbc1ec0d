#include "engine/row_filter.h"

#include "engine/path_text.h"
#include "engine/wildcard.h"

#include <algorithm>

namespace {

void AppendFolded(std::string_view text, std::vector<std::uint32_t>& characters) {
  for (CodePoints c(text); !c.Done();) characters.push_back(FoldCase(c.Next()));
}

}  // namespace

RowFilter::RowFilter(std::string_view text)
    : text_(text), pattern_(text.find_first_of("*?") != std::string_view::npos) {
  spansSeparator_ = text.find_first_of("\\/") != std::string_view::npos;
  AppendFolded(text, folded_);
  for (const char c : text) {
    ascii_ = ascii_ && static_cast<unsigned char>(c) < 0x80;
    lowered_ += AsciiLower(c);
  }
}

bool RowFilter::Narrows(const RowFilter& wider) const {
  return !pattern_ && !wider.pattern_ && text_.compare(0, wider.text_.size(), wider.text_) == 0;
}

bool RowFilter::Occurs(std::string_view text) const {
  if (ascii_) {
    const auto equal = [](char a, char b) { return AsciiLower(a) == b; };
    return std::search(text.begin(), text.end(), lowered_.begin(), lowered_.end(), equal) != text.end();
  }
  // Names are short: folding the whole of one first keeps the search simple and quick.
  thread_local std::vector<std::uint32_t> characters;
  characters.clear();
  AppendFolded(text, characters);
  return std::search(characters.begin(), characters.end(), folded_.begin(), folded_.end()) != characters.end();
}

bool RowFilter::MatchesDirectory(std::string_view directory) const {
  return DirectoryDecides() && Occurs(directory);
}

bool RowFilter::MatchesName(std::string_view directory, std::string_view name) const {
  if (TakesAll()) return true;
  if (pattern_) return NameMatchesPattern(text_, name);
  if (!spansSeparator_) return Occurs(name);
  std::string path(directory);
  path += name;
  return Occurs(path);
}
