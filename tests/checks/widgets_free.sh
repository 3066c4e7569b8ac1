#!/usr/bin/env bash
# widgets_free.sh <source folder> <Qt header folder> [files...]: the libraries that link Qt Core
# only (src/core, src/db, the workbook code of src/sheets, and the files given: the stores of the
# subsystems) include no header of Qt Widgets, Qt Gui or Qt Print Support, nor one of the screens'
# own.
set -uo pipefail
root=$1
qt_headers=${2:-}
shift 2
cd "$root" || exit 1

modules=(QtWidgets QtGui QtPrintSupport)
# The class headers of those modules (<QWidget>, <QColor>, ...), as the installed Qt names them.
names=$(mktemp)
trap 'rm -f "$names"' EXIT
for module in "${modules[@]}"; do
  if [ -d "$qt_headers/$module" ]; then
    ls "$qt_headers/$module" | grep -E '^Q[A-Za-z0-9]+$' >>"$names"
  fi
done
if [ ! -s "$names" ]; then
  echo "widgets free: no Qt headers under '$qt_headers'; the common class headers are checked"
  printf '%s\n' QAbstractButton QAction QApplication QBrush QCheckBox QClipboard QColor QComboBox QCursor \
    QDialog QFont QFontMetrics QFrame QGroupBox QGuiApplication QIcon QImage QKeyEvent QLabel QLineEdit \
    QListWidget QMenu QPainter QPageLayout QPageSize QPalette QPdfWriter QPixmap QPrinter QPushButton \
    QScrollBar QTableView QTextDocument QValidator QWidget QWindow >"$names"
fi

mapfile -t files < <({
  find src/core src/db src/sheets -path src/sheets/preview -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print
  printf '%s\n' "$@"
} | sort -u)
if [ ${#files[@]} -eq 0 ]; then
  echo "widgets free: no sources found under $root" >&2
  exit 1
fi
bad=$(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+[>"]' "${files[@]}" |
  awk -v names="$names" -v modules="${modules[*]}" '
    BEGIN {
      while ((getline line < names) > 0) forbidden[line] = 1
      split(modules, m, " ")
      for (i in m) module[m[i]] = 1
    }
    {
      header = $0
      sub(/^[^<"]*[<"]/, "", header)
      sub(/[>"].*$/, "", header)
      top = header
      sub(/\/.*$/, "", top)
      if (header in forbidden || top in module || header ~ /^ui\//) print
    }')
if [ -n "$bad" ]; then
  echo "$bad"
  echo "widgets free: Widgets, Gui or screen headers included in a library that links Qt Core only" >&2
  exit 1
fi
echo "widgets free: ${#files[@]} files checked"
