#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that a desktop finds the
# program there (the binary, a valid desktop entry, the icon and valid
# metainfo) and that its manual page and the package's copyright and changelog
# are installed, compressed the reproducible way.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
man_page=share/man/man1/lpcalc.1.gz
layout_man_page=share/man/man1/lplayout.1.gz
changelog=share/doc/lpcalc/changelog.gz
for file in bin/lpcalc share/applications/lpcalc.desktop \
            share/icons/hicolor/scalable/apps/lpcalc.svg share/metainfo/com.example.lpcalc.metainfo.xml \
            $man_page $changelog share/doc/lpcalc/copyright \
            bin/lplayout share/applications/lplayout.desktop \
            share/icons/hicolor/scalable/apps/lplayout.svg $layout_man_page; do
  [[ -e $prefix/$file ]] || { echo "missing after install: $file"; exit 1; }
done
for program in lpcalc lplayout; do
  [[ -x $prefix/bin/$program ]] || { echo "bin/$program is not executable"; exit 1; }
done

# A gzip header (RFC 1952) holds flags in byte 3 (8 = the original file name
# follows) and the modification time in bytes 4 to 7; `gzip -n` leaves both
# out, so the package's bytes do not depend on when or where it was built.
for file in $man_page $layout_man_page $changelog; do
  gzip -t "$prefix/$file" || { echo "$file is not a valid gzip file"; exit 1; }
  read -r -a header < <(od -An -tu1 -N8 "$prefix/$file")
  ((header[3] & 8)) && { echo "$file keeps the original file name"; exit 1; }
  ((header[4] + header[5] + header[6] + header[7] == 0)) || { echo "$file keeps a timestamp"; exit 1; }
done
zcat "$prefix/$changelog" | head -n 1 | grep -q '^lpcalc (' || { echo "$changelog is not lpcalc's changelog"; exit 1; }
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
  "$prefix/share/doc/lpcalc/copyright" || { echo "copyright is not in the machine-readable format"; exit 1; }
# The manual page renders without a single warning from groff.
if command -v man >/dev/null; then
  for page in $man_page $layout_man_page; do
    warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/$page" 2>&1 >/dev/null)
    [[ -z $warnings ]] || { echo "$page: $warnings"; exit 1; }
  done
fi

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/lpcalc.desktop"
  desktop-file-validate "$share/applications/lplayout.desktop"
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/com.example.lpcalc.metainfo.xml"
else
  echo "appstreamcli not installed: metainfo not validated"
fi
