#!/usr/bin/env bash
# End to end: scripts/gui-probe drives the real Quibex.exe through File >
# Open on the fixtures, and what the window shows must be what quibex-report
# computes for the same file, label for label; and Help > About shows the
# About window whose links underline under the pointer.
#
#   gui-probe-e2e.sh QUIBEX.EXE QUIBEX-PROBE.EXE QUIBEX-REPORT.EXE VERSION
#
# VERSION is the text of the generated version header ("1.70.0005").
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/lib/common.sh"

export QUIBEX_EXE=$1 QUIBEX_PROBE_EXE=$2
report_exe=$3
version=$4
# Reuse the display ctest runs under, if it has one.
export QUIBEX_KEEP_DISPLAY=1
quibex_wine_env

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

wine_path() {
  local p
  p=$(realpath -m -- "$1")
  printf 'Z:%s' "${p//\//\\}"
}

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

expect_in() {  # expect_in FILE TEXT: the probe's one-line JSON holds TEXT
  grep -qF -- "$2" "$1" || fail "$(basename "$1") lacks $2: $(cat "$1")"
}

same_labels_as_report() {  # same_labels_as_report FIXTURE
  local fixture=$1 name
  name=$(basename "$fixture")
  "$root/scripts/gui-probe" open "$root/tests/data/$fixture" >"$work/$name.probe.json" ||
    { fail "gui-probe on $fixture"; return; }
  # The reporter warns about unreadable members on standard error; only its
  # JSON matters here.
  quibex_wine "$report_exe" --format json "$(wine_path "$root/tests/data/$fixture")" \
    >"$work/$name.report.json" 2>/dev/null || true
  quibex_wine "$QUIBEX_PROBE_EXE" same-labels "$(wine_path "$work/$name.probe.json")" \
    "$(wine_path "$work/$name.report.json")" || fail "labels of $fixture differ from quibex-report's"
  echo "$fixture: $(cat "$work/$name.probe.json")"
}

same_labels_as_report Sample/Sample.vbp
expect_in "$work/Sample.vbp.probe.json" '"caption": "Sample.vbp - Quibex"'
expect_in "$work/Sample.vbp.probe.json" '"selected": [9], "enabled": true'
expect_in "$work/Sample.vbp.probe.json" '"entries": ["frmMain.frm", "mdlMain.bas", "CItem.cls", "ucGrid.ctl", "FRMUNIX.FRM", "Missing.frm", "mdlOld.bas", "ppOptions.pag", "docHome.dob", "mdiShell.frm"]'

same_labels_as_report Group/Group.vbg
expect_in "$work/Group.vbg.probe.json" '"selected": [4], "enabled": true'

# Two forms selected with a click and a Ctrl+click: frmMain.frm (181 bytes,
# 1536 binary, 7 interface lines of 123 bytes, 3 code lines of 58) and
# FRMUNIX.FRM (117 bytes, 4 lines of 73, 3 of 51).
"$root/scripts/gui-probe" open "$root/tests/data/Sample/Sample.vbp" --select 0,4 >"$work/select.json" ||
  fail "gui-probe --select 0,4"
echo "Sample.vbp --select 0,4: $(cat "$work/select.json")"
expect_in "$work/select.json" '"selected": [0, 4]'
for pair in '"LabelFileT": "Multi"' '"LabelTypeT": "Form"' '"LabelSizeT": "298b"' '"LabelBinaryT": "1.5Kb"' \
  '"LabelTotalT": "1.79Kb"' '"LabelInterfaceT": "11 (196b)"' '"LabelCodeT": "6 (109b)"' \
  '"LabelLineT": "17 (305b)"' '"LabelTotalFileT": "63 (4.71Kb)"'; do
  expect_in "$work/select.json" "$pair"
done

# Help > About: the labels as loaded, no underline at rest, the client area
# of 3900 x 1680 twips at Wine's 96 dpi, the main window disabled while it
# is open; then each link underlined under the pointer, the other not. The
# probe also checks that Esc closes it and the main window comes back.
"$root/scripts/gui-probe" about >"$work/about.json" || fail "gui-probe about"
echo "about: $(cat "$work/about.json")"
for pair in '"caption": "About..."' '"lblTitle": "Quibex"' "\"lblVersion\": \"$version\"" '"lblAuthorC": "Author:"' \
  '"lblEmailC": "E-mail:"' '"lblURLC": "URL:"' '"lblURL": "https://quibex.example/"' \
  '"underlined": {"lblEmail": false, "lblURL": false}' '"client": {"width": 260, "height": 112}' \
  '"mainEnabled": false'; do
  expect_in "$work/about.json" "$pair"
done
for link in email url; do
  "$root/scripts/gui-probe" about --hover $link >"$work/about-$link.json" || fail "gui-probe about --hover $link"
  echo "about --hover $link: $(cat "$work/about-$link.json")"
done
expect_in "$work/about-email.json" '"underlined": {"lblEmail": true, "lblURL": false}'
expect_in "$work/about-url.json" '"underlined": {"lblEmail": false, "lblURL": true}'

if ((failures)); then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "all end-to-end checks passed"
