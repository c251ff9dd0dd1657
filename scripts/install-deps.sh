#!/usr/bin/env bash
# Installs the Debian packages the build, tests and benchmarks need, when they are missing.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail
# Build and tests: the first line; benchmark peers and the spline cross-check: the second;
# the Python package (pybind11, its tests on pytest, numpy and scipy): the third; the MPI
# example and its check, and the plots: the fourth.
packages=(cmake g++ make libgtest-dev libbenchmark-dev libblas-dev liblapack-dev libmpfr-dev pkg-config
          libsleef-dev libgsl-dev librandom123-dev python3-scipy
          python3-dev pybind11-dev python3-pybind11 python3-pytest python3-numpy
          libopenmpi-dev openmpi-bin python3-matplotlib "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null 2>&1 || {
  apt-get update >/dev/null
  apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
}
