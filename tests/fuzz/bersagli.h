#pragma once
// The fuzz targets: one entry per checked property. Each takes any bytes and
// returns 0; a broken property prints what it saw and aborts, which libFuzzer
// reports as a crash and the corpus test as a dead test program.
//
// The same entries run in two ways: as libFuzzer programs (a clang build with
// CW_FUZZ=ON), and over the committed seeds and kept crash inputs in the
// ordinary test suite (cw_fuzz_corpus_tests), with any compiler.

#include <cstddef>
#include <cstdint>

namespace cw::fuzz {

// The private-profile reader and writer over any file bytes.
int ProvaProfilo(const std::uint8_t* dati, std::size_t n);
// ReadLine / AtEndOfStream over any bytes.
int ProvaFlussoRighe(const std::uint8_t* dati, std::size_t n);
// RiscriviFile with each line rule against a reference.
int ProvaRiscriviFile(const std::uint8_t* dati, std::size_t n);
// The Windows command-line splitter and joiner.
int ProvaRigaComando(const std::uint8_t* dati, std::size_t n);
// The keystroke-notation parser and escaper.
int ProvaTasti(const std::uint8_t* dati, std::size_t n);

}  // namespace cw::fuzz
