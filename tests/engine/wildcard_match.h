#pragma once

#include <string>

// The file system's name matching as the fakes of these tests model it: "*" any run, "?" one
// character, ASCII letters without case, "." and "*" left over at the end of the mask ignored,
// "*.*" every name. Names and masks are UTF-8; "?" takes one whole character.
bool WildcardMatches(const std::string& mask, const std::string& name);
