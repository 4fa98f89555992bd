#!/bin/sh
# Whether this host runs 32-bit x86 programs: a kernel built or started
# without its IA-32 emulation ("ia32_emulation=off") refuses them with "Exec
# format error", and Wine's 32-bit loader with them. Starts the smallest
# such program there is (it only calls exit(0)) and says which: exit 0 when
# it ran, 1 with the reason on standard output when it did not.
set -u
programma=$(mktemp "${TMPDIR:-/tmp}/cw-32bit.XXXXXX") || exit 1
trap 'rm -f "$programma"' EXIT
# An ELF32 header, one loadable segment, then mov eax,1; xor ebx,ebx; int 0x80.
printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000' >"$programma"
printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$programma"
printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$programma"
printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$programma"
printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$programma"
printf '\000\020\000\000\270\001\000\000\000\061\333\315\200' >>"$programma"
chmod +x "$programma"
if errore=$("$programma" 2>&1); then
  exit 0
fi
case $errore in
  *"format error"*) echo "the kernel runs no 32-bit programs (its IA-32 emulation is off: ia32_emulation=on on its command line turns it on)" ;;
  *) echo "a 32-bit program cannot start here: $errore" ;;
esac
exit 1
