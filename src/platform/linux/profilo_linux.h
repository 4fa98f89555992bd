#pragma once
// Our own private-profile reader and writer, byte for byte as the Windows
// functions read and write the files.

#include "platform/profilo.h"

namespace cw {

class ProfiloLinux : public Profilo {
 public:
  std::size_t GetPrivateProfileStringA(const std::string& file, std::string_view sezione, std::string_view chiave,
                                       std::string_view predefinito, char* destinazione, std::size_t n) const override;
  std::unique_ptr<ProfiloLetto> Leggi(const std::string& file) const override;
  bool ConMarcaUtf8(const std::string& file) const override;
  bool WritePrivateProfileStringA(const std::string& file, std::string_view sezione, std::string_view chiave,
                                  std::string_view valore) override;
  bool CreaCartelleProfilo(const std::string& file) override;
  bool CancellaChiaveProfilo(const std::string& file, std::string_view sezione, std::string_view chiave) override;
};

}  // namespace cw
