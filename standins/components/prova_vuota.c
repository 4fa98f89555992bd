/* For tests: an ordinary library, exporting no registration entry point. */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t StandinNessunaRegistrazione(void) { return 0; }
