#!/usr/bin/env bash
# Clean-up after setup_e2e_tests: unlocks (chattr -i) every folder noted in
# the journal that the test program writes before it locks one, then drops
# the journal. Harmless when the program unlocked them itself, and the one
# way back when it died with a folder still locked: an immutable folder in
# the Wine prefix would refuse set-up and even rm -rf of the build.
#
#   unlock-folders.sh JOURNAL
set -uo pipefail
journal=$1
[[ -f $journal ]] || exit 0
status=0
while IFS= read -r folder; do
  [[ -n $folder && -e $folder ]] || continue
  chattr -i -- "$folder" || { echo "cannot unlock $folder" >&2; status=1; }
done <"$journal"
((status)) || rm -f -- "$journal"
exit $status
