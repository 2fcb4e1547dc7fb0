#!/usr/bin/env bash
# deb_package.sh BUILD SOURCE: builds the .deb from the build tree, checks
# its control fields and contents, unpacks it into a scratch root and runs
# the unpacked programs: the README's example with vodbc-batch and
# vodbc-dump, and vodbc --version.
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vodbc-deb-XXXXXXXX")
trap 'rm -rf "$scratch"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; exit 1; }
debs=("$scratch"/out/vodbc_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: cpack made no vodbc_*.deb"; ls -R "$scratch/out"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Control fields: what the programs link and load, and the drivers offered.
# The package names of a field, one per line, without their versions.
names() { dpkg-deb -f "$deb" "$1" | tr ',' '\n' | sed -e 's/^ *//' -e 's/[ (].*//'; }
for needed in unixodbc libodbc2 qt6-qpa-plugins libqt6widgets6 libstdc++6; do
  names Depends | grep -qxF "$needed" || fail "Depends lacks $needed: $(dpkg-deb -f "$deb" Depends)"
done
for driver in libsqliteodbc odbc-postgresql odbc-mariadb; do
  names Suggests | grep -qxF "$driver" || fail "Suggests lacks $driver: $(dpkg-deb -f "$deb" Suggests)"
done

root=$scratch/root
dpkg -x "$deb" "$root"
for file in usr/bin/vodbc usr/bin/vodbc-batch usr/bin/vodbc-dump \
            usr/share/vodbc/help/vodbc.html usr/share/applications/vodbc.desktop \
            usr/share/icons/hicolor/scalable/apps/vodbc.svg \
            usr/share/man/man1/vodbc.1 usr/share/man/man1/vodbc-batch.1 \
            usr/share/man/man1/vodbc-dump.1 \
            usr/share/doc/vodbc/README.md usr/share/doc/vodbc/LICENSE; do
  [ -f "$root/$file" ] || fail "the package has no /$file"
done
for program in vodbc vodbc-batch vodbc-dump; do
  if readelf -S "$root/usr/bin/$program" | grep -qE '\.debug_|\.symtab'; then
    fail "/usr/bin/$program is not stripped"
  fi
done
desktop-file-validate "$root/usr/share/applications/vodbc.desktop" || fail "desktop entry"

# The unpacked programs, with nothing of the build tree on the PATH.
version=$(env -u DISPLAY "$root/usr/bin/vodbc" --version) || fail "vodbc --version failed"
[ "$version" = "vodbc $(dpkg-deb -f "$deb" Version)" ] ||
  fail "vodbc --version says '$version', the package $(dpkg-deb -f "$deb" Version)"
# The unpacked program finds its help topics in the installed tree: the
# contents open without the search for a missing help file.
printf 'connect cancel\nmenu 32457\nmenu 1006\n' >"$scratch/help.script"
env -u DISPLAY VODBC_TOOLKIT=headless VODBC_SCRIPT="$scratch/help.script" \
  VODBC_TRANSCRIPT="$scratch/help.transcript" "$root/usr/bin/vodbc" ||
  fail "the unpacked vodbc did not end as its script said: $(cat "$scratch/help.transcript")"
grep -qx "help 0" "$scratch/help.transcript" ||
  fail "the unpacked vodbc showed no help contents: $(cat "$scratch/help.transcript")"
PATH="$root/usr/bin:/usr/bin:/bin" "$source/packaging/tests/readme_commands.sh" \
  "$source" "$root/usr/bin" scratch || fail "the README's example with the unpacked programs"
exit $status
