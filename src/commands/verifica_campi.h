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

}  // namespace cw
