#!/usr/bin/env bash
# Remakes the README's pictures: docs/sorvel.png, docs/sorvel-measurement.png,
# docs/sorvel-step.png, docs/sorvel-fit.png, docs/sorvel-instrument.png and docs/mirabo.png,
# each program run
# under a virtual X display and driven as a user would. BUILD_DIR picks the build tree.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/screenshot-sorvel.sh"
bash "$here/screenshot-mirabo.sh"
bash "$here/screenshot-response.sh"
bash "$here/screenshot-step.sh"
bash "$here/screenshot-fit.sh"
bash "$here/screenshot-instrument.sh"
