#!/usr/bin/env bash
# command_line_and_manual.sh PROGRAM MANUAL
# Checks that PROGRAM answers --help and --version on standard output with
# status 0, refuses an unknown option on standard error with status 2 and its
# name, and that the manual page MANUAL names exactly the options of --help
# (and renders without warnings where man is installed).
set -uo pipefail
program=$1
manual=$2
name=$(basename "$program")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
failed=0
fail() { echo "$name: $*" >&2; failed=1; }

help=$("$program" --help 2>/dev/null) || fail "--help ended with status $?"
[[ "$help" == usage:* ]] || fail "--help does not begin with \"usage:\": ${help:0:60}"
version=$("$program" --version 2>/dev/null) || fail "--version ended with status $?"
[[ "$version" =~ ^$name\ \(NORIX\ Config\)\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  fail "--version says \"$version\""
wrong=$("$program" --no-such-option 2>&1 >/dev/null)
status=$?
[[ $status -eq 2 ]] || fail "--no-such-option ended with status $status, not 2"
[[ "$wrong" == "$name: "*"--no-such-option"* ]] || fail "--no-such-option: \"$wrong\""

options() { grep -oE -- '--[a-z][a-z0-9-]*[a-z0-9]' | sort -u; }
in_help=$(options <<<"$help")
in_manual=$(sed 's/\\-/-/g' "$manual" | options)
if [[ "$in_help" != "$in_manual" ]]; then
  fail "options of --help and of the manual differ:"
  diff <(echo "$in_help") <(echo "$in_manual") | sed -n 's/^[<>]/  &/p' >&2
fi
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "the manual page renders with warnings: $warnings"
fi
exit $failed
