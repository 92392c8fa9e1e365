#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the prefix elsewhere and
# runs the installed program and tools from there with the source and build
# trees hidden, checks every executable's --help, --version and bad-argument
# handling, the desktop entry, and builds and unpacks the Debian package.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR VERSION EXECUTABLE...
set -euo pipefail

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# The installed tools at work. With --hidden (inside a mount namespace) the
# source and build trees are first hidden under empty folders.
if [ "${1:-}" = "--hidden" ] || [ "${1:-}" = "--visible" ]; then
    mode="$1"
    shift
    src="$1" build="$2" prefix="$3" work="$4"
    if [ "$mode" = "--hidden" ]; then
        mount -t tmpfs tarnwick-hidden "$build" 2>/dev/null || true
        mount -t tmpfs tarnwick-hidden "$src" || fail "cannot hide $src"
        [ -z "$(ls -A "$src")" ] || fail "$src still visible"
    fi
    bin="$prefix/bin"
    cd "$work"
    "$bin/tarnwick-mkscenery" FS2002 >/dev/null || fail "tarnwick-mkscenery"
    [ -f FS2002/FS2002.EXE ] && [ -f FS2002/Scenery/magdec.bgl ] || fail "tarnwick-mkscenery wrote no simulator folder"
    "$bin/tarnwick-db" build "$work/FS2002" "$work" >/dev/null 2>&1 || fail "tarnwick-db build"
    "$bin/tarnwick-db" list "$work" --airports >airports.txt || fail "tarnwick-db list"
    grep -qx 'Seattle Tacoma Intl  (KSEA)' airports.txt || fail "tarnwick-db list has no KSEA"
    # render runs tarnwick-render from its own folder.
    "$bin/tarnwick-db" render "$work" --airport 'Seattle Tacoma Intl  (KSEA)' --out ksea.png ||
        fail "tarnwick-db render"
    [ -s ksea.png ] || fail "tarnwick-db render wrote no picture"
    "$bin/tarnwick-session" --demo --work "$work" --seconds 5 >session.txt || fail "tarnwick-session"
    grep -q . session.txt || fail "tarnwick-session printed no traffic"

    # tarnwick --demo makes the demo folder with the tools beside it, then
    # waits in its windows: stopped once the files are there.
    export XDG_DATA_HOME="$work/data-home"
    "$bin/tarnwick" --demo >demo.log 2>&1 &
    pid=$!
    demo="$XDG_DATA_HOME/tarnwick/demo"
    for _ in $(seq 300); do
        [ -f "$demo/world_airspaces.dat" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for file in FS2002/FS2002.EXE atc_settings.tcs world_airports.dat world_airspaces.dat; do
        [ -f "$demo/$file" ] || { cat demo.log >&2; fail "tarnwick --demo made no $file"; }
    done
    exit 0
fi

[ $# -ge 4 ] || fail "usage: $0 SOURCE_DIR BUILD_DIR VERSION EXECUTABLE..."
src="$(realpath "$1")" build="$(realpath "$2")" version="$3"
shift 3
executables=("$@")
tmp="$(mktemp -d /tmp/tarnwick-install-test.XXXXXX)"
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/first" --strip >/dev/null
mv "$tmp/first" "$tmp/moved"
prefix="$tmp/moved"
for file in share/tarnwick/WMM2025.COF share/tarnwick/demo/seattle.json \
    share/applications/tarnwick.desktop share/icons/hicolor/scalable/apps/tarnwick.svg \
    share/icons/hicolor/48x48/apps/tarnwick.png share/doc/tarnwick/LICENSE share/doc/tarnwick/copyright \
    share/doc/tarnwick/WMM2025.README.md share/doc/tarnwick/demo-region.README.md; do
    [ -s "$prefix/$file" ] || fail "$file not installed"
done
# The guides, and every picture the user's guide shows.
docs="$prefix/share/doc/tarnwick"
for file in user-guide.md tools.md interop.md recording.md; do
    cmp -s "$src/docs/$file" "$docs/$file" || fail "share/doc/tarnwick/$file not installed as docs/$file"
done
pictures=$(grep -o '](images/[^)]*\.png)' "$docs/user-guide.md" | sed 's/^](//; s/)$//')
[ -n "$pictures" ] || fail "the installed guide shows no pictures"
for picture in $pictures; do
    [ -s "$docs/$picture" ] || fail "share/doc/tarnwick/$picture, shown in the guide, not installed"
done
for program in "${executables[@]}"; do
    [ -x "$prefix/bin/$program" ] || fail "$program not installed"
    [ -s "$prefix/share/man/man1/$program.1.gz" ] || fail "no man page for $program"
done
# A sanitized build names its sources on purpose, so its reports can.
if [ -z "${TARNWICK_SANITIZED:-}" ] && grep -rlF -e "$src" -e "$build" "$prefix"; then
    fail "installed files name the source or build tree"
fi
desktop-file-validate "$prefix/share/applications/tarnwick.desktop" || fail "desktop-file-validate"

# --help, --version and bad arguments, from the moved prefix.
for program in "${executables[@]}"; do
    path="$prefix/bin/$program"
    "$path" --help >"$tmp/help" || fail "$program --help"
    for part in "Usage: $program" "Exit status:" "Example:"; do
        grep -q "^$part" "$tmp/help" || fail "$program --help has no '$part'"
    done
    "$path" --version >"$tmp/version" || fail "$program --version"
    grep -Eq "^$program \(Tarnwick\) $version( \(git [0-9a-f]+\))?$" "$tmp/version" ||
        fail "$program --version: $(cat "$tmp/version")"
    status=0
    "$path" --no-such-option >/dev/null 2>"$tmp/error" || status=$?
    [ "$status" -eq 2 ] || fail "$program --no-such-option exits with $status"
    [ "$(wc -l <"$tmp/error")" -eq 1 ] || fail "$program --no-such-option: $(cat "$tmp/error")"
done

mkdir "$tmp/work"
if unshare --mount --propagation private true 2>/dev/null; then
    unshare --mount --propagation private bash "$0" --hidden "$src" "$build" "$prefix" "$tmp/work"
elif unshare --user --map-root-user --mount true 2>/dev/null; then
    unshare --user --map-root-user --mount bash "$0" --hidden "$src" "$build" "$prefix" "$tmp/work"
else
    # Containers without mount namespaces: the moved prefix and the check that
    # no installed file names either tree stand in for hiding them.
    echo "note: no mount namespace here; the installed tools run with the source tree in place"
    bash "$0" --visible "$src" "$build" "$prefix" "$tmp/work"
fi

# The Debian package, built from the same build.
cpack --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 || {
    cat "$tmp/cpack.log" >&2
    fail "cpack"
}
deb="$tmp/package/tarnwick_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb")"
dpkg-deb -c "$deb" >"$tmp/contents"
for file in usr/bin/tarnwick usr/bin/tarnwick-session usr/share/applications/tarnwick.desktop \
    usr/share/icons/hicolor/scalable/apps/tarnwick.svg usr/share/man/man1/tarnwick-db.1.gz \
    usr/share/tarnwick/demo/seattle.json usr/share/doc/tarnwick/copyright usr/share/doc/tarnwick/changelog.gz \
    usr/share/doc/tarnwick/user-guide.md usr/share/doc/tarnwick/tools.md usr/share/doc/tarnwick/images/setup.png; do
    grep -q " \./$file$" "$tmp/contents" || fail "the package has no /$file"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package's Depends lack Qt"
lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1 || {
    cat "$tmp/lintian.log" >&2
    fail "lintian finds errors in the package"
}
dpkg-deb -x "$deb" "$tmp/unpacked"
"$tmp/unpacked/usr/bin/tarnwick-mkscenery" "$tmp/unpacked-demo" >/dev/null || fail "the packaged tarnwick-mkscenery"
echo "install test passed"
