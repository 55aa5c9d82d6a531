#!/usr/bin/env bash
# `plughost isf` as a user runs it: the README's command lines of "Shaders
# without C++" exactly as written, then exit statuses and messages.
# Usage: isf-tool-test.sh PLUGHOST SOURCE_DIR SCRATCH_DIR
set -euo pipefail
tool=$1 source=$2 scratch=$3
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin"
ln -s "$(realpath "$tool")" "$scratch/bin/plughost"
export PATH=$scratch/bin:$PATH
fail=0
check() { # description, command...
  local what=$1; shift
  if ! "$@"; then echo "FAIL: $what" >&2; fail=1; fi
}

# The README's commands, run from a copy of isf/examples with two pictures.
work=$scratch/examples
cp -r "$source/isf/examples" "$work"
cp "$source/docs/images/analog.png" "$work/start.png"
cp "$source/docs/images/digital-24h.png" "$work/end.png"
section=$(sed -n '/^## Shaders without C++/,/^## /p' "$source/README.md")
commands=$(grep -E '^    plughost ' <<<"$section" | sed 's/^    //')
[ "$(wc -l <<<"$commands")" -ge 4 ] || { echo "FAIL: the README section shows no plughost commands" >&2; exit 1; }
while IFS= read -r line; do
  ( cd "$work" && eval "$line" ) >"$scratch/out" 2>&1 || { echo "FAIL: README command failed: $line" >&2; cat "$scratch/out" >&2; fail=1; }
done <<<"$commands"
grep -E '^    ffgl_add_isf_plugin' <<<"$section" | sed 's/^    //' | while IFS= read -r line; do
  grep -qxF "$line" "$source/isf/examples/CMakeLists.txt" || { echo "FAIL: the README's $line is not built by isf/examples" >&2; exit 1; }
done || fail=1
check "rings.png written" test -s "$work/rings.png"
check "wipe.png written" test -s "$work/wipe.png"

# Paths on stdout, one per line, named after the plug-ins.
cd "$work"
out=$(plughost isf RippleRings.fs IrisWipe.fs --out "made dir")
check "the written paths are printed" test "$out" = $'made dir/RippleRings.so\nmade dir/IrisWipe.so'
cp RippleRings.fs "A Very Long Shader Name One.fs"
out=$(plughost isf "A Very Long Shader Name One.fs" --out long)
check "a long name is fitted to 16 bytes" [ "$(basename "$out" .so | wc -c)" -eq 17 ]
check "the fitted name starts with the first 13 bytes" grep -q '^long/A Very Long S~' <<<"$out"
out=$(plughost isf RippleRings.fs --name "My Rings" --id AbCd --out named)
check "--name names the file" test "$out" = "named/My Rings.so"
plughost info "named/My Rings.so" | grep -q '^ID: *AbCd' || { echo "FAIL: --id is not the ID" >&2; fail=1; }
plughost help isf | grep -q "16 bytes" || { echo "FAIL: the help does not give the naming rule" >&2; fail=1; }

# Usage errors: 2.
status() { set +e; "$@" >"$scratch/stdout" 2>"$scratch/stderr"; echo $?; set -e; }
check "no file is a usage error" [ "$(status plughost isf)" -eq 2 ]
check "an unknown option is a usage error" [ "$(status plughost isf --fast RippleRings.fs)" -eq 2 ]
check "--name with two files is a usage error" [ "$(status plughost isf --name x RippleRings.fs IrisWipe.fs)" -eq 2 ]
check "a bad --id is a usage error" [ "$(status plughost isf --id abc RippleRings.fs)" -eq 2 ]

# Failures: 1, naming the file and line; the good files are still written.
printf '/*{ "ISFVSN": "2" }*/\nvoid main()\n{\n\tgl_FragColor = vec4( 1.0 ) +;\n}\n' >Broken.fs
printf '/*{ "ISFVSN": "2", "INPUTS": [ { "NAME": "a", "TYPE": "float" }, ] }*/\nvoid main() {}\n' >BadJson.fs
printf '/*{ "ISFVSN": "2", "INPUTS": [ { "NAME": "a", "TYPE": "vector" } ] }*/\nvoid main() {}\n' >BadType.fs
printf '/*{ "ISFVSN": "2", "IMPORTED": { "logo": { "PATH": "missing.png" } } }*/\nvoid main() {}\n' >NoImage.fs
printf '/*{ "ISFVSN": "2", "INPUTS": [ { "NAME": "a", "TYPE": "float" }, { "NAME": "a", "TYPE": "bool" } ] }*/\nvoid main() {}\n' >Twice.fs
printf '/*{ "ISFVSN": "2", "PASSES": [ { "TARGET": "b", "WIDTH": "$WIDTH *" }, {} ] }*/\nvoid main() {}\n' >BadSize.fs
check "a failing file gives status 1" [ "$(status plughost isf Broken.fs RippleRings.fs BadJson.fs BadType.fs NoImage.fs Twice.fs BadSize.fs --out mixed)" -eq 1 ]
check "the good file is written" test "$(cat "$scratch/stdout")" = "mixed/RippleRings.so"
check "no plug-in for a bad file" test ! -e mixed/Broken.so
expect() { grep -qF -- "$1" "$scratch/stderr" || { echo "FAIL: no message \"$1\" in:" >&2; cat "$scratch/stderr" >&2; fail=1; }; }
expect "plughost isf: Broken.fs: the shader does not compile:"
expect "Broken.fs:4:"
expect "plughost isf: BadJson.fs:1: malformed JSON header"
expect 'plughost isf: BadType.fs: input "a" has the unknown TYPE "vector"'
expect 'plughost isf: NoImage.fs: imported image "logo": no file'
expect 'plughost isf: Twice.fs: the name "a" is used twice'
expect 'plughost isf: BadSize.fs: pass "b": the size expression "$WIDTH *" cannot be evaluated'
check "a missing file gives status 1" [ "$(status plughost isf Nowhere.fs)" -eq 1 ]
expect "Nowhere.fs: cannot read"
exit $fail
