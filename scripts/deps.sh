#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing lpcalc need.
# Only what is missing is installed, so running it again is cheap and safe.
set -euo pipefail

packages=(
  cmake g++ make pkgconf clang-format ccache
  qt6-base-dev qt6-translations-l10n libgl-dev
  libgtest-dev googletest
  libboost-dev
  locales
  fonts-noto-cjk fonts-arphic-ukai fonts-arphic-uming fonts-wqy-zenhei
  xvfb xauth xdotool imagemagick x11-utils
)
# Tests also use clang (sanitizers, fuzzer), Google Benchmark and the
# desktop-entry and metainfo validators, lintian with what it needs to check
# the built .deb, and poppler's tools to read exported PDF files back; ezdxf
# writes the drawings the import is tested on and reads the exported ones
# back, shapely works out the areas the import should find, and LibreCAD
# renders one (its font made with fonttools).
if [[ "${1:-}" == "--test" ]]; then
  packages+=(clang libclang-rt-dev libbenchmark-dev desktop-file-utils appstream
             lintian dpkg-dev fakeroot file poppler-utils
             python3-ezdxf python3-shapely librecad python3-fonttools)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale proves that number handling ignores the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  as_root locale-gen >/dev/null
fi
