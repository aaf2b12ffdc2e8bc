#!/usr/bin/env bash
# The Debian package of quibex-report, built from this build with cpack and
# installed by dpkg into a fresh root, then run from there.
#
# What it proves: the package builds; its control file names the libraries
# the program links against (with versions this system's Debian packages
# meet, as dpkg checks them against the records of those packages) and
# recommends, not requires, libgit2; it holds the program, a man page that
# roff reads without a warning, the README and the copyright file, and
# nothing else; dpkg installs and removes it cleanly; the installed program
# starts without libgit2 and checks a fixture as the built one does.
# What it does not: apt resolving the dependencies from a Debian 12
# archive on a machine that has nothing else installed (that needs a chroot
# of a fresh system), or maintainer scripts (the package has none).
#
# Usage: [CPACK=cpack] DebianPackageTest.sh BUILD_DIR FIXTURES
set -euo pipefail
build=$1
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

"${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
debs=("$work"/out/quibex-report_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no quibex-report_*.deb from cpack"
deb=${debs[0]}

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == quibex-report ]] || fail "Package: $(field Package)"
depends=$(field Depends)
for lib in libc6 libstdc++6; do
  [[ $depends == *"$lib ("* ]] || fail "Depends names no $lib with a version: $depends"
done
[[ $depends != *libgit2* ]] || fail "libgit2 is required, yet loaded only for --git: $depends"
[[ $(field Recommends) == libgit2-* ]] || fail "Recommends: $(field Recommends)"

contents=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sort | tr '\n' ' ')
expected="./usr/bin/quibex-report ./usr/share/doc/quibex-report/README.md ./usr/share/doc/quibex-report/copyright ./usr/share/man/man1/quibex-report.1.gz "
[[ $contents == "$expected" ]] || fail "the package holds: $contents"

# A fresh root whose package database knows only the packages the program
# depends on, as this system has them: dpkg refuses to install when a
# Depends or its version is not met.
root=$work/root
admin=$root/var/lib/dpkg
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/available" "$admin/status"
for name in $(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (|].*//'); do
  arch=$(dpkg-query --showformat '${Architecture}' --show "$name") || fail "this system lacks $name"
  dpkg-query --status "$name" >>"$admin/status"
  echo >>"$admin/status"
  [[ $arch == all ]] && touch "$admin/info/$name.list" || touch "$admin/info/$name:$arch.list"
done
dpkg --root="$root" --force-not-root --log=/dev/null --install "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg could not install the package"; }
! grep -qi warning "$work/dpkg.log" || { cat "$work/dpkg.log" >&2; fail "dpkg warned"; }
[[ $(dpkg-query --admindir="$admin" --showformat '${Status}' --show quibex-report) == "install ok installed" ]] ||
  fail "dpkg does not hold the package as installed"

program=$root/usr/bin/quibex-report
version=$("$program" --version) || fail "the installed program does not start"
[[ $version == "quibex-report $(field Version)" ]] || fail "--version says '$version', the package $(field Version)"
! readelf --dynamic "$program" | grep -q 'NEEDED.*libgit2' || fail "the program links libgit2 at start"

set +e
(cd "$fixtures" && "$program" check --format json --no-progress Check/Check.vbp) >"$work/check.json" 2>/dev/null
status=$?
set -e
[[ $status -eq 3 ]] || fail "check on the fixture exits $status, not 3"
grep -q '"rule": "line-endings"' "$work/check.json" || fail "check on the fixture finds no line-endings"

man=$root/usr/share/man/man1/quibex-report.1.gz
gzip --test "$man" || fail "the man page is no gzip file"
for section in '^\.SH SYNOPSIS' '^\.SS quibex\\-report check' '^\.SS quibex\\-report inventory'; do
  zcat "$man" | grep -q "$section" || fail "the man page has no $section"
done
if command -v groff >/dev/null; then
  warnings=$(zcat "$man" | groff -man -Tutf8 -ww -z 2>&1)
  [[ -z $warnings ]] || fail "roff warns about the man page: $warnings"
fi

dpkg --root="$root" --force-not-root --log=/dev/null --remove quibex-report >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; fail "dpkg could not remove the package"; }
[[ ! -e $program && ! -e $man ]] || fail "files are left after removal"
echo "quibex-report package: built, installed into a fresh root, run and removed"
