# Sourced by the scripts that start Windows programs under Wine: the loader
# for a prefix of the given kind. A win64 prefix runs 64-bit programs
# through Wine's 64-bit loader directly: Debian's `wine` starts its 32-bit
# one first, which a host without 32-bit programs cannot run.
#   caricatore_wine win32|win64   prints the loader, or fails saying why
caricatore_wine() {
  if [ "$1" = win64 ]; then
    command -v wine64 && return 0
    [ -x /usr/lib/wine/wine64 ] && { echo /usr/lib/wine/wine64; return 0; }
    echo "no 64-bit Wine loader (wine64) found: install the wine64 package" >&2
    return 1
  fi
  command -v wine && return 0
  echo "wine is not installed" >&2
  return 1
}

# win64 for a PE32+ program, win32 for any other.
architettura_programma() {
  case $(file -b "$1") in
    PE32+*) echo win64 ;;
    *) echo win32 ;;
  esac
}
