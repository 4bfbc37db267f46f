#!/usr/bin/env bash
# An installation under a fresh prefix works on its own: `cmake --install` puts every file in
# place, the installed kavro-batch runs a batch of an example, the installed kavro (and its
# dovel name) finds its help file there, not in the build folder, and the desktop entries,
# file types and manual pages are installed and well formed.
# Usage: install-test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log"
  fail "cmake --install"
}

for file in bin/kavro bin/kavro-batch share/kavro/kavro.html share/man/man1/kavro.1 \
  share/man/man1/kavro-batch.1 share/applications/kavro.desktop share/applications/dovel.desktop \
  share/icons/hicolor/scalable/apps/kavro.svg share/icons/hicolor/scalable/apps/dovel.svg \
  share/mime/packages/kavro.xml lib/kavro/libudov.so share/kavro/New.dov; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ "$(readlink "$prefix/bin/dovel")" = kavro ] || fail "bin/dovel is not a link to kavro"
[ "$(readlink "$prefix/share/man/man1/dovel.1")" = kavro.1 ] || fail "dovel.1 is not kavro.1"
# Every picture the help file shows is installed with it.
grep -o 'src="images/[^"]*"' "$prefix/share/kavro/kavro.html" | sed 's/^src="//; s/"$//' |
  while read -r image; do
    [ -f "$prefix/share/kavro/$image" ] || fail "the help file's $image is not installed"
  done

# A batch with the installed kavro-batch, on a copy of an example (it writes beside it).
cp "$source/examples/on-ramp-taper.kav" "$work/"
(cd "$work" && "$prefix/bin/kavro-batch" on-ramp-taper.kav batch=2,0,1,40 >"$work/batch.out" 2>&1) || {
  cat "$work/batch.out"
  fail "the installed kavro-batch did not run the batch"
}
[ -s "$work/on-ramp-taper.kbr" ] || fail "no batch results on-ramp-taper.kbr"
[ "$(grep -c . "$work/on-ramp-taper.kbr")" -ge 3 ] || fail "on-ramp-taper.kbr lacks its runs"
"$prefix/bin/kavro-batch" --version | grep -q '^kavro-batch [0-9]' || fail "kavro-batch --version"

# The installed program opens the installed help file, whether started by its path or from
# the PATH, as kavro or as dovel.
expected="$prefix/bin/../share/kavro/kavro.html"
for program in "$prefix/bin/kavro" "$prefix/bin/dovel"; do
  "$program" --help >"$work/help.out" || fail "$program --help"
  grep -qxF "Help file: $expected" "$work/help.out" ||
    fail "$program --help: $(tail -1 "$work/help.out"), not $expected"
done
# From the PATH the program finds its folder through the system, links resolved.
(cd "$work" && PATH="$prefix/bin:$PATH" kavro --help >"$work/help.out") || fail "kavro --help"
grep -qxF "Help file: $(realpath "$prefix")/bin/../share/kavro/kavro.html" "$work/help.out" ||
  fail "kavro from the PATH: $(tail -1 "$work/help.out")"

# The manual pages hold the options --help lists.
for program in kavro kavro-batch; do
  "$prefix/bin/$program" --help | sed -n 's/^  \([^ ]\+\).*/\1/p' >"$work/options"
  [ -s "$work/options" ] || fail "$program --help lists no options"
  while read -r option; do
    grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" "$prefix/share/man/man1/$program.1" ||
      fail "$program.1 lacks $option"
  done <"$work/options"
done

desktop-file-validate "$prefix/share/applications/kavro.desktop" \
  "$prefix/share/applications/dovel.desktop" || fail "desktop-file-validate"
# The file types are read as a file manager's database reads them.
update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 || {
  cat "$work/mime.log"
  fail "update-mime-database refused kavro.xml"
}
for type in kavro dovel; do
  [ -f "$prefix/share/mime/application/x-$type-configuration.xml" ] ||
    fail "no file type application/x-$type-configuration"
done
grep -q '^application/x-kavro-configuration:\*\.kav$' "$prefix/share/mime/globs" ||
  fail "*.kav is not application/x-kavro-configuration"
echo "installed and checked under $prefix"
