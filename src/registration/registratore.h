#pragma once
// RegistraDll as the callers see it: the full build run and the
// registration walk reach it through this interface.

#include <cstdint>
#include <string>

namespace cw {

class RegistratoreDll {
 public:
  virtual ~RegistratoreDll() = default;
  // Registers (flag 0) or removes (any other flag) one in-process server.
  // Failures have been shown to the user when it returns; false tells the
  // caller that one was shown.
  virtual bool RegistraDll(const std::string& percorso, std::int32_t flag) = 0;
};

}  // namespace cw
