#include "ui/framework/dialog_init_data.h"

#include "engine/win32/utf.h"
#include "ui/framework/little_endian.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::uint16_t kListBoxAddString16 = 0x0401;
constexpr std::uint16_t kComboBoxAddString16 = 0x0403;

// The format keeps the message numbers of 16-bit Windows; zero for a message we do not apply.
UINT AddStringMessage(std::uint16_t message16) {
  switch (message16) {
    case kListBoxAddString16:
      return LB_ADDSTRING;
    case kComboBoxAddString16:
      return CB_ADDSTRING;
    default:
      return 0;
  }
}

}  // namespace

bool ApplyDialogInitData(HWND dialog, int templateId) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(templateId),
                                 MAKEINTRESOURCEW(RT_DLGINIT_TYPE));
  if (resource == nullptr) return true;
  HGLOBAL loaded = LoadResource(module, resource);
  const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
  const std::size_t size = SizeofResource(module, resource);
  if (data == nullptr) return false;

  // Entries: control id (2 bytes), message (2), byte count (4), the bytes: a zero-terminated
  // text in the resource script's code page, UTF-8. A zero control id ends the list.
  std::size_t offset = 0;
  while (offset + 2 <= size) {
    const auto controlId = ReadLittleEndian<std::uint16_t>(data + offset);
    if (controlId == 0) return true;
    if (size - offset < 8) return false;
    const auto message = ReadLittleEndian<std::uint16_t>(data + offset + 2);
    const auto length = ReadLittleEndian<std::uint32_t>(data + offset + 4);
    offset += 8;
    if (length > size - offset) return false;
    const auto* text = reinterpret_cast<const char*>(data + offset);
    const std::wstring wide = Widen(std::string(text, strnlen(text, length)));
    offset += length;

    const UINT addString = AddStringMessage(message);
    if (addString == 0) return false;
    SendDlgItemMessageW(dialog, controlId, addString, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  return false;
}
