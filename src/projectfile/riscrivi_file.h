#pragma once
// The in-place rewrite of one text file through a copy of itself.

#include <string>
#include <string_view>
#include <vector>

#include "platform/filesystem.h"
#include "projectfile/regole_riga.h"

namespace cw {

// The temporary copy of a file being rewritten: its path with "_tmp" appended.
inline constexpr std::string_view kSuffissoCopia = "_tmp";

// Copies percorso whole to percorso + "_tmp" and onto the disk
// (CopyFileWholeFlushed), then writes percorso again line by line from that
// copy, every line passed through regola and ended by CR LF, puts it on the
// disk (FlushFile) and deletes the copy. A file whose content would not
// change is only read. A failing file operation passes its run-time error on;
// the copy is the only record of the old content once the file has been
// opened for writing, so it is left in place on every failure.
void RiscriviFile(FileSystem& fso, std::string_view percorso, const RegolaRiga& regola);

// The end of a pass of RiscriviFile whose last file was ultimo: its folder
// on the disk, so that the last "_tmp" deleted is gone after a power cut too.
// On ext4 (one journal for the whole file system) each rewrite's flushes
// commit the deletions of the rows before it, so only the last needs this;
// elsewhere a "_tmp" may stay beside a finished file after a power cut,
// which "Ripristina file interrotti" recovers.
void FinePassaggio(FileSystem& fso, std::string_view ultimo);

// What RiscriviFile would do to percorso, read the same way but written
// nowhere: every line with its line end as the file has it (CR LF, LF, a lone
// CR, or none for a last line without one), and the same line after regola
// ended by CR LF, as the rewrite writes it. A file whose only change is its
// line ends so differs too.
struct RigheRiscrittura {
  std::vector<std::string> prima, dopo;
};
RigheRiscrittura SimulaRiscrittura(FileSystem& fso, std::string_view percorso, const RegolaRiga& regola);

}  // namespace cw
