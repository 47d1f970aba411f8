#!/usr/bin/env bash
# Formats every C++ source and header under version control with the tree's
# .clang-format, in place. scripts/test.sh fails while any file differs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
source_files | (cd "$KELVANE_ROOT" && xargs clang-format --style=file -i)
