// AttesaLinux: which descriptor a wait answers with, and a signal meanwhile.

#include "platform/linux/attesa_linux.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace cw {
namespace {

TEST(AttesaLinux, TheReadyOneATimeOutOrTheSignalsFailure) {
  int a[2], b[2];
  ASSERT_EQ(::pipe(a), 0);
  ASSERT_EQ(::pipe(b), 0);
  const OggettoAttesa oggetti[] = {a[0], b[0]};
  AttesaLinux attesa;
  const struct {
    const char* passo;
    int scrivi;  // the pipe written to first; -1: none
    int atteso;
  } casi[] = {
      {"nothing to read", -1, kAttesaScaduta},
      {"the second readable", b[1], 1},
      {"both readable: the first", a[1], 0},
  };
  for (const auto& c : casi) {
    if (c.scrivi >= 0) {
      ASSERT_EQ(::write(c.scrivi, "x", 1), 1);
    }
    EXPECT_EQ(attesa.Aspetta(oggetti, 2, 20), c.atteso) << c.passo;
  }

  // A signal with no restart fails the wait with EINTR, which the callers
  // take as "look again".
  struct sigaction sa {
  }, prima{};
  sa.sa_handler = [](int) {};
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGALRM, &sa, &prima);
  itimerval t{};
  t.it_value.tv_usec = 10000;
  ::setitimer(ITIMER_REAL, &t, nullptr);
  EXPECT_EQ(attesa.Aspetta(oggetti, 0, 5000), kAttesaFallita);
  EXPECT_EQ(errno, EINTR);
  ::sigaction(SIGALRM, &prima, nullptr);
  for (int fd : {a[0], a[1], b[0], b[1]}) ::close(fd);
}

}  // namespace
}  // namespace cw
