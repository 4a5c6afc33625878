#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that a desktop finds the
# program there: the binary, a valid desktop entry, the icon and valid metainfo.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
for file in bin/lpcalc share/applications/lpcalc.desktop \
            share/icons/hicolor/scalable/apps/lpcalc.svg share/metainfo/com.example.lpcalc.metainfo.xml; do
  [[ -e $prefix/$file ]] || { echo "missing after install: $file"; exit 1; }
done
[[ -x $prefix/bin/lpcalc ]] || { echo "bin/lpcalc is not executable"; exit 1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/lpcalc.desktop"
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/com.example.lpcalc.metainfo.xml"
else
  echo "appstreamcli not installed: metainfo not validated"
fi
