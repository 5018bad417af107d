#!/bin/sh
# Builds the image-drawing program and redraws every image of
# resources/images. Run from anywhere; needs only Qt's development files.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${TMPDIR:-/tmp}/kro-drawimages
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/drawimages" "$here/../images"
