#!/bin/sh
# The browser build's tests: builds the site (scripts/web.sh, with the content pack of the
# desktop build in build/, which scripts/test.sh makes) and plays it in Debian's headless
# Chromium, driven by puppeteer-core (npm, pinned by tests/web/package-lock.json), against the
# desktop build's headless runs. The wasm libraries come from web.sh's cache when it has them.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
if [ ! -x build/src/quorvex ] || [ ! -f build/pack/options.txt ]; then
  echo "web-test.sh: no desktop build in build/; run scripts/test.sh first" >&2
  exit 1
fi
./scripts/install-deps.sh --web-test
QUORVEX_WEB_PACK="$root/build/pack" sh scripts/web.sh
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
QUORVEX_WEB_SITE="$root/build-web/site" QUORVEX_BINARY="$root/build/src/quorvex" \
QUORVEX_PACK="$root/build/pack" node --test tests/web/web_test.mjs
