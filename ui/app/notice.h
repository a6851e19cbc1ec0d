#pragma once

#include <optional>
#include <string>

// The notice that the main window shows is kept enciphered in the resource "IDR_MY_MEMO" of
// type "ENCRYPT", so that it is not edited in place without the program noticing. Layout,
// all numbers little-endian:
//   "VXN1"                 4 bytes, the format
//   length                 4 bytes, the number of text bytes
//   enciphered text        length bytes: the text XOR a key stream
//   tag                    8 bytes: FNV-1a (64 bit) over key, length and the plain text
// The key stream is the splitmix64 sequence seeded with FNV-1a of the key, each number giving
// eight bytes, lowest first. The text is UTF-8 with lines ending in "\r\n", ready for a
// multi-line edit. scripts/make-notice writes the resource with the same key and scheme.
//
// This guards against casual editing, not against a determined attacker: the key is in the
// program. Any change of one byte, and any change of the length, fails the check.

// The plain text, or nothing when the format or the tag does not match.
std::optional<std::string> DecipherNotice(const std::string& enciphered);

// The deciphered notice of the running program, or nothing when the resource is missing or
// fails the check.
std::optional<std::string> LoadNoticeResource();
