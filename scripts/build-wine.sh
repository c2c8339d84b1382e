#!/usr/bin/env bash
# Builds, once per machine, a Wine that runs 32-bit Windows programs inside
# 64-bit Linux processes (Wine's WoW64 mode), so the i686 programs users
# install can be tested here: this kernel runs no 32-bit Linux code, and
# Debian's own Wine packages are not built that way. Everything comes from
# Debian: the source package of trixie's Wine, its build data (Unicode, CLDR,
# the OpenGL and Vulkan registries) as plain package contents, and bookworm's
# compilers and -dev packages. Nothing else is downloaded.
#
# The result goes to a versioned cache folder ($TOVAN_WOW64_WINE_DIR, see
# wine-env.sh); a finished build is left alone, so a second run costs nothing.
# The build's log is kept beside it ($TOVAN_WOW64_WINE_DIR.log).
#   TOVAN_WINE_BUILD_JOBS  make's job count (default: the number of cores)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/wine-env.sh"

dest="$TOVAN_WOW64_WINE_DIR"
log="$dest.log"
[ -f "$dest/.tovan-ready" ] && exit 0
# One build at a time: a second set-up started meanwhile (two test runs, a
# demo beside the tests) waits here for the first instead of deleting its
# build folder under it, then finds the finished Wine.
mkdir -p "$(dirname "$dest")"
exec 9>"$dest.lock"
if ! flock -n 9; then
  echo "build-wine: another set-up is building the WoW64 Wine; waiting for it"
  flock 9
fi
[ -f "$dest/.tovan-ready" ] && exit 0

source_version="10.0~repack-6"
# Debian's patches that change where the files are installed or what is linked
# from the system: the build installs into its own folder and keeps Wine's own
# zlib.
skipped_patches='debianization/install-paths.patch|debianization/addon-paths.patch|debianization/desktop-launchers.patch|system/zlib.patch'

build_packages=(
  flex bison gettext pkg-config autoconf autotools-dev perl python3 unzip
  fontforge-nox librsvg2-bin icoutils imagemagick libxml-libxml-perl
  gcc-mingw-w64-i686 gcc-mingw-w64-x86-64
  libx11-dev libxext-dev libxrender-dev libxrandr-dev libxi-dev libxcursor-dev
  libxfixes-dev libxinerama-dev libxcomposite-dev libxxf86vm-dev libxkbfile-dev
  libfreetype-dev libfontconfig-dev libasound2-dev libgnutls28-dev
)
# Data the generators read, from trixie (the versions this source expects).
data_packages=(unicode-data unicode-idna unicode-cldr-core khronos-api libvulkan-dev)

work="$dest.build"
rm -rf "$work"
mkdir -p "$work"
echo "build-wine: building the WoW64 Wine into $dest (log: $log)"
exec 3>&1 >"$log" 2>&1
trap 'echo "build-wine: failed; the end of $log:" >&3; tail -n 30 "$log" >&3' ERR
set -x

missing=()
for p in "${build_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A private apt configuration for trixie's sources and data packages, so the
# machine's own package lists stay as they are.
apt_dir="$work/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
cat >"$apt_dir/trixie.sources" <<'EOF'
Types: deb deb-src
URIs: http://deb.debian.org/debian
Suites: trixie
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
trixie_apt() {
  apt-get -o Dir::Etc::SourceList="$apt_dir/trixie.sources" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" \
    -o APT::Sandbox::User=root "$@"
}
trixie_apt update -q

cd "$work"
trixie_apt source --download-only -q "wine=$source_version"
dpkg-source -x --skip-patches wine_*.dsc src
mkdir data
(cd data && trixie_apt download -q "${data_packages[@]}")
for deb in data/*.deb; do dpkg -x "$deb" data; done
data="$work/data"

cd src
sed -n 's/^\([^#].*\.patch\)$/\1/p' debian/patches/series | grep -Ev "^($skipped_patches)\$" |
  while read -r patch; do patch -p1 -s <"debian/patches/$patch"; done

# Point the generators at the extracted data instead of the system's folders.
sed -i "s|/usr/share/doc/unicode-data|$data/usr/share/doc/unicode-data|; s|\"/usr/share/unicode|\"$data/usr/share/unicode|" tools/make_unicode
sed -i "s|/usr/share/khronos-api|$data/usr/share/khronos-api|" dlls/opengl32/make_opengl
# Maintainer mode (the repack leaves out the icons and fonts it rebuilds)
# would also demand gettextpo and -Werror.
sed -i '/^  with_gettextpo=yes$/d; /^  enable_werror=yes$/d' configure.ac

# The generated files the repack leaves out, as Debian's rules make them.
./tools/make_unicode
./tools/make_requests
./tools/make_specfiles
(cd dlls/dsound && ./make_fir)
(cd dlls/opengl32 && ./make_opengl)
(cd dlls/winevulkan && ./make_vulkan -x "$data/usr/share/vulkan/registry/vk.xml" -X "$data/usr/share/vulkan/registry/video.xml")
ln -sf /usr/share/misc/config.sub tools
ln -sf /usr/share/misc/config.guess tools
grep -E '^[[:space:]]+ln -sf \.\./' debian/rules | sh
autoreconf -fi

./configure --prefix="$dest" --enable-archs=i386,x86_64 --enable-maintainer-mode --disable-tests \
  --with-mingw --with-x --with-alsa --with-freetype --with-fontconfig --with-gnutls \
  --without-capi --without-cups --without-dbus --without-ffmpeg --without-gphoto --without-gssapi \
  --without-gstreamer --without-inotify --without-krb5 --without-netapi --without-opencl \
  --without-opengl --without-osmesa --without-oss --without-pcap --without-pcsclite \
  --without-pulse --without-sane --without-sdl --without-udev --without-unwind --without-usb \
  --without-v4l2 --without-vulkan --without-wayland

jobs="${TOVAN_WINE_BUILD_JOBS:-$(nproc)}"
# Wine's generated headers first, or mingw's own propidl.h races them.
make -C include -j"$jobs"
make -j"$jobs"
rm -rf "$dest"
make install-lib
"$dest/bin/wine" --version
cd /
rm -rf "$work"
set +x
date -u +%FT%TZ >"$dest/.tovan-ready"
echo "build-wine: ready: $dest" >&3
