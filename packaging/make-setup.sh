#!/bin/sh
# Builds the setup: make-setup.sh BIN DATA OUTPUT VERSION
#   BIN     the Windows build's programs (trwk6.exe, Extmaker1.exe, zap.exe)
#   DATA    the files shipped beside them (the source tree's data/ folder)
#   OUTPUT  the setup to write, e.g. build/Tarnwick-6.17-setup.exe
# It lists the installed files for tarnwick.nsi (the setup lays each down, the uninstaller
# removes each and nothing else) and runs makensis.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:?usage: make-setup.sh BIN DATA OUTPUT VERSION}" && pwd)
data=$(cd "${2:?}" && pwd)
output=${3:?}
version=${4:?}

command -v makensis >/dev/null || { echo "make-setup: makensis is missing (Debian package nsis)" >&2; exit 2; }
case "$version" in
  *[!0-9.]* | "" ) echo "make-setup: version '$version' is not of the form 6.17" >&2; exit 2 ;;
esac

mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
work=$(mktemp -d "${TMPDIR:-/tmp}/trwk-setup.XXXXXX")
trap 'rm -rf "$work"' EXIT
files=$work/files.nsh

# Programs and shipped files, replaced on every installation. The shipped mainten.ini is
# the template of the user's settings: tarnwick.nsi lays it down only where none is.
set --
for program in trwk6.exe Extmaker1.exe zap.exe; do
  [ -f "$bin/$program" ] || { echo "make-setup: no $program in $bin (build the windows preset)" >&2; exit 2; }
  set -- "$@" "$bin/$program"
done
for f in "$data"/*; do
  [ -f "$f" ] || continue
  case "$(basename "$f")" in
    mainten.ini) ;;
    *[\"\$\`]*) echo "make-setup: cannot ship $f (quote or \$ in its name)" >&2; exit 2 ;;
    *) set -- "$@" "$f" ;;
  esac
done
[ -f "$data/mainten.ini" ] || { echo "make-setup: no mainten.ini in $data" >&2; exit 2; }

{
  echo "; Written by make-setup.sh: the files the setup installs."
  echo "!macro TRWK_INSTALL_FILES"
  for f in "$@"; do printf '  File "%s"\n' "$f"; done
  echo "!macroend"
  echo "!macro TRWK_UNINSTALL_FILES"
  for f in "$@"; do printf '  Delete "$INSTDIR\\%s"\n' "$(basename "$f")"; done
  echo "!macroend"
} >"$files"

# What the Uninstall list shows, in KB: the programs, the shipped files and the settings.
bytes=$(cat "$@" "$data/mainten.ini" | wc -c)
size_kb=$(( (bytes + 1023) / 1024 ))

makensis -V2 -NOCD \
  "-DVERSION=$version" "-DOUTFILE=$output" "-DFILES=$files" "-DESTIMATED_SIZE=$size_kb" \
  "-DICON=$here/../ui/win32/program.ico" "-DTEMPLATE=$data/mainten.ini" \
  "$here/tarnwick.nsi"
echo "make-setup: $output"
