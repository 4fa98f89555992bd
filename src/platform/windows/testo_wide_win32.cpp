#include "platform/windows/testo_wide_win32.h"

#include <windows.h>

namespace cw {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = static_cast<int>(utf8.size());
  const int k = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
  std::wstring out(static_cast<size_t>(k > 0 ? k : 0), L'\0');
  if (k > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), k);
  return out;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = static_cast<int>(wide.size());
  const int k = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(k > 0 ? k : 0), '\0');
  if (k > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), k, nullptr, nullptr);
  return out;
}

}  // namespace cw
