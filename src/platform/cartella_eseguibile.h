#pragma once
// The folder of the running program: where its helper programs lie, and the
// settings file's path is formed from.

#include <filesystem>

namespace cw {

// The host folder of the running executable, without a trailing separator
// (from /proc/self/exe; the current folder should the system not say).
std::filesystem::path CartellaEseguibile();

}  // namespace cw
