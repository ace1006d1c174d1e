#!/usr/bin/env bash
# The whole set-up on a fresh Debian 12 machine.
#   bash setup.sh run    install what is missing, build, start a simulated radio and the program
#   bash setup.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6printsupport6 qt6-qpa-plugins
          libsimpleini-dev libgtest-dev libgmock-dev xvfb xauth clang libclang-rt-dev clang-format
          locales libcli11-dev nlohmann-json3-dev poppler-utils fonts-liberation2
          libsoci-dev libsqlite3-dev libpq-dev postgresql)

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() { # build DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

run_tests() { # run_tests DIR
    # Three jobs a core: the long suites mostly wait on the paced serial line (the
    # whole suite keeps a core busy for a sixth of its time).
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure -j"$(($(nproc) * 3))"
}

# Points the program's serial port at DEVICE (Initialize/COM_DEVICE), keeping the rest of the file.
set_port_device() { # set_port_device INI DEVICE
    local ini=$1 device=$2 tmp
    tmp=$(mktemp "$ini.XXXXXX")
    if [ -f "$ini" ]; then
        awk -v dev="$device" '
            BEGIN { done = 0 }
            /^\[/ { if (insec && !done) { print "COM_DEVICE=" dev; done = 1 }
                    insec = (tolower($0) == "[initialize]") }
            insec && tolower($0) ~ /^com_device=/ { if (!done) { print "COM_DEVICE=" dev; done = 1 }; next }
            { print }
            END { if (!done) { if (!insec) print "[Initialize]"; print "COM_DEVICE=" dev } }
        ' "$ini" >"$tmp"
    else
        printf '[Initialize]\nCOM_DEVICE=%s\n' "$device" >"$tmp"
    fi
    mv "$tmp" "$ini"
}

run_program() {
    local home=${RP57_HOME:-$here/build/home}
    mkdir -p "$home"
    export RP57_HOME=$home
    local sim=build/tools/radio-sim/rp57-radio-sim link=$home/radio-tty
    if [ -x "$sim" ]; then
        "$sim" --memory "$home/radio.r57" --link "$link" &
        # The simulator must not outlive the script (it would hold the terminal).
        trap "kill $! 2>/dev/null || true" EXIT
        for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
        set_port_device "$home/RP57Win.ini" "$link"
    fi
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        build/src/app/rp57 "$@"
    elif [ -x "$sim" ] && build/src/cli/rp57cli --help | grep -q '^  upload'; then
        echo "No display: running the command-line round trip against the simulated radio."
        # A fresh simulated radio holds the built-in image, whose programming
        # password is the factory one.
        local password=481736
        build/src/cli/rp57cli upload --port "$link" --password "$password" -o "$home/uploaded.r57"
        build/src/cli/rp57cli info "$home/uploaded.r57"
        build/src/cli/rp57cli download --port "$link" --password "$password" "$home/uploaded.r57"
    else
        echo "No display: starting the program on a virtual display (xvfb-run)."
        xvfb-run -a build/src/app/rp57 "$@"
    fi
}

case "${1:-}" in
run)
    shift
    install_missing
    build build
    run_program "$@"
    ;;
test)
    install_missing
    # The test build is the gate: a new warning fails it.
    build build -DRP57_WERROR=ON
    run_tests build
    ;;
*)
    echo "usage: bash setup.sh run|test" >&2
    exit 2
    ;;
esac
