#!/usr/bin/env bash
# Builds the .deb from a configured build tree and checks it: the files it
# installs, the packages it depends on, its desktop entry, and the programs
# unpacked from it: --version answers, and the first start finds the
# installed sample and sets up the user's own directory from it.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
debs=("$work"/out/abonix_"$version"_*.deb)
[ -f "${debs[0]}" ] || { ls -R "$work/out"; echo "FAIL: no abonix_${version}_*.deb"; exit 1; }
deb=${debs[0]}

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/abonix ./usr/bin/abonix-db \
         ./usr/share/applications/abonix.desktop \
         ./usr/share/icons/hicolor/32x32/apps/abonix.png \
         ./usr/share/abonix/sample/Phone2k.db ./usr/share/abonix/sample/Phone2k.XG0 \
         ./usr/share/abonix/sample/City.db ./usr/share/abonix/sample/Street.db; do
  grep -qxF "$f" <<<"$files" || fail "the package lacks $f"
done
# Only the programs and their shared data: no build leftovers, headers or libraries.
unexpected=$(grep -vE '^\./(usr/?|usr/bin/?|usr/bin/abonix(-db)?|usr/share/?|usr/share/(applications|abonix|icons)(/.*)?|usr/share/doc/.*)$' <<<"$files" || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"

[ "$(dpkg-deb -f "$deb" Package)" = abonix ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"

root=$work/root
dpkg -x "$deb" "$root"
depends=$(dpkg-deb -f "$deb" Depends)
# SDL2 is built into the program unless the build used the system's libSDL2.
wanted=(libx11-6 libfreetype6 libfontconfig1 libpng16-16 fonts-liberation libc6 libstdc++6)
objdump -p "$root/usr/bin/abonix" | grep -q 'NEEDED *libSDL2' && wanted+=(libsdl2-2.0-0)
for p in "${wanted[@]}"; do
  case ", $depends," in
    *", $p,"* | *", $p "*) ;;
    *) fail "Depends lacks $p: $depends" ;;
  esac
done
desktop-file-validate "$root/usr/share/applications/abonix.desktop" || fail "the desktop entry does not validate"
# A PNG of 32 x 32 pixels: the signature, then the IHDR chunk's width and height.
header=$(od -An -tx1 -N24 "$root/usr/share/icons/hicolor/32x32/apps/abonix.png" | tr -d ' \n')
[ "$header" = 89504e470d0a1a0a0000000d494844520000002000000020 ] || fail "the icon is not a 32 x 32 PNG: $header"

out=$("$root/usr/bin/abonix" --version) || fail "abonix --version failed"
[ "$out" = "abonix $version" ] || fail "abonix --version printed '$out'"
"$root/usr/bin/abonix-db" --help | grep -q '^usage: abonix-db' || fail "abonix-db --help"

# A start with no tables around and no display: the user's folder is set up
# from the installed sample before the program finds there is no screen.
mkdir "$work/empty" "$work/data"
(cd "$work/empty" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_DATA_HOME="$work/data" ASAN_OPTIONS=detect_leaks=0 \
  "$root/usr/bin/abonix" >/dev/null 2>&1) && fail "abonix ran without a display"
cmp -s "$work/data/abonix/Phone2k.db" "$root/usr/share/abonix/sample/Phone2k.db" ||
  fail "the first start did not set up the user's directory from the installed sample"

[ "$failed" = 0 ] && echo "package $deb checked"
exit "$failed"
