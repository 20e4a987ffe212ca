#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under /usr and checks the installation as a desktop
# sees it: the desktop entry and the AppStream data pass their validators, the icon theme holds
# every size, and the installed programs run for an ordinary user whose program folder is
# read-only and for the installation's owner, who could write there, each keeping everything they
# write in the user's own folder. The Debian package made from the build passes lintian: an error
# or a warning fails the test, the informational tags are shown.
#   install-test.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "${1:?usage: install-test.sh BUILD_FOLDER}" && pwd)
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
prefix=$scratch/root/usr
id=org.quillfen.Quillfen

# Everything lands under the prefix.
outside=$(find "$scratch/root" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
# Real files, not links into a versioned folder: the file managers' entries store the program's
# resolved path, which has to stay the same across upgrades.
for file in bin/quillfen bin/quillfen-cli; do
  [ -x "$prefix/$file" ] && [ ! -L "$prefix/$file" ] || fail "$file is not an installed program"
done
for file in lib/quillfen/modules/libquillfen-icu.so lib/quillfen/modules/libquillfen-mime.so \
    share/quillfen/Language/1033.ini share/man/man1/quillfen.1.gz \
    share/man/man1/quillfen-cli.1.gz share/doc/quillfen/copyright \
    share/doc/quillfen/changelog.gz share/bash-completion/completions/quillfen-cli \
    share/fish/vendor_completions.d/quillfen-cli.fish share/icons/hicolor/scalable/apps/$id.svg; do
  [ -f "$prefix/$file" ] || fail "$file is missing"
done
compgen -G "$prefix/share/zsh/*/_quillfen-cli" >/dev/null || fail "no zsh completion"

desktop_entry=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop_entry" || fail "desktop entry does not validate"
grep -qx "Icon=$id" "$desktop_entry" || fail "desktop entry names another icon"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "AppStream data do not validate"
grep -q '<project_license>MIT</project_license>' "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream data name no licence"
# The manual pages and the changelog are compressed without a name or time inside (gzip -n).
for file in share/man/man1/quillfen.1.gz share/doc/quillfen/changelog.gz; do
  gzip -t "$prefix/$file" 2>/dev/null || fail "$file is no gzip file"
  # The header's flags (no name) and its four bytes of modification time are zero.
  [ "$(od -An -tx1 -j3 -N5 "$prefix/$file" | tr -d ' ')" = 0000000000 ] ||
    fail "$file carries a name or a time"
done

# Each PNG of the icon theme is as large as its folder says (the size is in the PNG header).
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ ! -f "$png" ]; then
    fail "no ${size}px icon"
    continue
  fi
  actual=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "none")' "$png")
  [ "$actual" = "${size}x${size}" ] || fail "icon for ${size}px is $actual"
done

# The user: an ordinary one with a home of its own. The superuser may write anywhere, so it runs
# the programs as nobody; anyone else is already ordinary, and the read-only modes hold for them.
home=$scratch/home
mkdir -p "$home" "$scratch/tree/sub"
printf 'hello' >"$scratch/tree/a.txt"
printf 'hello' >"$scratch/tree/sub/b.txt"
printf 'other' >"$scratch/tree/c.log"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$scratch"
  chown -R nobody "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod -R a-w "$prefix"
snapshot() { (cd "$prefix" && find . -printf '%p %M %s %T@\n' | sort); }
before=$(snapshot)
run_env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config"
         XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" LANG=de_DE.UTF-8
         QUILLFEN_UPDATE_BASE= QT_QPA_PLATFORM=offscreen)

found=$("${as_user[@]}" "${run_env[@]}" "$prefix/bin/quillfen-cli" find --in "$scratch/tree" \
  --name '*.txt' --sort name --format paths --quiet)
expected=$(printf '%s\n' "$scratch/tree/a.txt" "$scratch/tree/sub/b.txt")
[ "$found" = "$expected" ] || fail "quillfen-cli found: $found"
message=$("${as_user[@]}" "${run_env[@]}" "$prefix/bin/quillfen-cli" find \
  --in "$scratch/nowhere" 2>&1 || true)
[ "$message" = "quillfen-cli: Der Ordner existiert nicht: $scratch/nowhere" ] ||
  fail "the shipped German table did not reach the user: $message"

# The installed modules: the type column (Qt) and a text in code page 1252 (ICU, the German
# language's code page) work, and nothing is said of a module.
printf 'x Gr\xfc\xdfe x' >"$scratch/tree/ansi.log"
answer=$("${as_user[@]}" "${run_env[@]}" "$prefix/bin/quillfen-cli" find --in "$scratch/tree" \
  --name '*.txt' --format tsv --quiet 2>&1)
type=$(awk -F'\t' '$1 == "a.txt" { print $3 }' <<<"$answer")
[ -n "$type" ] && ! grep -q 'cannot load' <<<"$answer" ||
  fail "the installed quillfen-cli shows no file type: $answer"
answer=$("${as_user[@]}" "${run_env[@]}" "$prefix/bin/quillfen-cli" find --in "$scratch/tree" \
  --text 'GRÜßE' --format paths --quiet 2>&1)
[ "$answer" = "$scratch/tree/ansi.log" ] ||
  fail "the installed quillfen-cli did not search code page 1252: $answer"
rm "$scratch/tree/ansi.log"

version=$("${as_user[@]}" "${run_env[@]}" "$prefix/bin/quillfen" --version)
cli_version=$("$prefix/bin/quillfen-cli" --version)
[ "$version" = "quillfen ${cli_version#quillfen-cli }" ] ||
  fail "quillfen --version printed: $version; quillfen-cli --version: $cli_version"
[ "$(sed -n 2p <<<"$version")" = "License: MIT" ] || fail "quillfen --version names no licence"

# The window opens on the tree; once it has stored its size in the settings (which only a window
# does; the runs above have made the settings file and the language copies already), it has done
# the writing a start does.
#   run_window SETTINGS_FOLDER COMMAND_PREFIX...
run_window() {
  local settings=$1
  shift
  "$@" setsid "${run_env[@]}" "$prefix/bin/quillfen" "$scratch/tree" &
  local window=$!
  for _ in $(seq 600); do
    grep -qs '^WindowWidth=' "$settings"/*.ini && break
    kill -0 "$window" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$window" 2>/dev/null; then
    kill -TERM -- "-$window" 2>/dev/null || true
    for _ in $(seq 300); do
      kill -0 "$window" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$window" 2>/dev/null; then
      fail "quillfen outlived SIGTERM"
      kill -KILL -- "-$window" 2>/dev/null || true
    fi
  else
    fail "quillfen ended by itself before its window was in use"
  fi
  wait "$window" 2>/dev/null || true
  grep -qs '^WindowWidth=' "$settings"/*.ini || fail "the window stored nothing in $settings"
  for table in 1031 1033; do
    [ -f "$settings/Language/$table.ini" ] || fail "the user has no copy of $table.ini in $settings"
  done
}
run_window "$home/.config/quillfen" "${as_user[@]}"

after=$(snapshot)
[ "$before" = "$after" ] || fail "written under the prefix: $(diff <(echo "$before") <(echo "$after"))"

# The same programs run by whoever owns the installation (the superuser of a package, or the user
# who installed into a folder of their own): they could write beside themselves, yet an installed
# copy keeps everything in the user's folder too.
chmod -R u+w "$prefix"
owner_home=$scratch/owner
mkdir -p "$owner_home"
run_env=(env -i PATH=/usr/bin:/bin HOME="$owner_home" XDG_CONFIG_HOME="$owner_home/.config"
         XDG_CACHE_HOME="$owner_home/.cache" XDG_DATA_HOME="$owner_home/.local/share"
         LANG=de_DE.UTF-8 QUILLFEN_UPDATE_BASE= QT_QPA_PLATFORM=offscreen)
before=$(snapshot)
"${run_env[@]}" "$prefix/bin/quillfen-cli" find --in "$scratch/tree" --name '*.txt' \
  --format paths --quiet >/dev/null || fail "quillfen-cli failed for the installation's owner"
run_window "$owner_home/.config/quillfen"
after=$(snapshot)
[ "$before" = "$after" ] ||
  fail "the owner's run wrote under the prefix: $(diff <(echo "$before") <(echo "$after"))"

# Before the package goes, its entries go: quillfen --remove-shell-entries takes ours out of each
# file manager's folder and out of Thunar's shared file, and leaves the user's own.
entries=$owner_home/.local/share
mkdir -p "$entries/nautilus/scripts" "$entries/kio/servicemenus" "$owner_home/.config/Thunar"
printf '#!/bin/sh\n# Quillfen context-menu entry\n' >"$entries/nautilus/scripts/Quillfen!"
printf '#!/bin/sh\necho mine\n' >"$entries/nautilus/scripts/Mine"
printf '# Quillfen context-menu entry\n[Desktop Entry]\n' \
  >"$entries/kio/servicemenus/quillfen-folders.desktop"
printf '<actions>\n<action>\n\t<name>Mine</name>\n\t<unique-id>1-1</unique-id>\n</action>\n<action>\n\t<name>Quillfen!</name>\n\t<unique-id>quillfen-folders</unique-id>\n</action>\n</actions>\n' \
  >"$owner_home/.config/Thunar/uca.xml"
"${run_env[@]}" "$prefix/bin/quillfen" --remove-shell-entries ||
  fail "quillfen --remove-shell-entries failed"
for gone in "$entries/nautilus/scripts/Quillfen!" "$entries/kio/servicemenus/quillfen-folders.desktop"; do
  [ ! -e "$gone" ] || fail "--remove-shell-entries left $gone"
done
[ -f "$entries/nautilus/scripts/Mine" ] || fail "--remove-shell-entries removed the user's script"
grep -q quillfen- "$owner_home/.config/Thunar/uca.xml" && fail "Thunar still holds our action"
grep -q '<name>Mine</name>' "$owner_home/.config/Thunar/uca.xml" ||
  fail "Thunar lost the user's action"

# The package made from this build, in a folder of its own.
package_folder=$scratch/package
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$package_folder" >/dev/null ||
  fail "cpack made no package"
package=$(find "$package_folder" -maxdepth 1 -name 'quillfen_*.deb' | head -n 1)
if [ -n "$package" ]; then
  lintian_status=0
  lintian_output=$(lintian --fail-on error,warning --display-info "$package" 2>&1) ||
    lintian_status=$?
  [ -z "$lintian_output" ] || echo "lintian: $lintian_output"
  [ "$lintian_status" -eq 0 ] && ! grep -q '^[EW]: ' <<<"$lintian_output" ||
    fail "lintian finds errors or warnings in the package"
  contents=$(dpkg-deb --contents "$package")
  for file in ./usr/share/doc/quillfen/copyright ./usr/share/doc/quillfen/changelog.gz \
      ./usr/share/man/man1/quillfen-cli.1.gz; do
    grep -q " $file\$" <<<"$contents" || fail "the package lacks $file"
  done
else
  fail "cpack made no package"
fi

[ "$failures" -eq 0 ] && echo "installation checked"
exit $((failures > 0))
