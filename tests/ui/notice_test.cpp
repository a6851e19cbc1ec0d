#include "ui/app/notice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string EncipheredResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, L"IDR_MY_MEMO", L"ENCRYPT");
  if (resource == nullptr) return {};
  const auto* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  return std::string(data, SizeofResource(module, resource));
}

TEST(Notice, ProgramResourceDeciphersToTheNoticeForAMultiLineEdit) {
  const auto notice = LoadNoticeResource();
  ASSERT_TRUE(notice.has_value());
  EXPECT_EQ(notice->rfind("Vellox", 0), 0u);
  EXPECT_NE(notice->find("回收站"), std::string::npos);
  // Every line break is CR LF, as a multi-line edit wants it.
  std::size_t breaks = 0;
  for (std::size_t i = 0; i < notice->size(); ++i) {
    if ((*notice)[i] != '\n') continue;
    ++breaks;
    EXPECT_TRUE(i > 0 && (*notice)[i - 1] == '\r') << "bare line feed at " << i;
  }
  EXPECT_GE(breaks, 2u);
  EXPECT_EQ(DecipherNotice(EncipheredResource()), notice);
}

TEST(Notice, AnyChangeFailsTheCheck) {
  const std::string original = EncipheredResource();
  ASSERT_GT(original.size(), 16u);
  const std::size_t textEnd = original.size() - 8;
  const struct {
    const char* change;
    std::function<void(std::string&)> apply;
  } kChanges[] = {
      {"format mark", [](std::string& s) { s[0] ^= 0x01; }},
      {"length grown", [](std::string& s) { s[4] = static_cast<char>(s[4] + 1); }},
      {"length shrunk", [](std::string& s) { s[4] = static_cast<char>(s[4] - 1); }},
      {"first text byte", [](std::string& s) { s[8] ^= 0x40; }},
      {"middle text byte", [&](std::string& s) { s[(8 + textEnd) / 2] ^= 0x01; }},
      {"last text byte", [&](std::string& s) { s[textEnd - 1] ^= 0x80; }},
      {"two bytes swapped", [](std::string& s) { std::swap(s[9], s[10]); }},
      {"tag", [](std::string& s) { s.back() ^= 0x01; }},
      {"cut short by one", [](std::string& s) { s.pop_back(); }},
      {"one byte added", [](std::string& s) { s.push_back('\0'); }},
      {"text dropped, length kept", [&](std::string& s) { s.erase(8, textEnd - 8); }},
      {"nothing left", [](std::string& s) { s.clear(); }},
  };
  for (const auto& change : kChanges) {
    std::string tampered = original;
    change.apply(tampered);
    ASSERT_NE(tampered, original) << change.change;
    EXPECT_EQ(DecipherNotice(tampered), std::nullopt) << change.change;
  }
}

}  // namespace
