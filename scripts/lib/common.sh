# Shared by scripts/run and scripts/test: installs the Debian packages the build and the tests
# need (only when one is missing) and builds a preset.

# Everything a fresh Debian 12 machine needs to build, test and run Tintora.
TINTORA_PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libtinyxml2-dev libcli11-dev nlohmann-json3-dev
    googletest libgtest-dev libbenchmark-dev liblcms2-dev
    xvfb xauth imagemagick fonts-dejavu-core
    libgs-common icc-profiles-free colord-data locales gcovr
    desktop-file-utils bash-completion file
)

tintora_install_packages() {
    local missing=() package
    for package in "${TINTORA_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [[ ${#missing[@]} -eq 0 ]]; then
        return 0
    fi

    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
}

# tintora_build PRESET: configures (first time) and builds.
tintora_build() {
    local preset=$1
    cmake --preset "$preset"
    cmake --build --preset "$preset"
}
