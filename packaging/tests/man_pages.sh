#!/usr/bin/env bash
# man_pages.sh FOLDER PAGE...: each FOLDER/PAGE.1 renders with groff and
# with man without a single warning (groff -ww turns every warning on).
set -uo pipefail
folder=$1
shift
status=0
for page in "$@"; do
  file=$folder/$page.1
  for render in "groff -ww -man -Tutf8 -z $file" "man --warnings -E UTF-8 -l $file"; do
    warnings=$(MANWIDTH=80 $render 2>&1 >/dev/null)
    rc=$?
    if [ $rc -ne 0 ] || [ -n "$warnings" ]; then
      echo "FAIL: $render (status $rc):"
      echo "$warnings"
      status=1
    fi
  done
  # A page that rendered to nothing would pass the check above.
  if ! man -E UTF-8 -l "$file" 2>/dev/null | grep -q "^NAME"; then
    echo "FAIL: $file has no NAME section when rendered"
    status=1
  fi
done
exit $status
