#!/usr/bin/env bash
# Installs the built libraries and headers into a temporary prefix and builds the C
# examples against them twice, with pkg-config and with find_package(zorn); each
# program runs from another directory. The first example's output must be the one the
# README prints.
# Usage: check-install.sh <build directory> <source directory>
set -euo pipefail
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libzorn_generic.so' | head -1)")
cd "$work"

# pkg-config, as a C developer would link a program.
export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
cc -o first_steps_pc "$source/examples/c/first_steps.c" $(pkg-config --cflags --libs zorn) \
   -Wl,-rpath,"$libdir"

# find_package(zorn), the examples folder as a project of its own.
cmake -S "$source/examples/c" -B consumer -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_BUILD_RPATH="$libdir" >/dev/null
cmake --build consumer >/dev/null

# The README's expected output: the block that follows its compile line.
expected=$(awk '/^cc first_steps.c/{found=1; next} found && /^```/{exit} found' \
               "$source/README.md" | grep -v '^library')
mkdir elsewhere && cd elsewhere
major=$(grep -oP 'ZORN_VERSION_MAJOR \K[0-9]+' "$source/include/zorn/version.h")
for program in ../first_steps_pc ../consumer/example_first_steps; do
  output=$("$program")
  actual=$(grep -v '^library' <<<"$output")
  if [ "$actual" != "$expected" ]; then
    echo "$program printed:"; echo "$actual"; echo "the README shows:"; echo "$expected"
    exit 1
  fi
  if ! grep -q "^library $major" <<<"$output"; then
    echo "$program: the installed library's version differs from the headers' ($output)"; exit 1
  fi
done
echo "installed into a prefix; pkg-config and find_package builds run from another directory"
