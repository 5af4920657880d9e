#!/usr/bin/env bash
# The manual page formats without a single warning and has an entry for
# every command and the sections a user looks for.
#   ManualPageTest.sh <page>
set -euo pipefail
page=$1
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

warnings=$(groff -ww -z -man "$page" 2>&1)
[[ -z $warnings ]] || fail "groff warns: $warnings"
text=$(groff -man -Tascii -P-cbou "$page" 2>/dev/null)
for command in help createsys enc dec killsys transsys transkill ressys sysdat x end exit quit; do
  grep -Eq "^       (.*, )?$command(,| |$)" <<<"$text" || fail "no entry for the command $command"
done
for section in NAME SYNOPSIS DESCRIPTION COMMANDS "SCRIPT FILES" "EXIT STATUS" ENVIRONMENT FILES SECURITY EXAMPLES; do
  grep -q "^$section\$" <<<"$text" || fail "no section $section"
done
