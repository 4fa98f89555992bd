#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

#include "support/prefisso_temporaneo.h"

namespace cw::test {

void RendiScrivibile(const std::filesystem::path& p) {
#ifdef _WIN32
  ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
  std::error_code ec;
  std::filesystem::permissions(p, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
#endif
}

}  // namespace cw::test
