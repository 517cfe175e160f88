#!/usr/bin/env bash
# scripts/install-deps against a pretend machine: dpkg-query, apt-get and id are stand-ins on
# PATH, so nothing is installed and nothing is asked of the real package manager. Checks what
# apt-get would be told: never to remove a package, to wait for a busy dpkg lock, and to take
# the JACK 2 headers where JACK 2 is installed (else apt's pick of libjack-dev for
# libfluidsynth-dev removes jackd2).
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# Every package counts as installed except those named in $ABSENT.
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
for name in $ABSENT; do [ "$name" = "${!#}" ] && exit 1; done
printf 'install ok installed'
EOF
# Each call is one line in $work/apt.log; "install" fails with apt's own words when $APT_FAILS.
cat >"$work/bin/apt-get" <<EOF
#!/usr/bin/env bash
echo "\$*" >>"$work/apt.log"
if [ -n "\${APT_FAILS:-}" ] && [[ " \$* " == *" install "* ]]; then
  echo "E: Packages need to be removed but remove is disabled." >&2
  exit 100
fi
EOF
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin"/*

jack="jackd2 libjack-jackd2-0 libjack-jackd2-dev libjack-dev"
fail=0
# name | absent packages | must exit 0 | what the install line must hold | what it must not
cases=(
  "all there|$jack|1||"
  "a few missing|$jack xvfb libfluidsynth-dev|1|--no-remove -o DPkg::Lock::Timeout= xvfb libfluidsynth-dev|libjack"
  "jackd2 in use|libjack-jackd2-dev libjack-dev libfluidsynth-dev|1|--no-remove libfluidsynth-dev libjack-jackd2-dev|"
  "only its library|jackd2 libjack-jackd2-dev libjack-dev libfluidsynth-dev|1|libfluidsynth-dev libjack-jackd2-dev|"
  "JACK 2 headers there already|libjack-dev libfluidsynth-dev|1|libfluidsynth-dev|libjack"
  "fluidsynth there|libjack-jackd2-dev libjack-dev xvfb|1|xvfb|libjack"
  "apt refuses|$jack xvfb|0|--no-remove xvfb|"
)
for c in "${cases[@]}"; do
  IFS='|' read -r name absent ok want wantnot <<<"$c"
  rm -f "$work/apt.log"
  status=0
  fails=""
  [ "$ok" = 1 ] || fails=1
  PATH="$work/bin:$PATH" ABSENT="$absent" APT_FAILS="$fails" bash "$script" >"$work/out" 2>&1 || status=$?
  bad() { echo "FAIL ($name): $*"; cat "$work/out"; [ -f "$work/apt.log" ] && cat "$work/apt.log"; fail=1; }
  if [ "$ok" = 1 ] && [ $status -ne 0 ]; then bad "exit status $status"; continue; fi
  if [ "$ok" = 0 ]; then
    [ $status -ne 0 ] || bad "a failed install reported as success"
    grep -q 'nothing was removed' "$work/out" || bad "no word on the failure"
  fi
  if [ -z "$want" ]; then
    [ ! -s "$work/apt.log" ] || bad "apt-get called with everything installed"
    continue
  fi
  update=$(grep -E '(^| )update( |$)' "$work/apt.log" || true)
  install=$(grep -E '(^| )install( |$)' "$work/apt.log" || true)
  [[ "$update" == *"-o DPkg::Lock::Timeout="* ]] || bad "the update does not wait for the lock: $update"
  for w in $want; do [[ " $install " == *" $w"* ]] || bad "install line lacks $w: $install"; done
  for w in $wantnot; do [[ "$install" != *"$w"* ]] || bad "install line has $w: $install"; done
done
[ $fail = 0 ] && echo "ok"
exit $fail
