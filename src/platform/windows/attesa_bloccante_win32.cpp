#include <windows.h>

#include "platform/attesa.h"

namespace cw {

unsigned long AttesaBloccante::Aspetta(const void* const* handles, unsigned long n, unsigned long ms) {
  // A HANDLE is a void*: the wait only reads them.
  return WaitForMultipleObjects(n, const_cast<void* const*>(handles), FALSE, ms);
}

}  // namespace cw
