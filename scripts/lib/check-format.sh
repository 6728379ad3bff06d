#!/usr/bin/env bash
# Checks every C++ file under version control against .clang-format; prints
# the offending lines and fails when one differs. Skips outside a git checkout.
set -u
cd "$(dirname "$0")/../.."
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "[  SKIPPED ] not a git checkout"
  exit 0
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
