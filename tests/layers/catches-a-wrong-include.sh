#!/usr/bin/env bash
# The include check itself: a tree in order passes, and an include across the order
# (image/ reaching for view/, as the codec once did for its warning) fails, naming
# the file and line.
# Usage: catches-a-wrong-include.sh PATH/TO/check-includes.sh
set -euo pipefail
check=${1:?usage: catches-a-wrong-include.sh CHECK_SCRIPT}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

mkdir -p "$tree"/{view,image,target,sim}
printf '#pragma once\n' >"$tree/view/Strings.h"
printf '#include "view/Strings.h"\n#include "image/Codec.h"\n' >"$tree/target/Operation.cpp"
printf '#include <QString>\n#include "image/Codec.h"\n' >"$tree/image/Codec.cpp"
printf '#include "link/ModemLines.h"\n' >"$tree/sim/Chip.cpp"
if ! bash "$check" "$tree" >/dev/null; then
    echo "FAIL: a tree in order was refused"
    exit 1
fi

printf '#include "image/Codec.h"\n  #  include "view/Strings.h"\n' >"$tree/image/Codec.cpp"
printf '#include "target/ChipTable.h"\n' >"$tree/sim/Chip.cpp"
if output=$(bash "$check" "$tree"); then
    echo "FAIL: includes across the order passed"
    exit 1
fi
for expected in "image/Codec.cpp:2: image/ may not include view/" "sim/Chip.cpp:1: sim/ may not include target/"; do
    if [[ $output != *"$expected"* ]]; then
        echo "FAIL: expected \"$expected\" in:"
        echo "$output"
        exit 1
    fi
done
echo "the include check refuses what crosses the layers and names where"
