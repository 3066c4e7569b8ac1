#!/usr/bin/env bash
# one_dialog_service.sh <source folder>: every message box goes through the dialog service, so
# that tests can answer it; QMessageBox appears nowhere else.
set -uo pipefail
cd "$1" || exit 1
found=$(grep -rn --include='*.cpp' --include='*.h' 'QMessageBox' src app | grep -v '^src/ui/DialogService\.cpp:')
if [ -n "$found" ]; then
  echo "$found"
  echo "one dialog service: QMessageBox used outside src/ui/DialogService.cpp" >&2
  exit 1
fi
echo "one dialog service: no QMessageBox outside src/ui/DialogService.cpp"
