#include "build/rapporto_junit.h"

#include <gtest/gtest.h>

#ifdef CW_CON_QT
#include <QXmlStreamReader>
#endif

namespace cw {
namespace {

using Stato = EsitoCompilazione::Stato;

TEST(RapportoJUnit, OneCasePerRowReadBackByAnXmlParser) {
#ifndef CW_CON_QT
  GTEST_SKIP() << "built without Qt: no XML parser";
#else
  const std::vector<EsitoCompilazione> righe = {
      {Stato::Compilato, "C:\\Progetti VB\\Wexo\\Utile", "Utile.vbp", 1.25, ""},
      {Stato::Marcatore, "C:\\Progetti VB\\Wexo\\Salta", "Salta.vbp", 0, ""},
      {Stato::Fallito, "C:\\Progetti VB\\Wexo\\Città & \"co\"", "<Rotto>.vbp", 0.5,
       "Impossibile trovare 'Form1.frm' <x> & \x01\x1F fine\r\n"},
      {Stato::NonCompilato, "C:\\Progetti VB\\Wexo\\Dopo", "Dopo.vbp", 0, ""},
  };
  const std::string xml = RapportoJUnit(righe);
  QXmlStreamReader r(QByteArray::fromStdString(xml));
  struct Letto {
    std::string classname, name, time, esito, testo;
  };
  std::vector<Letto> letti;
  QString suite;
  while (!r.atEnd()) {
    r.readNext();
    if (!r.isStartElement()) continue;
    const QString n = r.name().toString();
    if (n == "testsuite")
      suite = r.attributes().value("tests").toString() + "/" + r.attributes().value("failures").toString() + "/" +
              r.attributes().value("skipped").toString();
    if (n == "testcase")
      letti.push_back({r.attributes().value("classname").toString().toStdString(),
                       r.attributes().value("name").toString().toStdString(),
                       r.attributes().value("time").toString().toStdString(), "", ""});
    if (n == "failure" || n == "skipped") {
      letti.back().esito = n.toStdString();
      letti.back().testo = r.readElementText().toStdString();
    }
  }
  ASSERT_FALSE(r.hasError()) << r.errorString().toStdString() << "\n" << xml;
  EXPECT_EQ(suite.toStdString(), "4/1/2");
  ASSERT_EQ(letti.size(), 4u);
  const std::pair<const char*, const char*> esiti[] = {{"", ""}, {"skipped", ""}, {"failure", ""}, {"skipped", ""}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(letti[i].classname, righe[i].cartella);
    EXPECT_EQ(letti[i].name, righe[i].fileProgetto);
    EXPECT_EQ(letti[i].esito, esiti[i].first) << i;
  }
  EXPECT_EQ(letti[0].time, "1.250");
  // The controls XML cannot hold are left out; the rest of the report stays.
  EXPECT_EQ(letti[2].testo, "Impossibile trovare 'Form1.frm' <x> &  fine\n");
#endif
}

}  // namespace
}  // namespace cw
