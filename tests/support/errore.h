#pragma once
// The run-time error number a call raises; 0 when it raises none.

#include <functional>

#include "base/errors.h"

namespace cw::test {

inline int ErroreDi(const std::function<void()>& f) {
  try {
    f();
  } catch (const ErroreRuntime& e) {
    return e.Numero();
  }
  return 0;
}

}  // namespace cw::test
