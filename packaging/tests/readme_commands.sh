#!/usr/bin/env bash
# readme_commands.sh SOURCE BIN [PLACE...]: runs the README's runnable
# commands, so the README never shows a command that does not work.
#
# A runnable block is a ```sh block right below a marker line that says
# where it runs:
#   <!-- runnable: repository -->   in the source tree (the main command)
#   <!-- runnable: scratch -->      in a new empty folder (everyday use)
#   <!-- runnable: ci -->           by CI itself (scripts/test cannot run
#                                   inside its own tests): each command must
#                                   be one that .ci/run runs
# The blocks of one place run in README order as one script (a later block
# may use the files an earlier one made), with BIN first on the PATH, HOME
# and ODBCINI in a scratch folder (odbcinst -h writes the file ODBCINI names,
# else the account's real ~/.odbc.ini whatever HOME says), and -e: the first
# failing command fails the test. PLACE defaults to all
# three.
set -euo pipefail
source=$1
bin=$(cd "$2" && pwd)
shift 2
places=("$@")
[ ${#places[@]} -gt 0 ] || places=(ci repository scratch)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vodbc-readme-XXXXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/work"

for place in "${places[@]}"; do
  script=$scratch/$place.sh
  # Every line of every block marked for this place; the marker must be
  # followed directly by the fence.
  awk -v want="<!-- runnable: $place -->" '
    $0 == want { armed = 1; next }
    armed && /^```sh$/ { inside = 1; armed = 0; blocks++; next }
    inside && /^```$/ { inside = 0; next }
    inside { print }
    { armed = 0 }
    END { if (blocks == 0) exit 3 }
  ' "$source/README.md" >"$script" || { echo "FAIL: no runnable '$place' block in README.md"; exit 1; }
  if [ "$place" = ci ]; then
    # The command of each line, without its comment and blanks.
    sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$script" | while IFS= read -r command; do
      grep -qxF -- "$command" "$source/.ci/run" ||
        { echo "FAIL: the README says CI runs '$command'; .ci/run does not"; exit 1; }
      echo "CI runs: $command"
    done
    continue
  fi
  echo "== README commands run in the $place folder:"
  cat "$script"
  case $place in
    repository) where=$source ;;
    scratch) where=$scratch/work ;;
    *) echo "FAIL: unknown place $place"; exit 2 ;;
  esac
  (cd "$where" && env PATH="$bin:$PATH" HOME="$scratch/home" ODBCINI="$scratch/home/.odbc.ini" \
     VODBC_BUILD_DIR="$(dirname "$bin")" \
     bash -euxo pipefail "$script") || { echo "FAIL: a README command failed (see above)"; exit 1; }
done
