#!/bin/bash
# Installs the package into a clean Debian root made with debootstrap, where
# apt resolves its Depends alone (no recommended packages), and uses it as
# two ordinary users with empty home folders: the first start makes each
# user's own program folder, a run prints that user's recipients, a
# reinstall keeps the users' data, removing and purging the package leave
# their folders in place. All of it happens inside the root, which is
# deleted at the end: the machine's own system is not touched.
#   tools/package-install-test.sh kuvertix_VERSION_ARCH.deb
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
deb=$(readlink -f "$1")
log="$(dirname "$deb")/install-test.log"
# shellcheck source=tools/checks.sh
. "$src/tools/checks.sh"
[ "$(id -u)" -eq 0 ] || { echo "the install test needs root (debootstrap, chroot)"; exit 1; }

# The Debian release and mirror this machine's apt uses.
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
machine_mirrors() {
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '/^URIs:/ { print $2 }'
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
        | sed -nE 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/p'
    true
}
mirror=$(machine_mirrors | awk '!/security/ && !found { print; found = 1 }')
[ -n "$mirror" ] || { echo "no Debian mirror in this machine's apt sources"; exit 1; }

root=$(mktemp -d /var/tmp/kuvertix-root.XXXXXX)
chmod 755 "$root"  # the users walk through it
cleanup() {
    if mountpoint -q "$root/proc"; then umount "$root/proc"; fi
    if findmnt -rn -o TARGET | grep -q "^$root/"; then
        echo "still mounted under $root: left in place" >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT

in_root() { chroot "$root" "$@"; }
stage() { echo "-- $1 ($(date +%T))"; }

stage "debootstrap $suite from $mirror"
debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$log" 2>&1 || { tail -20 "$log"; exit 1; }
# The machine's apt sources, updates and security included, in place of the
# one debootstrap wrote.
rm -f "$root/etc/apt/sources.list"
cp /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list "$root/etc/apt/sources.list.d/" 2>/dev/null || true
[ ! -f /etc/apt/sources.list ] || cp /etc/apt/sources.list "$root/etc/apt/"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"  # no services start in the root
chmod +x "$root/usr/sbin/policy-rc.d"
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/kuvertix.deb"

stage "apt-get install ./${deb##*/} and its Depends"
install_package() {
    in_root apt-get update -qq >>"$log" 2>&1 \
        && DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -q --no-install-recommends \
            /tmp/kuvertix.deb >>"$log" 2>&1
}
check "the package installs with its Depends" install_package
if [ "$failed" -ne 0 ]; then
    tail -20 "$log"
    finish_checks "install test" || exit 1
fi

folder_of() { echo "$root/home/$1/.local/share/Kuvertix"; }
add_user() {
    in_root useradd --no-create-home --home-dir "/home/$1" --shell /bin/sh "$1"
    mkdir -m 700 "$root/home/$1"
    in_root chown "$1:$1" "/home/$1"
}
# Runs a command as the user, with nothing but a home folder and a path.
as_user() {
    local user=$1
    shift
    chroot --userspec="$user:$user" "$root" /usr/bin/env -i HOME="/home/$user" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
add_user clerk1
add_user clerk2

stage "the two users"
# The start the menu entry makes: its Exec line.
menu_start() {
    local exec
    exec=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/ru.kuvertix.Kuvertix.desktop")
    # shellcheck disable=SC2086 # the Exec line is split into words, as a menu does
    as_user clerk1 $exec --help | grep -q -- '--pdf'
}
shipped_tables=$(find "$root/usr/lib/kuvertix/base" -type f | wc -l)
folder_made() {
    local folder uid
    folder=$(folder_of "$1")
    uid=$(in_root id -u "$1")
    [ "$(find "$folder/base" -type f -user "$uid" | wc -l)" -eq "$shipped_tables" ] \
        && [ "$(stat -c '%u %a' "$folder")" = "$uid 700" ] \
        && [ -f "$folder/Опись.doc" ] && [ -L "$folder/Kuvertix.htm" ]
}
libraries_found() {
    ! in_root ldd /usr/lib/kuvertix/kuvertix | grep 'not found'
}
prints_own_recipients() {
    sqlite3 "$(folder_of clerk1)/base/AdrList.DB" \
        "INSERT INTO AdrList (Komu, Kuda, \"Index\", \"Check\") VALUES
         ('Иванов Иван', 'Тула', '300000', 1), ('Петрова Анна', 'Омск', '644000', 0)" \
        && as_user clerk1 kuvertix --pdf /home/clerk1/envelopes.pdf --scope all \
        && [ "$(pdfinfo "$root/home/clerk1/envelopes.pdf" | awk '/^Pages:/ { print $2 }')" = 2 ] \
        && pdftotext "$root/home/clerk1/envelopes.pdf" - | grep -q 'Петрова Анна'
}
second_user_apart() {
    local err
    err=$(as_user clerk2 kuvertix --pdf /home/clerk2/envelopes.pdf --scope all 2>&1 >/dev/null) && return 1
    echo "$err" | grep -q 'нет ни одного адресата' \
        && as_user clerk2 kuvertix --pdf /home/clerk2/envelopes.pdf --scope current \
        && folder_made clerk2
}
check "the menu entry's command starts the program" menu_start
check "the first start made the user's program folder" folder_made clerk1
check "every library of the program is found" libraries_found
check "the user's run prints the user's own recipients" prints_own_recipients
check "a second user gets a folder and a book of their own" second_user_apart
check "installed desktop entry validates" desktop-file-validate "$root/usr/share/applications/ru.kuvertix.Kuvertix.desktop"
check "installed metainfo validates" appstreamcli validate --no-net "$root/usr/share/metainfo/ru.kuvertix.Kuvertix.metainfo.xml"

stage "reinstall, remove, purge"
folder_sums() { (cd "$(folder_of clerk1)" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
before=$(folder_sums || true)
reinstall_keeps_data() {
    in_root dpkg -i /tmp/kuvertix.deb >>"$log" 2>&1 \
        && as_user clerk1 kuvertix --help >/dev/null \
        && [ "$(folder_sums)" = "$before" ]
}
remove_keeps_folders() {
    in_root dpkg --remove kuvertix >>"$log" 2>&1 \
        && [ ! -e "$root/usr/bin/kuvertix" ] && [ "$(folder_sums)" = "$before" ] && folder_made clerk2
}
purge_names_folders() {
    local said
    said=$(in_root dpkg --purge kuvertix 2>&1)
    echo "$said" >>"$log"
    echo "$said" | grep -qF /home/clerk1/.local/share/Kuvertix \
        && echo "$said" | grep -qF /home/clerk2/.local/share/Kuvertix \
        && [ "$(folder_sums)" = "$before" ]
}
check "a reinstall leaves the user's tables and blanks alone" reinstall_keeps_data
check "removing the package leaves the users' folders" remove_keeps_folders
check "purging names the users' folders and leaves them" purge_names_folders
stage "done"
finish_checks "install test"
