#include "ui/dialogs/totals_bar.h"

#include "engine/win32/utf.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace {

// A size as Explorer writes it in its status bar ("4.76 MB"), in the user's words.
std::string ByteSize(std::uint64_t bytes) {
  wchar_t text[64] = {};
  StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64);
  return Narrow(text);
}

}  // namespace

void TotalsBar::Attach(HWND bar) {
  bar_ = bar;
  // The first two parts take what their longest texts need; the last the rest.
  int rightEdges[3] = {260, 420, -1};
  SendMessageW(bar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges));
}

std::string TotalsBar::RowsText(const ResultModel::Totals& totals) {
  std::string text = "共 " + std::to_string(totals.shown.rows) + " 个文件，" + ByteSize(totals.shown.bytes);
  if (totals.narrowed) text += "（全部 " + std::to_string(totals.all.rows) + " 个）";
  return text;
}

std::string TotalsBar::TickedText(const ResultModel::Totals& totals) {
  return "已勾选 " + std::to_string(totals.ticked.rows) + " 个，" + ByteSize(totals.ticked.bytes);
}

std::string TotalsBar::RunText(const ResultModel::Totals& totals) {
  if (!totals.ranRemoval) return std::string();
  return "已删除 " + std::to_string(totals.removed.rows) + " 个，释放 " + ByteSize(totals.removed.bytes) + "，" +
         std::to_string(totals.stayed) + " 个未删除";
}

void TotalsBar::Show(const ResultModel::Totals& totals) {
  SetPart(0, RowsText(totals));
  SetPart(1, TickedText(totals));
  SetPart(2, RunText(totals));
}

void TotalsBar::SetPart(int part, const std::string& text) {
  if (shown_[part] == text) return;
  shown_[part] = text;
  SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(Widen(text).c_str()));
}
