#pragma once
// Nothing the tool starts outlives it, not even a SIGKILL of the tool.
//
// Every program AvviaFiglio starts carries in its environment the mark of
// this process and of its own start, "CW_DISCENDENZA_<process>=<start>",
// which all it starts in turn inherits, whatever process group or session
// it moves to (setsid included) and whoever becomes its parent. With the
// first program a guardian process starts: in a session of its own, every
// signal but SIGKILL blocked, it holds the read end of a pipe whose write
// end only this process holds. When this process ends by a signal, a crash
// or a SIGKILL, the pipe closes and the guardian sends SIGKILL to every
// process carrying the mark, then ends. At a normal exit it is told so first
// and ends nothing, as a program left running on purpose (a viewer of the
// error file) stays.

#include <string>

namespace cw {

// Starts this process's guardian now, if it has none yet: its pipe is then
// one descriptor the process holds for the rest of its life.
void PreparaDiscendenza();

// The environment entry of the next program to start, and its start's
// number; the guardian is started by the first call of each process.
std::string MarcaDiscendenza(unsigned long& numero);

// SIGKILL to every process whose environment holds the mark of that start:
// the program and all its descendants, those that left its group too.
// Returns how many were signalled.
int TerminaDiscendenza(unsigned long numero);

}  // namespace cw
