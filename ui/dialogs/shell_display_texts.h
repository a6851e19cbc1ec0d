#pragma once

#include "engine/result_model.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The list's order and words as Explorer has them: texts in StrCmpLogicalW's order (digits as
// numbers, letters without case), outcomes in the words of ui/dialogs/outcome_text.h.
class ShellDisplayTexts final : public DisplayTexts {
 public:
  std::vector<std::uint32_t> Rank(const std::vector<std::string_view>& texts) override;
  std::string OutcomeText(const RemovalOutcome& outcome) override;
};
