#pragma once

#include <cstdint>

// Selects the removal operation of a deletion run. Stored as a 32-bit signed integer shared
// between the window thread (writer) and the delete worker (reader).
enum DeleteMode : std::int32_t {
  ModePlain = 0,
  ModeForced = 1,
  ModeSuper = 2,  // performed as forced; no command sets it
  ModeShred = 3,
  ModeRecycle = 4,
  ModeAtRestart = 5,
};
