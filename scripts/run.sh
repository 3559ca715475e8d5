#!/usr/bin/env bash
# Installs what is missing, builds the program (without the tests) and starts it from the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh vornalex_program
# The brands list is read from the current folder; the build puts it beside the program.
cd build/bin && exec ./vornalex
