# Installs the Debian packages the build, the tests and the programs need, when missing.
# Sourced by run.sh and test.sh.
need_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(g++ cmake make pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev qt6-charts-dev qt6-svg-dev
                qt6-serialport-dev libeigen3-dev libfftw3-dev
                libqt6opengl6-dev libgtest-dev libgmock-dev
                libbenchmark-dev fonts-dejavu-core)

# Building and checking the Debian package: cpack's dependency scan (dpkg-shlibdeps, file),
# the icon bitmaps, and the validators of desktop entries, MIME types and AppStream data.
PACKAGE_PACKAGES=(dpkg-dev file librsvg2-bin desktop-file-utils appstream libxml2-utils
                  shared-mime-info gzip lintian)

# Fuzzing: clang with libFuzzer and the sanitizers' runtime.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
