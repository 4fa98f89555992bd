#pragma once
// The smallest bytes the PE reader takes for a Windows image: the DOS stub's
// pointer, the signature, and the optional header with its magic and
// SizeOfImage.

#include <cstdint>
#include <string>

namespace cw::test {

inline std::string Pe(std::uint32_t dimensione, std::uint16_t magia = 0x10B) {
  const std::uint32_t lfanew = 0x80;
  std::string b(lfanew + 24 + 96, '\0');
  b[0] = 'M', b[1] = 'Z';
  for (int i = 0; i < 4; ++i) b[0x3C + static_cast<size_t>(i)] = static_cast<char>(lfanew >> (8 * i));
  b.replace(lfanew, 4, std::string("PE\0\0", 4));
  b[lfanew + 24] = static_cast<char>(magia), b[lfanew + 25] = static_cast<char>(magia >> 8);
  for (int i = 0; i < 4; ++i) b[lfanew + 24 + 56 + static_cast<size_t>(i)] = static_cast<char>(dimensione >> (8 * i));
  return b;
}

}  // namespace cw::test
