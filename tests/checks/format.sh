#!/usr/bin/env bash
# format.sh <source folder> <clang-format> [git]: every tracked C++ file is formatted as
# .clang-format says. Exit 77 (skipped) without clang-format.
set -uo pipefail
root=$1
clang_format=${2:-}
git=${3:-git}
if [ -z "$clang_format" ] || ! command -v "$clang_format" >/dev/null 2>&1; then
  echo "format: clang-format is not installed; the check is skipped"
  exit 77
fi
cd "$root" || exit 1
patterns=(
  'src/*.cpp' 'src/*.h' 'app/*.cpp' 'app/*.h' 'tools/*.cpp' 'tools/*.h'
  'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h'
)
if [ -n "$git" ] && "$git" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <("$git" ls-files -- "${patterns[@]}")
else
  # A copy of the sources without its history: every file of those kinds.
  mapfile -t files < <(find src app tools tests bench -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort)
fi
if [ ${#files[@]} -eq 0 ]; then
  echo "format: no sources found under $root" >&2
  exit 1
fi
if ! "$clang_format" --dry-run --Werror "${files[@]}"; then
  echo "format: the files above differ from .clang-format; run: clang-format -i <file> (or the build target 'format')" >&2
  exit 1
fi
echo "format: ${#files[@]} files checked"
