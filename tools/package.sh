#!/bin/bash
# Builds the Debian package from the build folder (build/package/) and
# checks it: its control data and contents, lintian, the desktop entry and the
# metainfo, and an install into a clean Debian root
# (tools/package-install-test.sh). A failed check fails the script.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
build="${KUVERTIX_BUILD_DIR:-$src/build}"
out="$build/package"
# shellcheck source=tools/checks.sh
. "$src/tools/checks.sh"

cmake --build "$build" -j2 >/dev/null
rm -f "$out"/kuvertix_*.deb
if ! (cd "$build" && cpack --config CPackConfig.cmake) >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
deb=$(ls "$out"/kuvertix_*.deb)
echo "package: $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb" >"$out/contents.txt"
tree="$out/tree"
rm -rf "$tree"
dpkg-deb -x "$deb" "$tree"

field() { dpkg-deb --field "$deb" "$1"; }
depends_names() { field Depends | tr ',' '\n' | sed -E 's/^ *([^ (]+).*/\1/'; }

# The packages that ship a library of this machine's architecture.
library_owners() {
    local triplet
    triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    dpkg -S "$triplet/$1" 2>/dev/null \
        | awk -F': ' -v end="/$triplet/$1" 'substr($2, length($2) - length(end) + 1) == end { print $1 }' \
        | sed 's/:.*//' | sort -u
}

# Every library the program links comes from a package that Depends names.
libraries_covered() {
    local missing=0 library owners
    for library in $(readelf -d "$tree/usr/lib/kuvertix/kuvertix" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        owners=$(library_owners "$library")
        if [ -z "$owners" ] || ! depends_names | grep -qxF "$owners"; then
            echo "  $library comes from '${owners:-no package}', which Depends does not name"
            missing=1
        fi
    done
    [ "$missing" -eq 0 ]
}

no_name_twice() {
    local twice
    twice=$(depends_names | sort | uniq -d)
    [ -z "$twice" ] || { echo "  named twice in Depends: $twice"; false; }
}

# The office's program folder, and nothing else (no empty entry, which would
# be the working folder).
office_search_path_only() {
    [ "$(readelf -d "$tree/usr/lib/kuvertix/kuvertix" | grep -E '\((RPATH|RUNPATH)\)' | sed 's/.*\[\(.*\)\]/\1/')" \
        = /usr/lib/libreoffice/program ]
}

has_entries() {
    local entry missing=0
    for entry in "$@"; do
        [ -e "$tree/$entry" ] || [ -L "$tree/$entry" ] || { echo "  missing: /$entry"; missing=1; }
    done
    [ "$missing" -eq 0 ]
}

# Each file the build puts into the program folder for the program to open
# is shipped (the list in cmake/Package.cmake).
ships_program_folder() {
    local file name missing=0
    for file in "$build/Kuvertix"/*; do
        name=${file##*/}
        case $name in kuvertix | base | kuvertix.png) continue ;; esac
        [ -f "$tree/usr/lib/kuvertix/$name" ] || { echo "  not shipped: $name"; missing=1; }
    done
    for file in "$out/base"/*; do
        [ -f "$tree/usr/lib/kuvertix/base/${file##*/}" ] || { echo "  table not shipped: ${file##*/}"; missing=1; }
    done
    [ "$missing" -eq 0 ]
}

only_under_usr() {
    ! awk '{ print $6 }' "$out/contents.txt" | grep -v -e '^\./$' -e '^\./usr/'
}

launcher_linked() {
    [ "$(readlink "$tree/usr/bin/kuvertix")" = ../lib/kuvertix/kuvertix-launcher ] \
        && [ -x "$tree/usr/lib/kuvertix/kuvertix-launcher" ]
}

lintian_clean() {
    lintian --fail-on error --display-level '>=warning' "$deb"
}

check "package name and version" test "$(field Package) $(field Version)" = "kuvertix $(sed -n 's/^project(Kuvertix VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")"
check "architecture of this machine" test "$(field Architecture)" = "$(dpkg --print-architecture)"
check "Depends names the package of every linked library" libraries_covered
check "Depends names no package twice" no_name_twice
check "the program's one library search path is the office's" office_search_path_only
check "launcher /usr/bin/kuvertix" launcher_linked
check "menu entry, icon, metainfo, documents" has_entries \
    usr/lib/kuvertix/kuvertix usr/share/applications/ru.kuvertix.Kuvertix.desktop \
    usr/share/icons/hicolor/256x256/apps/kuvertix.png usr/share/metainfo/ru.kuvertix.Kuvertix.metainfo.xml \
    usr/share/doc/kuvertix/copyright usr/share/doc/kuvertix/changelog.gz
check "the program folder's files and tables are shipped" ships_program_folder
check "nothing outside /usr" only_under_usr
check "desktop entry validates" desktop-file-validate "$tree/usr/share/applications/ru.kuvertix.Kuvertix.desktop"
check "metainfo validates" appstreamcli validate --no-net "$tree/usr/share/metainfo/ru.kuvertix.Kuvertix.metainfo.xml"
check "launcher and maintainer script pass shellcheck" \
    shellcheck -s sh "$src/app/files/kuvertix-launcher" "$src/app/files/deb/postrm"
check "lintian finds no error" lintian_clean
check "installed in a clean Debian root and used by two users" bash "$src/tools/package-install-test.sh" "$deb"
finish_checks "package checks"
