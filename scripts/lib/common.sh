# Shared by scripts/test and scripts/play: the Debian packages the build needs,
# installed when missing, and the configure-and-build step.

KESTROVA_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libvorbis-dev libfluidsynth-dev timgm6mb-soundfont
  libboost-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev lld
)

kestrova_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "${KESTROVA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [TARGET...] -- [CMAKE OPTIONS...]
configure_and_build() {
  local dir=$1; shift
  local targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do targets+=(--target "$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  cmake -S "$kestrova_root" -B "$kestrova_root/$dir" -G Ninja "$@"
  cmake --build "$kestrova_root/$dir" -j "$(nproc)" "${targets[@]}"
}
