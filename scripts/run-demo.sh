#!/usr/bin/env bash
# Builds Marlox and opens it on a fresh copy of the bundled demo Windows tree,
# so the demo never changes a tracked file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh marlox >&2

scratch=$(mktemp -d "${TMPDIR:-/tmp}/marlox-demo.XXXXXX")
cp -r resources/demo/Windows "$scratch/"
echo "Demo LMHOSTS: $scratch/Windows/System32/drivers/etc/lmhosts" >&2
SystemRoot="$scratch/Windows" exec build/app/marlox "$@"
