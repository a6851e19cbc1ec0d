#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Rows of a CSV file as RFC 4180 writes them and spreadsheet programs read them: fields
// separated by commas, each line ended by CR LF, and a field in double quotes (its own quotes
// doubled) when it holds a comma, a quote or a line break, or begins or ends with a blank,
// which some readers would otherwise trim. Texts are UTF-8 and pass through unchanged.
void AppendCsvField(std::string& text, std::string_view field);
void AppendCsvRow(std::string& text, std::initializer_list<std::string_view> fields);
