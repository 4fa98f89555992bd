// The libFuzzer entry of one target; CW_BERSAGLIO names its function.

#include "fuzz/bersagli.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  return cw::fuzz::CW_BERSAGLIO(dati, n);
}
