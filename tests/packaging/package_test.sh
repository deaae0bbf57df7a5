#!/usr/bin/env bash
# The Debian package, as a user meets it: built by CPack from this build, checked by lintian
# (no error), its desktop entry and metainfo validated, unpacked into a throw-away root, and
# the installed program started offscreen with an empty home: it must seed its data folder
# and keep its main window open.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -euo pipefail
build=$1 source=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
(cd "$build" && cpack -G DEB -B "$work/cpack" >/dev/null)
deb=$(ls "$work"/cpack/tavrin_*.deb)
lintian --allow-root "$deb" | tee "$work/lintian.txt"
if grep -q '^E:' "$work/lintian.txt"; then
  echo "lintian reports errors" >&2
  exit 1
fi
desktop-file-validate "$source/packaging/org.tavrin.Tavrin.desktop"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$source/packaging/org.tavrin.Tavrin.metainfo.xml"
fi
dpkg-deb -x "$deb" "$work/root"
home="$work/home"
mkdir -p "$home"
set +e
env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  timeout 8 "$work/root/usr/bin/tavrin" >"$work/run.txt" 2>&1
code=$?
set -e
# Still running when stopped: the main window was open (a failure to start exits at once).
if [ "$code" -ne 124 ]; then
  echo "the installed program ended with $code:" >&2
  cat "$work/run.txt" >&2
  exit 1
fi
data="$home/.local/share/Tavrin"
for f in Resources/Export.inf Resources/index.html Projects.xml Sample/Project.xml Zar Vonk.txt; do
  [ -e "$data/$f" ] || { echo "not seeded: $f" >&2; exit 1; }
done
grep -a -q "started" "$data/Vonk.txt" || { echo "the log has no start" >&2; exit 1; }
# The browser engine is not loaded at start; the module beside the program prints.
if ldd "$work/root/usr/bin/tavrin" | grep -q WebEngine; then
  echo "the program links the browser engine at start" >&2
  exit 1
fi
[ -f "$work/root/usr/lib/tavrin/libtavrin_web.so" ] || { echo "no browser engine module" >&2; exit 1; }
env -i PATH=/usr/bin:/bin HOME="$home" ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0 \
  QTWEBENGINE_DISABLE_SANDBOX=1 timeout 120 "$work/root/usr/bin/tavrin" print-exam \
  --project "$data/Sample" --field 1 --seed 3 --out "$work/paper" >"$work/print.txt" 2>&1 ||
  { echo "the installed program did not print:" >&2; cat "$work/print.txt" >&2; exit 1; }
[ -s "$work/paper/booklet-1.pdf" ] && [ -s "$work/paper/exam.json" ] ||
  { echo "the printed exam is not whole" >&2; exit 1; }
# The answer sheets' reader is a module too, found in /usr/lib/tavrin: the printed, unfilled
# sheet reads back as one sheet of blanks.
if ldd "$work/root/usr/bin/tavrin" | grep -qE 'opencv|ZXing|Qt6Pdf'; then
  echo "the program links the sheets' image libraries at start" >&2
  exit 1
fi
[ -f "$work/root/usr/lib/tavrin/libtavrin_omr.so" ] || { echo "no sheets' reader module" >&2; exit 1; }
env -i PATH=/usr/bin:/bin HOME="$home" ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0 \
  timeout 120 "$work/root/usr/bin/tavrin" read-sheets --exam "$work/paper" \
  --out "$work/sheets.csv" "$work/paper/sheet-1.pdf" >"$work/read.txt" 2>&1 ||
  { echo "the installed program did not read the sheet:" >&2; cat "$work/read.txt" >&2; exit 1; }
[ "$(wc -l <"$work/sheets.csv")" -eq 2 ] || { echo "the sheet was not read back" >&2; exit 1; }
echo "package ok: $(basename "$deb")"
