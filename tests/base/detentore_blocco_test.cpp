#include "base/detentore_blocco.h"

#include <gtest/gtest.h>

#include <ctime>

namespace cw {
namespace {

// A record is only a hint: whatever is not whole reads as none.
TEST(DetentoreBlocco, ARecordReadsBackWholeOrNotAtAll) {
  const DetentoreBlocco d{"compilawexo-batch", "tutto", 4242, 1765363320};
  const std::string scritto = ScriviDetentore(d);
  EXPECT_EQ(LeggiDetentore(scritto), d);
  const struct {
    const char* cosa;
    std::string testo;
  } kNessuno[] = {
      {"empty", ""},
      {"cut while written", scritto.substr(0, scritto.size() - 1)},
      {"a key missing", "programma=a\ncomando=b\npid=1\n"},
      {"a key twice", scritto + "pid=2\n"},
      {"an unknown key", scritto + "altro=1\n"},
      {"no pid", "programma=a\ncomando=b\npid=0\ninizio=5\n"},
      {"a time that is no number", "programma=a\ncomando=b\npid=1\ninizio=10:42\n"},
      {"an empty name", "programma=\ncomando=b\npid=1\ninizio=5\n"},
      {"a control character", "programma=a\x1b[2J\ncomando=b\npid=1\ninizio=5\n"},
      {"garbage", std::string("\0\xff\xfe", 3)},
  };
  for (const auto& c : kNessuno) EXPECT_EQ(LeggiDetentore(c.testo), std::nullopt) << c.cosa;
}

TEST(DetentoreBlocco, TheStartIsTheTimeOfDayOrTheDateWhenNotToday) {
  std::tm oggi{};
  oggi.tm_year = 126, oggi.tm_mon = 11, oggi.tm_mday = 10, oggi.tm_hour = 10, oggi.tm_min = 42, oggi.tm_isdst = -1;
  const std::int64_t inizio = std::mktime(&oggi);
  const DetentoreBlocco d{"compilawexo-batch", "tutto", 1, inizio};
  EXPECT_EQ(DescriviDetentore(d, inizio + 3600), "compilawexo-batch tutto, dalle 10:42");
  EXPECT_EQ(DescriviDetentore(d, inizio + 86400), "compilawexo-batch tutto, dal 10/12/2026 alle 10:42");
  EXPECT_EQ(DescriviDetentore(d, inizio - 60), "compilawexo-batch tutto, dal 10/12/2026 alle 10:42");
}

}  // namespace
}  // namespace cw
