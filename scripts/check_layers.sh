#!/usr/bin/env bash
# Checks the layering of the source tree: every #include "..." of a project header must
# be one its folder may use. Prints each wrong include and exits 1 when there is one.
#
# The layers, lowest first (a folder may include its own headers and those of the
# folders listed for it):
#
#   platform/runtime          -
#   platform/excel            platform/runtime
#   platform/forms            platform/runtime
#   platform/forms/memory     platform/forms platform/runtime
#   platform/system           platform/runtime
#   platform/system/memory    platform/system platform/runtime
#   platform/addin            platform/forms platform/runtime
#   platform/excel/memory     platform/excel platform/runtime
#   platform/automation       platform/runtime
#   platform/excel/automation platform/excel platform/automation platform/runtime
#   platform/forms/automation platform/forms platform/automation platform/runtime
#   host                      the platform's interfaces (below)
#   sheets                    host, the platform's interfaces
#   items                     sheets host, the platform's interfaces
#   compare blocks query      items sheets host, the platform's interfaces; an engine
#   actions parser            never includes another engine
#   drivers                   the engines, items sheets host, the platform's interfaces
#   testkit                   host, the whole platform
#   cli com                   drivers and everything below it, the whole platform; cli
#                             also com/stand_in (the host's side of the in-process
#                             server, for quillary run --through-com on Windows)
#   bench fuzz                anything
#
# The platform's interfaces are platform/runtime/*.h, platform/excel/{excel,range}.h,
# platform/forms/forms.h and platform/system/system.h: the component never reaches the
# in-memory backends (platform/*/memory) or the scripted host add-in (platform/addin)
# that stand in for the real platform, nor the automation backend
# (platform/*/automation) that reaches the real one.
#
# A header under a folder's internal/ belongs to that folder alone. Tests (a folder's
# tests/) may include what their folder may, testkit, the whole platform, and the test
# helpers of the folders they may include.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly interfaces="platform/runtime/*.h platform/excel/excel.h platform/excel/range.h platform/forms/forms.h platform/system/system.h"
readonly engines="compare blocks query actions parser"
readonly platform="platform/runtime platform/excel platform/excel/memory platform/forms platform/forms/memory platform/addin
  platform/system platform/system/memory
  platform/automation platform/excel/automation platform/forms/automation"

declare -A may=(
  [platform/runtime]=""
  [platform/excel]="platform/runtime"
  [platform/forms]="platform/runtime"
  [platform/system]="platform/runtime"
  [platform/forms/memory]="platform/forms platform/runtime"
  [platform/system/memory]="platform/system platform/runtime"
  [platform/addin]="platform/forms platform/runtime"
  [platform/excel/memory]="platform/excel platform/runtime"
  [platform/automation]="platform/runtime"
  [platform/excel/automation]="platform/excel platform/automation platform/runtime"
  [platform/forms/automation]="platform/forms platform/automation platform/runtime"
  [host]="$interfaces"
  [sheets]="host $interfaces"
  [items]="sheets host $interfaces"
  [drivers]="$engines items sheets host $interfaces"
  [testkit]="host $platform"
  [cli]="drivers $engines items sheets host testkit $platform com/stand_in"
  [com]="drivers $engines items sheets host $platform"
  [bench]="*"
  [fuzz]="*"
)
for engine in $engines; do may[$engine]="items sheets host $interfaces"; done

# The folder (a key of `may`) a path lies in: the longest one that is a prefix.
folder_of() {
  local path=$1 best=""
  for f in "${!may[@]}"; do
    if [[ $path == "$f"/* && ${#f} -gt ${#best} ]]; then best=$f; fi
  done
  printf '%s' "$best"
}

# Whether `header` matches one of the space-separated entries of `allowed` (a folder,
# taking every header under it, or a glob of headers).
allowed_by() {
  local header=$1 allowed=$2 entry
  for entry in $allowed; do
    [[ $entry == "*" ]] && return 0
    if [[ $entry == *.h ]]; then
      # shellcheck disable=SC2053
      [[ $header == $entry ]] && return 0
    elif [[ $header == "$entry"/* ]]; then
      return 0
    fi
  done
  return 1
}

status=0
fail() {
  echo "$1: includes \"$2\": $3"
  status=1
}

while IFS= read -r file; do
  owner=$(folder_of "$file")
  [[ -z $owner ]] && continue
  is_test=0
  [[ $file == */tests/* ]] && is_test=1
  while IFS= read -r header; do
    [[ -f $header ]] || continue  # not a project header (a system one in quotes)
    target=$(folder_of "$header")
    [[ -z $target ]] && continue
    # A folder's internal headers belong to it alone.
    if [[ $header == */internal/* ]]; then
      home=${header%%/internal/*}
      [[ $file == "$home"/* ]] || fail "$file" "$header" "internal to $home"
      continue
    fi
    [[ $target == "$owner" ]] && continue
    allowed=${may[$owner]}
    if ((is_test)); then
      allowed="$allowed testkit $platform"
      # Test helpers of the folders the tests may include.
      [[ $header == */tests/*.h ]] && allowed_by "$(folder_of "$header")/x.h" "$allowed" && continue
    fi
    allowed_by "$header" "$allowed" || fail "$file" "$header" "$owner may not use $target"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . \( -path './build*' -o -path './.git' \) -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||')

if ((status == 0)); then echo "layering: every include is allowed"; fi
exit $status
