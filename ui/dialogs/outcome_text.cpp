#include "ui/dialogs/outcome_text.h"

#include "engine/win32/utf.h"
#include "ui/framework/dialog.h"
#include "ui/resources/resource.h"

#include <windows.h>

#include <map>
#include <mutex>

// The message without the line break the system ends it with.
std::string SystemErrorText(std::uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text == nullptr ? L"" : text, length);
  LocalFree(text);
  message.erase(message.find_last_not_of(L"\r\n ") + 1);
  if (message.empty()) message = L"错误 " + std::to_wstring(code);
  return Narrow(message);
}

std::string OutcomeText(const RemovalOutcome& outcome) {
  switch (outcome.kind()) {
    case RemovalOutcome::Kind::kSystemError: {
      // A list of a million rows repaints the same few errors; the export asks from its worker.
      static std::mutex lock;
      static std::map<std::uint32_t, std::string> messages;
      const std::lock_guard<std::mutex> held(lock);
      auto message = messages.find(outcome.code());
      if (message == messages.end()) message = messages.emplace(outcome.code(), SystemErrorText(outcome.code())).first;
      return message->second;
    }
    case RemovalOutcome::Kind::kRefused:
      return LoadResourceString(IDS_REFUSAL_BASE + static_cast<int>(outcome.code()));
    default:
      return std::string();
  }
}
