#!/usr/bin/env bash
# Installs what is missing, builds Quenor and the instrument emulator, and
# starts Quenor in a demo profile of its own beside an emulated instrument:
# build/demo holds its Quenor.ini and its settings, and "Ports/COM1" points at
# the emulator's pty, so Quenor finds an instrument on COM1 at once.
# To run Quenor against real serial ports instead, start build/release/app/quenor.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release
cmake --build --preset release --parallel "$(nproc 2>/dev/null || echo 2)" \
    --target quenor quenor-emulator

demo="$PWD/build/demo"
port="$demo/COM1"
mkdir -p "$demo/config/Quenor"
cp build/release/app/quenor "$demo/quenor" # Quenor.ini is read beside the executable
if [ ! -f "$demo/Quenor.ini" ]; then
    cp emulator/demo/Quenor.ini "$demo/Quenor.ini"
fi
settings="$demo/config/Quenor/Quenor.conf"
if ! grep -qF "COM1=$port" "$settings" 2>/dev/null; then
    {
        echo "[Ports]"
        echo "COM1=$port"
        for n in $(seq 2 16); do echo "COM$n=$demo/no-port-COM$n"; done
        echo
        echo "[Settings]"
        echo "CommPort=1"
    } > "$settings"
fi

build/release/emulator/quenor-emulator --seed emulator/demo/Quenor.ini --pace --link "$port" &
emulator=$!
trap 'kill "$emulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -L "$port" ] && break
    sleep 0.1
done

XDG_CONFIG_HOME="$demo/config" "$demo/quenor" "$@"
