#pragma once
// "Indirizzi di base DLL": the base address every DLL project declares, one
// log line per project, in a fixed-pitch font so the addresses line up.

#include <optional>
#include <string>

#include "base/ui.h"
#include "catalogue/catalogo.h"
#include "platform/filesystem.h"

namespace cw {

inline constexpr const char* kChiaveIndirizzoBase = "DllBaseAddress=";
inline constexpr const char* kFontReport = "Courier New";
// The name column: names are padded with blanks to this many characters.
inline constexpr int kColonnaNome = 30;

// "Indirizzo di base di: " + NAME + blanks to 30 characters + value. A name
// of 30 characters or more is followed by one blank, so the value never runs
// into it.
std::string RigaIndirizzoBase(const std::string& fileProgetto, const std::string& valore);

// The first line of the project file that starts with "DllBaseAddress=",
// from its equals sign on (Windows-1252); none when there is no such line.
std::optional<std::string> ValoreIndirizzoBase(FileSystem& fso, const std::string& progetto);

// Clears the log, sets "Courier New", and appends one line per "dll" row in
// catalogue order. A project file that cannot be read raises the run-time
// error; the lines before it stay.
void IndirizziBaseDll(FileSystem& fso, const CatalogoComponenti& catalogo, Ui& ui);

}  // namespace cw
