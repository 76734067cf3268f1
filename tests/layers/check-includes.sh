#!/usr/bin/env bash
# Checks the include graph of the source tree against the order of the layers:
# every folder includes headers only of itself and of the folders it builds on. The
# build enforces the same order (each library sees only the folders it links); this
# check says which file broke it, before anything is compiled.
# Usage: check-includes.sh SOURCE_ROOT
set -euo pipefail
root=${1:?usage: check-includes.sh SOURCE_ROOT}

# Folder -> the folders its code may include (besides its own).
declare -A allowed=(
    [view]=""
    [link]=""
    [image]=""
    [settings]=""
    [target]="view link image"
    [sim]="link"
    [app]="view link image target settings sim"
    [cli]="view link image target settings sim"
)
ours="view link image settings target sim app cli tests bench tools"

status=0
checked=0
for folder in "${!allowed[@]}"; do
    [[ -d $root/$folder ]] || continue
    while IFS= read -r hit; do
        file=${hit%%:*}
        rest=${hit#*:}
        line=${rest%%:*}
        included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"${rest#*:}")
        [[ " $ours " == *" $included "* ]] || continue
        checked=$((checked + 1))
        if [[ $included != "$folder" && " ${allowed[$folder]} " != *" $included "* ]]; then
            echo "${file#"$root"/}:$line: $folder/ may not include $included/ (it builds on: ${allowed[$folder]:-nothing of ours})"
            status=1
        fi
    done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' \
                 "$root/$folder" || true)
done
if [[ $status -eq 0 ]]; then
    echo "layers: $checked includes of our own folders, all in order"
fi
exit $status
