#pragma once
// RegistraDll as the callers see it: the full build run and the
// registration walk reach it through this interface.

#include <chrono>
#include <cstdint>
#include <string>

namespace cw {

// How long a registration may run: a DLL's entry point, an EXE server with
// its switch.
inline constexpr std::chrono::milliseconds kLimiteRegistrazione{10000};

class RegistratoreDll {
 public:
  virtual ~RegistratoreDll() = default;
  // Registers (flag 0) or removes (any other flag) one in-process server.
  // Failures have been shown to the user when it returns; false tells the
  // caller that one was shown.
  virtual bool RegistraDll(const std::string& percorso, std::int32_t flag) = 0;
};

}  // namespace cw
