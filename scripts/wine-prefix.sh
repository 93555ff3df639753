#!/usr/bin/env bash
# wine-prefix.sh KIND DIR [SIZE [DPI]]: makes DIR a Wine prefix for the tests, once;
# later calls return at once. KIND is "unit" (crash handling only) or "e2e" (also fonts
# and one shared desktop of SIZE, 1024x768 unless given, for every Wine process, so the
# program and a test's own target window see each other). DPI (96 unless given) is the
# scale the prefix's programs see, as a user's display setting gives it on Windows.
set -euo pipefail
kind=$1
prefix=$(realpath -m "$2")
size=${3:-1024x768}
dpi=${4:-96}
case $kind in unit | e2e) ;; *) echo "wine-prefix: unknown kind '$kind'" >&2; exit 2 ;; esac
[[ $size =~ ^[0-9]+x[0-9]+$ ]] || { echo "wine-prefix: bad size '$size'" >&2; exit 2; }
[[ $dpi =~ ^[0-9]+$ ]] || { echo "wine-prefix: bad DPI '$dpi'" >&2; exit 2; }

# Bump when the settings below change, so existing prefixes are made again.
version="lsg-prefix 1 $kind $size $dpi"
stamp=$prefix/.lsg-ready
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A half-made prefix (an interrupted run) is not worth mending.
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
rm -rf "$prefix"
start=$SECONDS
# No display while the prefix is made: nothing to show, and no dialog can wait for a click.
env -u DISPLAY wineboot -i >/dev/null 2>&1

reg=$prefix/lsg-settings.reg
{
  echo 'REGEDIT4'
  echo
  # A crash must end the program at once with exit code 5. The crash dialog alone
  # still lets it exit 0 at random; a debugger that does not exist makes it certain.
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]'
  echo '"Debugger"="lsg-no-such-debugger.exe"'
  echo '"Auto"="1"'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
  echo '"ShowCrashDialog"=dword:00000000'
  if [ "$kind" = e2e ]; then
    # This Wine does not read its own font folder: Chinese captions need a font that
    # has them under the names Windows programs ask for.
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    for face in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'System'; do
      echo "\"$face\"=\"WenQuanYi Zen Hei\""
    done
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Explorer]'
    echo '"Desktop"="Default"'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]'
    echo "\"Default\"=\"$size\""
  fi
  if [ "$dpi" != 96 ]; then
    # Both places: the first is what a user's display setting writes, the second what
    # the system metrics (caption, menu bar, dialog fonts) are made from.
    for key in 'HKEY_CURRENT_USER\Control Panel\Desktop' \
               'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
      echo
      echo "[$key]"
      printf '"LogPixels"=dword:%08x\n' "$dpi"
    done
  fi
} >"$reg"
env -u DISPLAY wine regedit /S "$reg" >/dev/null 2>&1
if [ "$kind" = e2e ]; then
  # Title-bar buttons show as letters without it.
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
fi
# The registry reaches its files only when the server ends.
wineserver -w
echo "$version" >"$stamp"
echo "wine-prefix: $kind prefix ($size, $dpi DPI) made in $((SECONDS - start)) s ($prefix)"
