#include "ui/app/notice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The program's notice deciphers to text for a multi-line edit (every line ending in CR LF);
// any change of its resource fails the check.
TEST(Notice, DeciphersToCrLfTextAndAnyChangeFailsTheCheck) {
  const auto notice = LoadNoticeResource();
  ASSERT_TRUE(notice.has_value());
  EXPECT_NE(notice->find("回收站"), std::string::npos);
  const auto lineFeeds = std::count(notice->begin(), notice->end(), '\n');
  EXPECT_GE(lineFeeds, 2);
  EXPECT_EQ(std::count(notice->begin(), notice->end(), '\r'), lineFeeds);

  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, L"IDR_MY_MEMO", L"ENCRYPT");
  const std::string original(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                             SizeofResource(module, resource));
  const struct {
    const char* change;
    void (*apply)(std::string&);
  } changes[] = {
      {"format mark", [](std::string& s) { s[0] ^= 0x01; }},
      {"length grown", [](std::string& s) { s[4] = static_cast<char>(s[4] + 1); }},
      {"text byte", [](std::string& s) { s[s.size() / 2] ^= 0x01; }},
      {"tag", [](std::string& s) { s.back() ^= 0x01; }},
      {"cut short by one", [](std::string& s) { s.pop_back(); }},
      {"nothing left", [](std::string& s) { s.clear(); }},
  };
  for (const auto& change : changes) {
    std::string tampered = original;
    change.apply(tampered);
    EXPECT_EQ(DecipherNotice(tampered), std::nullopt) << change.change;
  }
}

}  // namespace
