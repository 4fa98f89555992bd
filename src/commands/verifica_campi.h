#pragma once
// Project and settings files hold Windows-1252 bytes, and a character the
// code page lacks would reach them as "?" without a word. A command that
// writes a field's text checks it first and refuses before anything is
// touched.

#include <initializer_list>

#include "commands/contesto.h"

namespace cw {

// True when Windows-1252 holds every character of the given fields. Otherwise
// the first field that does not is named with its characters (style 48) and
// the answer is false.
bool CampiInAnsi(Contesto& ctx, std::initializer_list<Campo> campi);

// True when each field's text, saved in the settings file, reads back whole
// (kDimensioneBuffer - 1 bytes at most). Otherwise the first field that
// would come back cut is named with the limit (style 48) and the answer is
// false: a cut text would reach every project file at the next run.
bool CampiEntroLimite(Contesto& ctx, std::initializer_list<Campo> campi);

}  // namespace cw
