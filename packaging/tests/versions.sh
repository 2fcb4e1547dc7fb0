#!/usr/bin/env bash
# versions.sh BIN VERSION: the three programs print the project's version
# with --version and their usage with --help, exit 0 and need no display;
# vodbc --help shows every switch in its real form with an example.
set -uo pipefail
bin=$1
version=$2
status=0
fail() { echo "FAIL: $*"; status=1; }

for program in vodbc vodbc-batch vodbc-dump; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u VODBC_TOOLKIT "$bin/$program" --version 2>&1)
  [ $? -eq 0 ] || fail "$program --version exits with an error"
  [ "$out" = "$program $version" ] || fail "$program --version prints '$out', not '$program $version'"
  help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u VODBC_TOOLKIT "$bin/$program" --help 2>/dev/null)
  [ $? -eq 0 ] || fail "$program --help exits with an error"
  grep -q "^Usage: $program " <<<"$help" || fail "$program --help has no usage line"
done

# Each switch of the program's own command line, with an example that uses it.
help=$(env -u DISPLAY "$bin/vodbc" --help)
for example in 'vodbc /d=/' 'vodbc /c x ' 'vodbc /w=10,20,300,120' 'vodbc x ' 'vodbc --help' \
               'vodbc --version'; do
  grep -qF -- "$example" <<<"$help" || fail "vodbc --help shows no example starting '$example'"
done
exit $status
