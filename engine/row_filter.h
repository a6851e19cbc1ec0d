#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the filter box asks of a row. A text without "*" or "?" is looked for anywhere in the
// path, letters compared without case (as FoldCase folds them); a text with them is a pattern
// over the file name, judged as NameMatchesPattern judges. An empty text takes every row.
class RowFilter {
 public:
  explicit RowFilter(std::string_view text = std::string_view());

  const std::string& Text() const { return text_; }
  bool TakesAll() const { return text_.empty(); }
  // Whether every row this filter takes is also taken by `wider`: the text goes on from
  // wider's, and both look for text in the path.
  bool Narrows(const RowFilter& wider) const;

  // A row's path is its directory (up to and with the last separator) and its name. Where the
  // directory alone decides, MatchesDirectory says so: true when the text occurs in it (every
  // row there is taken). Otherwise MatchesName decides.
  bool DirectoryDecides() const { return !pattern_ && !spansSeparator_; }
  bool MatchesDirectory(std::string_view directory) const;
  bool MatchesName(std::string_view directory, std::string_view name) const;

 private:
  bool Occurs(std::string_view text) const;

  std::string text_;
  bool pattern_ = false;
  // A separator in the text: an occurrence may reach from the directory into the name.
  bool spansSeparator_ = false;
  std::vector<std::uint32_t> folded_;  // the text's characters, case folded
  // An ASCII text: no other character folds onto an ASCII one, so bytes compare directly.
  bool ascii_ = true;
  std::string lowered_;
};
