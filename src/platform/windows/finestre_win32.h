#pragma once
// What a program that has passed its limit shows: the visible top-level
// windows of its processes, each with its caption and the texts of its
// controls (a dialog's static texts, its button captions). Shared by the
// process service and the agent inside a Wine prefix, which builds it on its
// own (plain Win32, no other part of the tool).

#include <windows.h>

#include <vector>

#include "platform/processi.h"

namespace cw {

// The processes of a job; none when the job cannot be asked.
std::vector<DWORD> ProcessiDelLavoro(HANDLE lavoro);

// The windows of the processes, top-level ones in the desktop's order.
std::vector<FinestraMostrata> FinestreDeiProcessi(const std::vector<DWORD>& processi);

}  // namespace cw
