#pragma once

#include "engine/target_pattern.h"
#include "ui/app/settings_store.h"

// The user's own patterns in the settings: section "UserType", "Count" and the patterns as
// FileType1, FileType2, ...
//
// The list ends at the highest FileTypek that exists with k no greater than Count; a missing
// FileTypek below it loads as an empty pattern. Count alone, whatever it says, never makes the
// list longer than the stored values can back, so a damaged Count cannot hold up the start.
TargetPatternList LoadOwnPatterns(const SettingsStore& settings);

// Writes Count first, then FileType1 to FileTypen. Values above the new Count keep their old
// texts; Count keeps them from being read.
void SaveOwnPatterns(const SettingsStore& settings, const TargetPatternList& patterns);
