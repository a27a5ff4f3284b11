#!/usr/bin/env bash
# Sets up (packages, build) and starts Vantrel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/vantrel "$@"
