#!/usr/bin/env bash
# Installs what the build and the tests need (only what is missing), builds
# the WoW64 Wine once (build-wine.sh) and makes a Wine prefix template for
# each Wine. Unattended, as root, on Debian 12. Safe to re-run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine-env.sh"

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  wine wine64 libwine-dev
  xvfb xauth x11-utils fonts-wqy-microhei fonts-wine imagemagick locales
  fp-utils
  libasound2 python3
  iproute2
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The zh_CN.UTF-8 locale itself: LC_ALL alone gives Wine code page 936, but
# Wine turns GBK file names into Unix names through the locale's charset, so
# without the generated locale every file with a Chinese name fails.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# One silent audio device for Wine (capture and playback both open).
if [ ! -f "$HOME/.asoundrc" ]; then
  printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$HOME/.asoundrc"
fi

# The Wine that runs the i686 programs, built once per machine.
bash "$here/build-wine.sh"

# A Wine prefix template per Wine: made once, copied for every Windows test.
# Bump TOVAN_WINE_TEMPLATE_VERSION (wine-env.sh) when what goes into it changes.
make_template() {
  . "$here/wine-env.sh"
  local template="$TOVAN_WINE_TEMPLATE" fonts="$1"
  [ "$(cat "$template/.tovan-ready" 2>/dev/null)" = "$TOVAN_WINE_TEMPLATE_VERSION" ] && return 0
  echo "setup: creating Wine prefix template in $template"
  mkdir -p "$(dirname "$template")"
  # Made beside the old one and swapped in, so runs copying it meanwhile see a whole prefix.
  local fresh; fresh="$(mktemp -d "$template.new.XXXXXX")"
  WINEPREFIX="$fresh" "$TOVAN_WINE" wineboot -i >/dev/null 2>&1
  # Unmanaged windows: with no window manager under Xvfb, Wine otherwise waits
  # about 2 s for every window it hides.
  WINEPREFIX="$fresh" "$TOVAN_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Wine's own fonts (Marlett draws the caption buttons): Debian's Wine looks
  # for them beside its data folder under a path it cannot resolve, so the
  # prefix gets copies; without them every title bar reads "0 2 r".
  cp "$fonts"/* "$fresh/drive_c/windows/Fonts/"
  # The programs' own face 宋体 (SimSun) is not installed here: make the CJK
  # face that is stand in under those names, so that fonts asked for by name
  # and the font dialog's list both find it (a plain substitute is not listed,
  # and the dialog then starts from some other face).
  for face in 宋体 SimSun 新宋体 NSimSun; do
    WINEPREFIX="$fresh" "$TOVAN_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
      /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  WINEPREFIX="$fresh" "$TOVAN_WINESERVER" -w
  echo "$TOVAN_WINE_TEMPLATE_VERSION" > "$fresh/.tovan-ready"
  rm -rf "$template.old"
  [ -d "$template" ] && mv "$template" "$template.old"
  mv "$fresh" "$template"
  rm -rf "$template.old"
}
(TOVAN_WOW64=0 make_template /usr/share/wine/fonts)
(TOVAN_WOW64=1 make_template "$TOVAN_WOW64_WINE_DIR/share/wine/fonts")
echo "setup: ready"
