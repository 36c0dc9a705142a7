#!/usr/bin/env bash
# Installs what is missing, builds and starts Tarvane.
# --simulated starts tarvane-simulated, which talks to a simulated repeater
# instead of a USB device; TARVANE_SIMULATED_DEVICES=N (0 to 16) puts N
# repeaters on its bus, each with its own card number:
#   TARVANE_SIMULATED_DEVICES=3 scripts/run.sh --simulated
# TARVANE_SIMULATED_CARDS, _FAULTS and _STATE set up a bench of them, with
# repeaters that arrive and leave (docs/testing.md, "The simulated repeaters"):
#   TARVANE_SIMULATED_CARDS='TV2026000501, TV2026000502 arrive=5' scripts/run.sh --simulated
set -euo pipefail
cd "$(dirname "$0")/.."

program=tarvane
if [ "${1:-}" = "--simulated" ]; then program=tarvane-simulated; fi

# A CJK font, or every Chinese text shows as empty boxes.
scripts/deps.sh fonts-wqy-microhei qttranslations5-l10n
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVANE_TESTS=OFF > /dev/null
cmake --build build --target "$program" -j "$(nproc)"
exec "build/$program"
