#include "platform/linux/pausa_linux.h"

#include <cerrno>
#include <ctime>

namespace cw {

void PausaLinux::Attendi(std::int32_t ms, std::int16_t alertable) {
  if (ms < 0) ms = 1;
  if (ms == 0) return;
  // An absolute deadline, so a wait interrupted by a signal resumes for the
  // time still left rather than starting over.
  timespec fine{};
  clock_gettime(CLOCK_MONOTONIC, &fine);
  fine.tv_sec += ms / 1000;
  fine.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
  if (fine.tv_nsec >= 1000000000L) {
    fine.tv_sec += 1;
    fine.tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &fine, nullptr) == EINTR)
    if (alertable != 0) return;
}

}  // namespace cw
