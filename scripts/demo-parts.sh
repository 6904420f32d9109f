# The application starts shown by the demo; sourced by demo.sh.
demo_parts() {
  demo_failure_window
  echo
  echo "##### The Java start. The Java runtime here is a STAND-IN jvm.dll (a test double that"
  echo "##### records what it was given and calls the registered natives); on Windows the"
  printf '%s\n' "##### suite's own jre\\bin\\client\\jvm.dll is loaded from the same place. Like a Java 8"
  printf '%s\n' "##### runtime it imports its C runtime from jre\\bin (the stand-in crtdouble.dll) and loads"
  printf '%s\n' "##### more libraries from there (javadouble.dll, which imports verifydouble.dll)."
  cp -r "$doubles/jvm/jre" "$demo/"
  printf 'main=natives\n' >"$demo/jre/bin/client/jvm_stub.cfg"
  mkdir -p "$demo/launcher-logs"
  show ormic
  echo "--- what the JVM received (jvm_stub_record.txt):"
  grep -v '^option\[1[0-7]\]' "$demo/jre/bin/client/jvm_stub_record.txt" | cut -c1-160
  echo "(the class-path option is the last one: $(grep -c 'option\[' "$demo/jre/bin/client/jvm_stub_record.txt") options in all)"

  echo
  echo "##### The native-library start. libenrolclientsvc.dll here is a STAND-IN that records its call and,"
  echo "##### like a Go library, leaves a thread running in its code: it stays loaded until the process ends."
  cp "$doubles/enrolclientsvc/libenrolclientsvc.dll" "$demo/bin/"
  show zentu hello
  echo "--- what the library received (enrolclientsvc_record.txt):"
  cat "$demo/bin/enrolclientsvc_record.txt"
  rm -f "$demo/bin/libenrolclientsvc.dll" "$demo/bin/enrolclientsvc_record.txt"
  echo
  echo "##### The same start without the library: a failed start, status -1 (255)."
  show zentu hello

  demo_service
}

# A failed start from a shortcut, which gives the process no console and no
# standard handles: the cause is told in a window, which a click closes.
demo_failure_window() {
  echo
  echo "##### A failed start as a shortcut makes it: no standard handles (start_without_handles.exe"
  echo "##### starts it so) and, here, no Java runtime yet. The cause is told in an error window on"
  echo "##### the desktop (Xvfb), until someone closes it; find_window.exe reads it and clicks OK."
  echo "=== launcher ormic   (from a shortcut, no runtime)"
  picture="$root/build/demo/failed-start-window.png"
  set +e
  (cd "$demo" && "$wine" "$tools/console/start_without_handles.exe" "Z:$(printf '%s' "$demo/bin/launcher.exe" | tr / '\\')" ormic) &
  starter=$!
  echo "--- the window:"
  "$wine" "$tools/window/find_window.exe" ormic 60 | tr -d '\r'
  xwd -display "$DISPLAY" -name ormic -silent | xwdtopnm 2>/dev/null | pnmtopng >"$picture"
  echo "--- saved as a picture: build/demo/$(basename "$picture")"
  if "$wine" "$tools/window/find_window.exe" ormic 10 --click >/dev/null; then echo "--- closed by a click on OK"; fi
  wait "$starter"
  status=$?
  set -e
  echo "--- exit status: $status"
  echo "--- launcher-logs/launcher.log:"; tr -d '\r' <"$demo/launcher-logs/launcher.log" | sed '/^$/d'
}

# The vesmors service under Wine's service control manager, from a tree whose
# path holds "vesmors" (that is how the service's own start is recognised).
demo_service() {
  svc="$root/build/demo/Halvora vesmors"
  rm -rf "$svc"
  mkdir -p "$svc/bin"
  cp "$exe" "$svc/bin/launcher.exe"
  cp -r "$doubles/jvm/jre" "$svc/"
  printf 'main=block\n' >"$svc/jre/bin/client/jvm_stub.cfg"   # a server that runs until stopped
  "$wine" sc stop vesmors >/dev/null 2>&1 || true
  "$wine" sc delete vesmors >/dev/null 2>&1 || true

  echo
  echo "##### The vesmors service. Its Java server is the STAND-IN jvm.dll, whose main blocks like a server."
  echo "=== launcher vesmors install   (from \"$svc\")"
  (cd /tmp && "$wine" "$svc/bin/launcher.exe" vesmors install)
  echo "--- exit status: $?"
  echo "--- the service entry:"
  "$wine" reg query 'HKLM\System\CurrentControlSet\Services\vesmors' | tr -d '\r' | grep -E 'ImagePath|DisplayName|Start|Type|ErrorControl|ObjectName|PreshutdownTimeout'

  echo "=== sc start vesmors"
  "$wine" sc start vesmors >/dev/null 2>&1 || true
  demo_wait_state RUNNING
  "$wine" sc query vesmors | tr -d '\r' | grep -E 'STATE|EXIT_CODE'
  echo "--- what the service's Java server sees (working directory and environment):"
  grep -E '^(cwd|env\.|library )' "$svc/jre/bin/client/jvm_stub_record.txt"
  echo "--- launcher-logs/launcher.log while running:"
  tr -d '\r' <"$svc/launcher-logs/launcher.log" | sed '/^$/d'

  echo "=== sc stop vesmors"
  "$wine" sc stop vesmors >/dev/null 2>&1 || true
  demo_wait_state STOPPED
  "$wine" sc query vesmors | tr -d '\r' | grep -E 'STATE|EXIT_CODE'
  echo "--- the log's last lines:"
  tr -d '\r' <"$svc/launcher-logs/launcher.log" | sed '/^$/d' | tail -2

  echo "=== launcher vesmors remove"
  (cd /tmp && "$wine" "$svc/bin/launcher.exe" vesmors remove)
  status=$?
  echo
  echo "--- exit status: $status"
  if "$wine" sc query vesmors >/dev/null 2>&1; then echo "--- the service is still there"; else echo "--- the service is gone"; fi
}

# Polls sc query for a state: the service manager answers asynchronously.
demo_wait_state() {
  i=0
  while [ $i -lt 100 ]; do
    if "$wine" sc query vesmors 2>/dev/null | grep -q "$1"; then return 0; fi
    sleep 0.2
    i=$((i + 1))
  done
  echo "(the service did not reach $1 in 20 s)"
}
