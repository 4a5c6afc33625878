#!/usr/bin/env bash
# Fails when the source tree strays from its architecture, and says where:
# - a Qt-free layer (calc, engine, sheets, layouts, roof) includes a Qt header or
#   links a Qt library;
# - a file includes a header of a layer its target does not stand on;
# - a source file outside tests is longer than 600 lines.
set -euo pipefail
root=$1
cd "$root"
status=0

# What each library folder may include besides itself: the layers it links,
# directly or through them.
declare -A allowed=(
  [calc]=""
  [engine]=""
  [sheets]="calc"
  [layouts]="engine sheets calc"
  [roof]="layouts engine sheets calc"
  [project]="roof layouts engine sheets calc"
  [rendering]="sheets calc"
  [windows]="rendering sheets calc"
  [dxf]="project roof layouts engine sheets calc"
  [designer]="dxf project roof layouts engine sheets calc rendering"
)
layers="calc engine sheets layouts roof project dxf rendering windows designer programs"

for folder in "${!allowed[@]}"; do
  while IFS= read -r line; do
    file=${line%%:*}
    included=${line#*\"}
    included=${included%\"}
    layer=${included%%/*}
    [[ $layer == "$folder" ]] && continue
    [[ " $layers " == *" $layer "* ]] || continue
    if [[ " ${allowed[$folder]} " != *" $layer "* ]]; then
      echo "$file includes $included: $folder does not stand on $layer"
      status=1
    fi
  done < <(grep -rHo '^#include "[^"]*"' "$folder" | sed 's/:#include /:/')
done

for folder in calc engine sheets layouts roof; do
  if grep -rnE '^#include <Q|^#include "Q' "$folder"; then
    echo "$folder is a Qt-free layer but includes Qt (above)"
    status=1
  fi
  if grep -nE 'Qt6?::|find_package\(Qt' "$folder/CMakeLists.txt"; then
    echo "$folder is a Qt-free layer but links Qt (above)"
    status=1
  fi
done

while read -r lines file; do
  [[ $file == total ]] && continue
  if ((lines > 600)); then
    echo "$file has $lines lines: more than 600"
    status=1
  fi
done < <(find calc engine sheets layouts roof project dxf rendering windows designer programs bench fuzz \
  -name '*.cpp' -o -name '*.h' | xargs wc -l)

exit $status
