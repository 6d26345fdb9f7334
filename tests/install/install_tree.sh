#!/usr/bin/env bash
# The installed program. `cmake --install` into a temporary prefix writes nothing outside it; the
# tree is then moved elsewhere, and from there: the desktop entry and the AppStream metadata
# validate, the icons agree with their SVG source, every link of the manual leads somewhere; the
# program starts under Xvfb with its icon and the window class its menu entry names, the pipette
# works with the installed hook library, help hands the installed manual to the desktop (a
# stand-in xdg-open records it), "/noversion" picks the one-page manual, a missing manual is
# reported, and the settings are saved. Last, the .deb from CPack holds exactly the installed
# files, with the dependencies dpkg-shlibdeps found. Nothing is installed on this machine.
#   tests/install/install_tree.sh <build folder>
BUILD=$(realpath "${1:?build folder}")
source "$(dirname "$0")/../e2e/lib.sh" "$BUILD"
SRC=${JOV_SOURCE_DIR:-$(realpath "$(dirname "$0")/../..")}
APP_ID=${JOV_APP_ID:-fr.jov_couleurs.Jov}
unset LD_LIBRARY_PATH

# -- Install, then move the tree: the program must not depend on the place it was installed to.
cmake --install "$BUILD" --prefix "$E2E_TMP/prefix" >"$E2E_TMP/install.log" ||
  { cat "$E2E_TMP/install.log"; fail "cmake --install failed"; }
outside=$(grep -v "^$E2E_TMP/prefix/" "$BUILD/install_manifest.txt" || true)
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
# No library from the current folder: the loader reads an empty RUNPATH entry as ".". The
# build tree's program and hook library have none; the installed ones need no RUNPATH at all.
runpaths() { readelf -d "$1" | grep -E '\((RPATH|RUNPATH)\)' || true; }
for f in "$BUILD/bin/jov" "$BUILD/bin/libHook.so"; do
  ! runpaths "$f" | grep -Eq '\[\]|\[:|::|:\]' || fail "empty RUNPATH entry in $f: $(runpaths "$f")"
done
for f in bin/jov libexec/jov/libHook.so; do
  [ -z "$(runpaths "$E2E_TMP/prefix/$f")" ] || fail "installed $f has a RUNPATH: $(runpaths "$E2E_TMP/prefix/$f")"
done
pass "no empty RUNPATH entry in the build tree, no RUNPATH in the installed tree"

P="$E2E_TMP/moved"
mv "$E2E_TMP/prefix" "$P"
JOV="$P/bin/jov"

expected=(bin/jov libexec/jov/libHook.so "share/applications/$APP_ID.desktop"
  "share/metainfo/$APP_ID.metainfo.xml" "share/icons/hicolor/scalable/apps/$APP_ID.svg"
  share/man/man1/jov.1.gz share/man/fr/man1/jov.1.gz share/jov/aide/index.html
  share/jov/aide/manuel.html share/doc/jov/copyright share/doc/jov/changelog.gz
  share/jov/aide/en/index.html share/jov/aide/en/manuel.html share/jov/aide/en/images/fenetre.png)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$APP_ID.png")
done
for f in "${expected[@]}"; do [ -f "$P/$f" ] || fail "not installed: $f"; done
for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format %wx%h "$P/share/icons/hicolor/${size}x$size/apps/$APP_ID.png")" = \
    "${size}x$size" ] || fail "the ${size}x$size icon has another size"
done
strays=$(cd "$P" && find . \( -name 'tst_*' -o -name 'bench_*' -o -name 'fuzz_*' -o -path '*testlibs*' \
  -o -name '*.a' \) -print; find "$P" -name libHook.so | grep -v "^$P/libexec/jov/" || true)
[ -z "$strays" ] || fail "tests or stand-ins installed: $strays"
pass "installed ${#expected[@]} files under the prefix only; no test file"

desktop-file-validate "$P/share/applications/$APP_ID.desktop" || fail "desktop entry invalid"
sed -n '/^\[Desktop Action pick\]/,$p' "$P/share/applications/$APP_ID.desktop" |
  grep -qx 'Exec=jov --pick' || fail "desktop entry has no pick action"
appstreamcli validate --no-net "$P/share/metainfo/$APP_ID.metainfo.xml" >"$E2E_TMP/as.log" ||
  { cat "$E2E_TMP/as.log"; fail "AppStream metadata invalid"; }
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" \
  "$P/share/metainfo/$APP_ID.metainfo.xml" || fail "metadata launches another desktop id"
"$SRC/scripts/make-icons.sh" --check || fail "icons differ from their SVG source"
for page in "$P"/share/man/man1/jov.1.gz "$P"/share/man/fr/man1/jov.1.gz; do
  zcat "$page" | grep -q '^\.B /noversion' || fail "$page does not describe /noversion"
done
pass "desktop entry and metadata validate; icons match the SVG; man pages readable"

# Every link and picture of the manual, French and English, exists, and no anchor is defined
# twice in a page.
manual="$P/share/jov/aide"
for f in "$manual"/*.html "$manual"/en/*.html; do
  dups=$(grep -o ' id="[^"]*"' "$f" | sort | uniq -d)
  [ -z "$dups" ] || fail "$(basename "$f") defines twice: $dups"
  while read -r link; do
    case "$link" in http*|mailto:*) continue ;; esac
    file=${link%%#*} anchor=""
    [[ "$link" == *"#"* ]] && anchor=${link#*#}
    target=$f
    [ -n "$file" ] && target="$(dirname "$f")/$file"
    [ -f "$target" ] || fail "$(basename "$f") links to a missing $link"
    [ -z "$anchor" ] || grep -q " id=\"$anchor\"" "$target" ||
      fail "$(basename "$f") links to a missing anchor $link"
  done < <(grep -o '\(href\|src\)="[^"]*"' "$f" | sed 's/^[a-z]*="//; s/"$//')
done
pass "every link and picture of the manual exists"

# -- The .deb: named after the version and the architecture, its files those of the tree.
cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
  { cat "$E2E_TMP/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")
deb="$E2E_TMP/pkg/jov_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$E2E_TMP/pkg")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = jov ] && [ "$(field Version)" = "$version" ] &&
  [ "$(field Section)" = graphics ] || fail "control fields: $(dpkg-deb -f "$deb")"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no maintainer or description"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  field Depends | grep -q "\b$lib\b" || fail "Depends lacks $lib: $(field Depends)"
done
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort >"$E2E_TMP/deb.list"
(cd "$P" && find . ! -type d | sed 's|^\./||' | sort) >"$E2E_TMP/tree.list"
diff "$E2E_TMP/tree.list" "$E2E_TMP/deb.list" || fail "the .deb and the install tree differ"
pass "$(basename "$deb"): section graphics, Depends from the libraries, same files as the tree"

# -- The installed program on a display.
start_x
xsetroot -solid '#3366CC'
mkdir -p "$E2E_TMP/stand-in"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$E2E_TMP/xdg-open.log" >"$E2E_TMP/stand-in/xdg-open"
chmod +x "$E2E_TMP/stand-in/xdg-open"
export PATH="$E2E_TMP/stand-in:$PATH"

# Waits for the stand-in to record a new line; prints it as a plain path.
opened_count() { [ -f "$E2E_TMP/xdg-open.log" ] && wc -l <"$E2E_TMP/xdg-open.log" || echo 0; }
help_opens() {
  local before after
  before=$(opened_count)
  xdotool key --clearmodifiers ctrl+a
  wait_for 10 sh -c "[ \$(wc -l <'$E2E_TMP/xdg-open.log' 2>/dev/null || echo 0) -gt $before ]" ||
    fail "help opened nothing"
  tail -n1 "$E2E_TMP/xdg-open.log" | sed 's|^file://||'
}

start_jov
wm_class=$(xprop -id "$JOV_WIN" WM_CLASS | sed -n 's/.*= ".*", "\(.*\)"$/\1/p')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$P/share/applications/$APP_ID.desktop")
[ -n "$wm_class" ] && [ "$wm_class" = "$startup_class" ] ||
  fail "window class '$wm_class', menu entry names '$startup_class'"
icons=$(xprop -len 1000000 -id "$JOV_WIN" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
for size in 16 22 24 32 48 64; do
  [[ "$icons" == *"Icon ($size x $size)"* ]] || fail "window icon lacks $size x $size: $icons"
done
pass "window class $wm_class as in the menu entry; window icon in six sizes"

# The pipette, with the hook library of the installed tree (none beside the program).
xdotool mousemove --window "$JOV_WIN" 488 38
sleep 0.2
xdotool mousedown 1
sleep 0.3
xdotool mousemove 900 700
sleep 0.3
xdotool mouseup 1
got=""
for _ in $(seq 20); do
  xdotool key ctrl+c
  sleep 0.2
  got=$(xclip -selection clipboard -o 2>/dev/null || true)
  [ "$got" = "#3366CC" ] && break
done
[ "$got" = "#3366CC" ] || fail "the pipette gave '$got', expected #3366CC"
pass "pipette picked the desktop colour through $P/libexec/jov/libHook.so"

[ "$(help_opens)" = "$P/share/jov/aide/index.html" ] ||
  fail "help opened '$(tail -n1 "$E2E_TMP/xdg-open.log")'"
pass "help opens the installed manual"
close_jov
grep -q '"Op03"=dword:000000cc' "$XDG_CONFIG_HOME/Corvel Astine/JOV.reg" ||
  fail "the picked colour was not saved"
pass "settings saved by the installed program"

# "/noversion" after one of Qt's own options: the one-page manual.
start_jov -style Fusion /noversion
[ "$(help_opens)" = "$P/share/jov/aide/manuel.html" ] ||
  fail "help with /noversion opened '$(tail -n1 "$E2E_TMP/xdg-open.log")'"
pass "/noversion opens the one-page manual"
close_jov

# Without the manual, nothing is handed to the desktop, and the window says so.
mv "$P/share/jov/aide" "$E2E_TMP/aide.away"
start_jov
xdotool mousemove 1010 750
sleep 0.5
before=$(opened_count)
status_colours() {
  import -window "$JOV_WIN" "$E2E_TMP/status.png" &&
    convert "$E2E_TMP/status.png" -crop 220x11+6+308 +repage -format %k info:
}
[ "$(status_colours)" = 1 ] || fail "status panel 0 not empty before help"
xdotool key --clearmodifiers ctrl+a
sleep 1
[ "$(opened_count)" = "$before" ] || fail "help handed a missing manual to the desktop"
[ "$(status_colours)" -gt 1 ] || fail "no status message for the missing manual"
pass "a missing manual is reported in the status bar, nothing opened"
close_jov
