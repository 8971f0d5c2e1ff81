#!/usr/bin/env bash
# build_minimal.sh PREFIX SOURCE WORKDIR CXX
# Configures and builds examples/minimal against the MPHexEditor package
# installed in PREFIX, as another project would, then runs it on a file.
set -euo pipefail
prefix=$1 source=$2 work=$3 cxx=$4

# MINIMAL_CXX_FLAGS: flags the installed libraries need (the sanitizers).
flags=${MINIMAL_CXX_FLAGS:-}
rm -rf "$work"
cmake -S "$source" -B "$work" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  >"$work.log" 2>&1 || { cat "$work.log"; exit 1; }

# The package that was found is the one in PREFIX.
found=$(sed -n 's/^MPHexEditor_DIR:PATH=//p' "$work/CMakeCache.txt")
if [[ $found != "$prefix"/* ]]; then
  echo "MPHexEditor was found in '$found', not below $prefix"
  exit 1
fi

cmake --build "$work" -j2

# Include paths come from the install, never from this source tree.
compile_flags=$(cat "$work/CMakeFiles/minimal.dir/flags.make")
for dir in $(grep -o -- '-I[^ ]*\|-isystem [^ ]*' <<<"$compile_flags" | sed 's/^-I//; s/^-isystem //'); do
  case $dir in
    "$prefix"/* | /usr/*) ;;
    *) echo "include path outside the install: $dir"; exit 1 ;;
  esac
done
grep -q -- "$prefix/include/mphexeditor" <<<"$compile_flags" || { echo "no include path to the installed headers: $compile_flags"; exit 1; }

head -c 4321 /dev/urandom >"$work/sample.bin"
out=$(QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$work/minimal" "$work/sample.bin" --check)
if [ "$out" != "4321 bytes" ]; then
  echo "minimal printed '$out', expected '4321 bytes'"
  exit 1
fi
echo "examples/minimal built against $prefix and showed $out"
