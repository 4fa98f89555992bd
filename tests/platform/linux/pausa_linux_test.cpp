// PausaLinux: what a signal does to the wait.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <chrono>
#include "platform/linux/pausa_linux.h"
#include "support/millisecondi.h"

namespace cw::test {
namespace {

// A signal 10 ms into the wait: flag 0 waits on to the end, any other flag
// gives up there.
class AttendiSegnaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    struct sigaction sa {};
    sa.sa_handler = [](int) {};
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: the sleep sees EINTR
    sigaction(SIGALRM, &sa, &prima_);
  }
  void TearDown() override { sigaction(SIGALRM, &prima_, nullptr); }
  static void SegnaleTra10Ms() {
    itimerval t{};
    t.it_value.tv_usec = 10000;
    setitimer(ITIMER_REAL, &t, nullptr);
  }
  struct sigaction prima_ {};
};

TEST_F(AttendiSegnaleTest, SenzaFlagIlSegnaleNonAccorciaLAttesa) {
  EXPECT_GE(Millisecondi([] {
              SegnaleTra10Ms();
              PausaLinux().Attendi(80, 0);
            }),
            80.0);
}

// Far from the full wait, whatever the load: a wait the signal does not end
// runs ten seconds.
TEST_F(AttendiSegnaleTest, ConFlagIlSegnaleLaInterrompe) {
  EXPECT_LT(Millisecondi([] {
              SegnaleTra10Ms();
              PausaLinux().Attendi(10000, 1);
            }),
            5000.0);
}

}  // namespace
}  // namespace cw::test
