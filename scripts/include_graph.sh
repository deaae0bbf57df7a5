#!/usr/bin/env bash
# Prints which folder of src/ includes which (one line "from -> to" with the number of
# include lines) and fails when the folders include each other in a cycle.
set -euo pipefail
cd "$(dirname "$0")/../src"
pairs=$(for dir in */; do
  from=${dir%/}
  grep -rhoE '^#include "[a-z_]+/' "$from" 2>/dev/null | sed -E 's/#include "([a-z_]+)\//\1/' |
    grep -vx "$from" | sed "s/^/$from /" || true
done | sort | uniq -c | awk '{print $2, $3, $1}')
echo "$pairs" | awk 'NF == 3 {printf "%-10s -> %-10s %d\n", $1, $2, $3}'
# tsort reports a loop on standard error.
if ! loops=$(echo "$pairs" | awk 'NF == 3 {print $1, $2}' | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
  echo "The folders include each other in a cycle:" >&2
  echo "$loops" | grep -v '^tsort: -: input contains a loop:' >&2 || true
  exit 1
fi
echo "No cycle."
# The core rooms include no widget: neither our widgets' folder nor Qt's widget headers.
core="app commands exam export interchange lesson lessontext omr paper platform richtext store undo"
widgets='^#include ("(widgets|formatter|editor|mainwin|dialogs)/|<(QtWidgets|QWidget|QApplication|QMessageBox|QDialog|QLabel|QPushButton|QLineEdit|QListWidget|QTextEdit|QCheckBox|QMainWindow|QAbstractButton|QLayout|QBoxLayout|QProgressDialog|QInputDialog|QComboBox|QScrollBar|QToolButton|QFrame|QRadioButton)[/>])'
if found=$(for dir in $core; do grep -rnE "$widgets" "$dir" || true; done) && [ -n "$found" ]; then
  echo "A core folder includes a widget:" >&2
  echo "$found" >&2
  exit 1
fi
echo "No core folder includes a widget."
# The browser engine is the module's alone (web/): no other room includes its headers.
if found=$(grep -rnE '^#include <QWebEngine' --include='*.cpp' --include='*.h' . | grep -v '^./web/') &&
  [ -n "$found" ]; then
  echo "Only web/ may include the browser engine:" >&2
  echo "$found" >&2
  exit 1
fi
echo "Only web/ includes the browser engine."
# The scans' image work is the reader's alone (omr/): the core and the other rooms link none.
if found=$(grep -rnE '^#include <(opencv2/|ZXing/|QPdf)' --include='*.cpp' --include='*.h' . | grep -v '^./omr/') &&
  [ -n "$found" ]; then
  echo "Only omr/ may include OpenCV, ZXing and Qt PDF:" >&2
  echo "$found" >&2
  exit 1
fi
echo "Only omr/ includes OpenCV, ZXing and Qt PDF."
