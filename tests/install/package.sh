#!/usr/bin/env bash
# The Debian package as a user gets it: made by CPack from this build, unpacked into a
# scratch root, its programs run from there; its file list, and lintian's verdict.
# The same install rules under another prefix give the same files (make install).
#   package.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$1 build=$2
. "$src/tests/install/lib.sh"
need cpack; need dpkg-deb; need dpkg-shlibdeps; need lintian; need file

work=$(mktemp -d)
window=
cleanup() { [ -n "$window" ] && kill "$window" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

# A package directory of its own, so that a parallel `make package` cannot collide.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; finish; }
debs=("$work"/pkg/kestova_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "no single kestova_VERSION_ARCH.deb: ${debs[*]}"; finish; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version) arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "kestova_${version}_${arch}.deb" ] || fail "package file name $(basename "$deb")"
grep -q 'libqt6serialport6' <<<"$(dpkg-deb -f "$deb" Depends)" || fail "Depends lacks the computed libraries"

# Every file, and nothing else: no tests, benchmarks, virtual port or simulator state.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' | sort >"$work/files.txt"
diff -u "$src/tests/install/expected-files.txt" "$work/files.txt" || fail "file list of the package"

root=$work/root
dpkg-deb -x "$deb" "$root"
cli=$root/usr/bin/kestova-cli
[ "$("$cli" --version)" = "kestova-cli $version" ] || fail "installed kestova-cli --version"
out=$(KESTOVA_SIM_DIR=$work/sim "$cli" --port SIM:atmega8 --chip atmega8 probe </dev/null)
[ $? -eq 0 ] && [[ $out == "signature 1E 93 07 at ClockDelay "* ]] || fail "installed probe said: $out"
[ -z "$(ls "$work/sim" 2>/dev/null | grep -v '\.simchip$')" ] || fail "stray files beside the simulated chip"

# The installed window keeps its choice in the user's folder, starting from a file
# beside it, and never writes its own folder (which root could).
seed=$'[CONFIG]\r\nCHIP=5\r\nPORTA=SIM:atmega8\r\n'
printf '%s' "$seed" >"$root/usr/bin/kestova.ini"
cp "$root/usr/bin/kestova.ini" "$work/seed.ini"
before=$(ls "$root/usr/bin")
user=$work/home/.config/kestova/kestova.ini
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config KESTOVA_SIM_DIR=$work/sim QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/kestova" s52 </dev/null >"$work/window.log" 2>&1 &
window=$!
for _ in $(seq 600); do
    grep -q '^CHIP=3' "$user" 2>/dev/null && break
    kill -0 "$window" 2>/dev/null || break
    sleep 0.1
done
kill "$window" 2>/dev/null
wait "$window" 2>/dev/null
window=
if grep -q '^CHIP=3' "$user" 2>/dev/null; then
    grep -q '^PORTA=SIM:atmega8' "$user" || fail "the user's file did not start from the file beside kestova"
else
    fail "the installed window did not write $user: $(cat "$work/window.log")"
fi
cmp -s "$root/usr/bin/kestova.ini" "$work/seed.ini" || fail "the window rewrote the file beside it"
[ "$(ls "$root/usr/bin")" = "$before" ] || fail "the window left files in its own folder"

# The package's lintian verdict: no errors and no warnings.
lintian --suppress-tags running-with-root-privileges "$deb" >"$work/lintian.txt" 2>&1
if grep -E '^[EW]: ' "$work/lintian.txt"; then fail "lintian"; fi

# make install: the same files under another prefix.
cmake --install "$build" --prefix "$work/prefix/usr/local" >/dev/null || fail "cmake --install"
(cd "$work/prefix" && find . ! -type d | sed 's|^\./usr/local|/usr|' | sort) >"$work/installed.txt"
diff -u "$work/files.txt" "$work/installed.txt" || fail "cmake --install installs other files than the package"
finish
