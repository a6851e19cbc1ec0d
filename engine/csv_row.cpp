#include "engine/csv_row.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool NeedsQuotes(std::string_view field) {
  if (field.empty()) return false;
  if (IsBlank(field.front()) || IsBlank(field.back())) return true;
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

void AppendCsvField(std::string& text, std::string_view field) {
  if (!NeedsQuotes(field)) {
    text.append(field);
    return;
  }
  text.push_back('"');
  for (std::size_t start = 0;;) {
    const std::size_t quote = field.find('"', start);
    text.append(field.substr(start, quote == std::string_view::npos ? quote : quote + 1 - start));
    if (quote == std::string_view::npos) break;
    text.push_back('"');
    start = quote + 1;
  }
  text.push_back('"');
}

void AppendCsvRow(std::string& text, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) text.push_back(',');
    first = false;
    AppendCsvField(text, field);
  }
  text.append("\r\n");
}
