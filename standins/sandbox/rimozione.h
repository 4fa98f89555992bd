#pragma once
// Removing what the sandbox maker made, without ever leaving the folder it
// was given: links are removed, never followed.

#include <string>

namespace cw::sandbox {

// Removes entry `nome` of the folder open as `dirfd`, with everything below
// it. A symbolic link is removed itself, whatever it points to. A missing
// entry is not an error. Folders without write permission get it back first
// (a test or the tool may have made files read-only).
void RimuoviVoce(int dirfd, const std::string& nome);

}  // namespace cw::sandbox
