#pragma once
// Private-profile (INI) files read and written as the Windows ANSI functions
// do, so files made by Windows tools and by us stay interchangeable.
//
// Everything here is bytes in Windows-1252: names, values and defaults go in
// and come out unconverted. The file is a host path. Like the C strings the
// Windows functions take, every text argument ends at its first NUL.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace cw {

// A file read once, for many lookups: each answers as
// GetPrivateProfileStringA would have answered for the file as it was then.
class ProfiloLetto {
 public:
  virtual ~ProfiloLetto() = default;
  virtual std::size_t GetString(std::string_view sezione, std::string_view chiave, std::string_view predefinito,
                                char* destinazione, std::size_t n) const = 0;
  virtual const std::string& File() const = 0;
};

class Profilo {
 public:
  virtual ~Profilo() = default;

  // Copies the value of the key into destinazione, or the default (without
  // its trailing spaces) when the file, the section or the key is missing. At
  // most n - 1 characters are copied, followed by a NUL; destinazione must
  // have room for n characters. Returns the number of characters copied, NUL
  // excluded (0 and nothing written when n is 0). Never fails: a file that
  // cannot be read or makes no sense gives the default.
  virtual std::size_t GetPrivateProfileStringA(const std::string& file, std::string_view sezione,
                                               std::string_view chiave, std::string_view predefinito,
                                               char* destinazione, std::size_t n) const = 0;

  // The file as it is now, for many lookups.
  virtual std::unique_ptr<ProfiloLetto> Leggi(const std::string& file) const = 0;

  // Whether the file starts with the UTF-8 mark (EF BB BF). The calls here
  // take the mark as bytes of the first line, as Windows does; the caller
  // decides what to make of it. False for a missing file or one that is not
  // a plain file.
  virtual bool ConMarcaUtf8(const std::string& file) const = 0;

  // Sets the key to the value: the key's line is replaced in place, or the
  // key is added to its section, or the section to the file, or the file is
  // created. Every other byte of the file stays as it was, and the file is
  // replaced whole (never left half written); on Linux through a temporary
  // file beside it, and the ones a save killed half way left there (of a
  // process that is gone, or ten minutes old) are removed by the next save.
  // False, with nothing written, when the file is read-only, its folder is
  // missing, the disk refuses, or an argument would corrupt the file or could
  // never be read back (a line end anywhere, "]" in the section, "=" in the
  // key, a key starting with ";" or "[", a name with a tab at either end).
  virtual bool WritePrivateProfileStringA(const std::string& file, std::string_view sezione, std::string_view chiave,
                                          std::string_view valore) = 0;

  // Makes the missing folders on the way to the file, so that the first
  // write into a fresh place finds them. False when one cannot be made (a
  // file in the way, no permission); true when they are all there.
  virtual bool CreaCartelleProfilo(const std::string& file) = 0;

  // Removes the key's line (what the Windows function does with no value);
  // every other byte stays. True when the key is gone, also when it never
  // was; false, with nothing written, when the file cannot be written.
  virtual bool CancellaChiaveProfilo(const std::string& file, std::string_view sezione, std::string_view chiave) = 0;
};

}  // namespace cw
