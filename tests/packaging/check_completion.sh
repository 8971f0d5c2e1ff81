#!/usr/bin/env bash
# check_completion.sh COMPLETIONDIR
# Runs the installed bash completions as bash does on <Tab> and checks what
# they offer.
set -uo pipefail
dir=$1
framework=/usr/share/bash-completion/bash_completion
if [ ! -r "$framework" ]; then
  echo "SKIPPED: the bash-completion package is not installed"
  exit 77
fi
# shellcheck disable=SC1090
source "$framework"
source "$dir/editboot" || exit 1
source "$dir/hexview" || exit 1

failures=0
# complete FUNCTION WORD... : what <Tab> offers after the words (the last one
# is the word being completed).
complete_line()
{
  local function=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}
expect()
{
  local want=$1
  shift
  local got
  got=$(complete_line "$@")
  if [ "$got" != "$want" ]; then
    echo "FAIL: '${*:2}' offers '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" && touch firmware.bin boot.bin

expect "--help --version crc32 diff extract info insert sum" _editboot editboot ""
expect "sha1 sha256 sha512" _editboot editboot sum --algo sha
expect "--json" _editboot editboot info --
expect "boot.bin firmware.bin" _editboot editboot info --json ""
expect "" _editboot editboot diff a.bin b.bin ""
expect "extract" _editboot editboot ex
expect "insert" _editboot editboot ins
expect "boot.bin firmware.bin" _editboot editboot extract ""
expect "boot.bin firmware.bin" _editboot editboot insert firmware.bin boot.bin ""
expect "" _editboot editboot info firmware.bin ""
expect "boot.bin firmware.bin" _editboot editboot crc32 a b c ""

expect "--ruler --ruler-base" _hexview hexview --rul
expect "ASC BCD Cust DOS MAC WIN" _hexview hexview --translation ""
expect "--read-only" _hexview hexview --re
expect "boot.bin firmware.bin" _hexview hexview --read-only ""

# bash-completion finds a completion by the program's name.
for program in editboot hexview; do
  complete -p "$program" >/dev/null 2>&1 || { echo "FAIL: no completion registered for $program"; failures=$((failures + 1)); }
done

[ "$failures" -eq 0 ] && echo "completions offer what they should"
exit $((failures > 0))
