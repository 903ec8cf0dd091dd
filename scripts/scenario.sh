#!/usr/bin/env bash
# Runs scenario files: each is a `quillary run` script followed by what the run must
# print (see README, "Scenarios").
#
#   scripts/scenario.sh [--update] [--quillary PATH] [--emulator PATH] [--through-com] FILE...
#
# For each FILE the script part runs from the project folder with standard input closed
# and one argument, ${1}, a fresh temporary folder (removed afterwards; where a scenario
# saves), with --verbose: a scenario shows the whole text of every question and message.
# The file as it would read with the run's actual results is compared with the file
# itself: on a difference a unified diff is printed and the exit status is 1. With
# --update the file is rewritten with the actual results instead. The last line says how
# many files passed, failed or were updated.
#
# Without --quillary, the quillary of the sanitizer build (build/sanitize, configured as
# scripts/test.sh does when it is not there yet) is built and used. --emulator starts
# quillary through a loader (Wine's, for the Windows build). --through-com runs the
# script with `quillary run --through-com` (the requests go to the in-process server).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

update=0
quillary=""
emulator=()
through=()
files=()
while (($#)); do
  case "$1" in
    --update) update=1 ;;
    --quillary) quillary="$(realpath "${2:?--quillary needs a path}")"; shift ;;
    --emulator) emulator=("${2:?--emulator needs a path}"); shift ;;
    --through-com) through=(--through-com) ;;
    -h|--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "scenario.sh: unknown option '$1'" >&2; exit 2 ;;
    *) files+=("$(realpath "$1")") ;;
  esac
  shift
done
if ((${#files[@]} == 0)); then
  echo "usage: scripts/scenario.sh [--update] [--quillary PATH] [--emulator PATH] [--through-com] FILE..." >&2
  exit 2
fi

if ((update && ${#through[@]})); then
  echo "scenario.sh: --update writes what the component linked in gives: leave out --through-com" >&2
  exit 2
fi

cd "$root"
if [[ -z "$quillary" ]]; then
  build=build/sanitize
  if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLARY_SANITIZE=ON >/dev/null
  fi
  ninja -C "$build" quillary >/dev/null
  quillary="$root/$build/cli/quillary"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The file with the results of one run of its script: the script part (every line up
# to the first one beginning with "#### expected"), then the sections.
render() {
  local file="$1" out="$2" err="$3" status="$4"
  awk '/^#### expected/ { exit } { print }' "$file"
  echo "#### expected output"
  cat "$out"
  if [[ -s "$err" ]]; then
    echo "#### expected errors"
    cat "$err"
  fi
  if [[ "$status" != 0 ]]; then
    echo "#### expected status $status"
  fi
}

# The run's output with the temporary folder written as ${1}, so that it reads the same
# on every run.
tidy() {
  local folder="$1" file="$2"
  local pattern
  pattern="$(printf '%s' "$folder" | sed 's/[].[\*^$|]/\\&/g')"
  sed -i "s|$pattern|\${1}|g" "$file"
}

failed=0
passed=0
updated=0
broken=0
for file in "${files[@]}"; do
  name="${file#"$root"/}"
  folder="$work/files"
  rm -rf "$folder" && mkdir "$folder"
  status=0
  "${emulator[@]}" "$quillary" run --verbose "${through[@]}" "$file" "$folder" <"/dev/null" >"$work/out" 2>"$work/err" ||
    status=$?
  tidy "$folder" "$work/out"
  tidy "$folder" "$work/err"
  for stream in out err; do
    if [[ -n "$(tail -c 1 "$work/$stream")" ]]; then
      echo "$name: the standard $stream of the run does not end with a line break" >&2
      failed=1
      broken=$((broken + 1))
      continue 2
    fi
  done
  render "$file" "$work/out" "$work/err" "$status" >"$work/actual"
  if ((update)); then
    if ! cmp -s "$file" "$work/actual"; then
      cp "$work/actual" "$file"
      echo "updated $name"
      updated=$((updated + 1))
    else
      passed=$((passed + 1))
    fi
  elif ! diff -u --label "$name (expected)" --label "$name (actual)" "$file" "$work/actual"; then
    failed=1
    broken=$((broken + 1))
  else
    passed=$((passed + 1))
  fi
done
summary="scenario.sh: ${#files[@]} scenario file(s): $passed passed"
((update)) && summary+=", $updated updated"
summary+=", $broken failed"
echo "$summary" >&2
exit "$failed"
