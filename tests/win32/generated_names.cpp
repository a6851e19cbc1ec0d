#include "tests/win32/generated_names.h"

namespace {

// Plain characters that file names commonly hold, "~" and "$" among them.
const char* const kPlain[] = {"a", "b", "c", "d", "e", "m", "o", "s", "t", "x", "A", "B", "C", "D", "E", "M",
                              "O", "S", "T", "X", "0", "1", "2", "9", "~", "$", "_", "-", "#", "&", "'", "(",
                              ")", "+", ",", ";", "=", "@", "[", "]", "^", "`", "{", "}", "!", "%"};
// Outside ASCII: accents, sharp s, dotless i and long s (whose capitals are ASCII I and S), the
// Kelvin sign (whose small letter is ASCII k), Greek final sigma, fullwidth letters, Chinese, a
// character beyond the BMP.
const char* const kWide[] = {"é", "É", "ü", "ß", "ı", "ſ", "\u212A", "Σ", "σ", "ς",
                             "Ａ", "ａ", "报", "告", "文", "件", "😀", "İ"};
const char* const kExtensions[] = {"tmp", "TMP", "doc", "Doc", "docx", "db", "DB", "txt", "~mp",
                                   "obj", "t", "", "tmpl", "bak", "~1", "$$$", "报告"};
const char* const kWords[] = {"Thumbs", "thumbs", "~$Brief", "~$", "Temp", "temp", "report", "x", "a", "AB",
                              "Makefile", "readme", "sub.dir", "~WRL0001", "PROGRA~1", "new file", "\u212Aelvin",
                              "ſum", "ıd"};

std::string Word(SeededRandom& random) {
  if (random.OneIn(4)) return random.Pick(kWords);
  std::string word;
  const std::size_t length = 1 + random.Below(random.OneIn(5) ? 40 : 9);
  for (std::size_t i = 0; i < length; ++i) word += random.OneIn(6) ? random.Pick(kWide) : random.Pick(kPlain);
  return word;
}

}  // namespace

std::string GenerateFileName(SeededRandom& random, bool allowTrailing) {
  for (;;) {
    std::string name;
    if (random.OneIn(10)) name += random.OneIn(2) ? "." : " ";
    if (random.OneIn(12)) name += "..";
    name += Word(random);
    if (random.OneIn(4)) name += (random.OneIn(2) ? "." : " ") + Word(random);
    if (random.OneIn(8)) name += "..";
    if (!random.OneIn(5)) name += std::string(".") + random.Pick(kExtensions);
    if (allowTrailing && random.OneIn(10)) name += random.OneIn(2) ? "." : " ";
    const bool trailsDotOrBlank = name.back() == '.' || name.back() == ' ';
    if ((!trailsDotOrBlank || allowTrailing) && name.find_first_not_of(". ") != std::string::npos) return name;
  }
}

std::string GenerateFreePattern(SeededRandom& random) {
  std::string pattern;
  const std::size_t pieces = 2 + random.Below(4);
  for (std::size_t i = 0; i < pieces; ++i) {
    const std::size_t piece = random.Below(8);
    pattern += piece < 2 ? "*" : piece == 2 ? "?" : piece == 3 ? "." : piece == 4 ? random.Pick(kExtensions)
               : random.OneIn(3) ? random.Pick(kWords) : random.Pick(kPlain);
  }
  return pattern;
}

std::string GeneratePatternFrom(SeededRandom& random, const std::string& name) {
  std::vector<std::string> characters;  // whole UTF-8 characters
  for (std::size_t i = 0; i < name.size(); i += characters.back().size()) {
    const unsigned char lead = static_cast<unsigned char>(name[i]);
    characters.push_back(name.substr(i, lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1));
  }
  std::string pattern;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    std::string c = characters[i];
    if (c.size() == 1 && c[0] >= 'a' && c[0] <= 'z' && random.OneIn(3)) c[0] -= 'a' - 'A';
    else if (c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z' && random.OneIn(3)) c[0] += 'a' - 'A';
    // Letters outside ASCII whose case may fold to an ASCII one (the Kelvin sign, dotless i,
    // long s) are sometimes written as that letter, to catch a filter that holds them apart.
    if (c == "\u212A" || c == "ı" || c == "ſ") {
      if (random.OneIn(2)) c = (c == "\u212A") ? "k" : (c == "ı") ? "i" : "s";
      if (c.size() == 1 && random.OneIn(2)) c[0] = static_cast<char>(c[0] - 'a' + 'A');
    }
    // A pattern with a character outside ASCII cannot be prefiltered; mostly wildcard those.
    if (random.OneIn(6) || (c.size() > 1 && !random.OneIn(8))) {
      pattern += "?";
    } else if (random.OneIn(8)) {
      pattern += "*";
      i += random.Below(characters.size() - i);
    } else {
      pattern += c;
    }
  }
  if (random.OneIn(5)) pattern += random.OneIn(2) ? "*" : ".*";
  return pattern;
}
