#!/bin/sh
# sign_test.sh <repository> <exe>: scripts/sign.sh round trip on a copy of the
# product with a throw-away certificate: the signature verifies against that
# certificate only, every refusal leaves the copy byte for byte as it was, and
# the signed copy runs under Wine (WINEPREFIX from the environment).
set -eu
root=$1; product=$2
sign=$root/scripts/sign.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/launcher-sign-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "sign_test: $*" >&2; exit 1; }

# cert <name>: self-signed code-signing certificate <name>.pem, <name>.p12
# and its password file <name>.pass.
cert() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=launcher sign test $1" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$1.key" -out "$1.pem" 2>/dev/null
  printf '%s\n' "secret of $1" >"$1.pass"
  openssl pkcs12 -export -inkey "$1.key" -in "$1.pem" -passout "file:$1.pass" -out "$1.p12"
}
cert good
cert other
mkdir -p tree/bin
exe=tree/bin/launcher.exe

# Refusals: <description> <p12> <password file> [<environment assignment>].
while IFS='|' read -r what p12 pass env; do
  cp "$product" "$exe"
  if env $env "$sign" "$p12" "$pass" "$exe" >out 2>err; then fail "signed despite $what"; fi
  grep -q '^sign.sh: ' err || fail "no message for $what: $(cat err)"
  cmp -s "$product" "$exe" || fail "the executable changed despite $what"
  [ -z "$(find tree -name '.sign.*')" ] || fail "temporary files left after $what"
done <<EOF
a wrong password|good.p12|other.pass|
a missing PKCS#12 file|missing.p12|good.pass|
a missing password file|good.p12|missing.pass|
a time-stamp server that does not answer|good.p12|good.pass|LAUNCHER_TIMESTAMP_URL=http://127.0.0.1:9/
EOF
if "$sign" good.p12 good.pass tree/bin/missing.exe 2>err; then fail "signed a missing executable"; fi
grep -q 'no executable' err || fail "no message for a missing executable: $(cat err)"

cp "$product" "$exe"
"$sign" good.p12 good.pass "$exe" >/dev/null
osslsigncode verify -CAfile good.pem -in "$exe" >verify.txt 2>&1 || fail "signature does not verify: $(cat verify.txt)"
grep -q 'Signature verification: ok' verify.txt || fail "no intact signature: $(cat verify.txt)"
grep -q 'digest algorithm *: *SHA256' verify.txt || fail "not a SHA-256 signature: $(cat verify.txt)"
if osslsigncode verify -CAfile other.pem -in "$exe" >/dev/null 2>&1; then
  fail "signature verifies against a certificate that did not sign"
fi

out=$("$root/scripts/wine-run.sh" "$exe") || fail "the signed executable failed under Wine: $out"
echo "$out" | grep -q 'Starting launcher' || fail "the signed executable printed: $out"
echo "sign_test: signed, verified against its certificate only, refusals left the file unchanged, ran under Wine"
