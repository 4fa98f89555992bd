#pragma once
// What the sandbox maker reports when it will not or cannot go on.

#include <stdexcept>
#include <string>

namespace cw::sandbox {

class ErroreSandbox : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace cw::sandbox
