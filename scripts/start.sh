#!/usr/bin/env bash
# Sets everything up, builds, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/bin/tarvon-addons
