# The application starts shown by the demo; sourced by demo.sh.
demo_parts() {
  echo
  echo "##### The Java start. The Java runtime here is a STAND-IN jvm.dll (a test double that"
  echo "##### records what it was given and calls the registered natives); on Windows the"
  printf '%s\n' "##### suite's own jre\\bin\\client\\jvm.dll is loaded from the same place."
  cp "$doubles/jvm/jvm.dll" "$demo/jre/bin/client/jvm.dll"
  printf 'main=natives\n' >"$demo/jre/bin/client/jvm_stub.cfg"
  mkdir -p "$demo/launcher-logs"
  show ormic
  echo "--- what the JVM received (jvm_stub_record.txt):"
  grep -v '^option\[1[0-7]\]' "$demo/jre/bin/client/jvm_stub_record.txt" | cut -c1-160
  echo "(the class-path option is the last one: $(grep -c 'option\[' "$demo/jre/bin/client/jvm_stub_record.txt") options in all)"

  echo
  echo "##### The native-library start. libenrolclientsvc.dll here is a STAND-IN that records its call."
  cp "$doubles/enrolclientsvc/libenrolclientsvc.dll" "$demo/bin/"
  show zentu hello
  echo "--- what the library received (enrolclientsvc_record.txt):"
  cat "$demo/bin/enrolclientsvc_record.txt"
  rm -f "$demo/bin/libenrolclientsvc.dll" "$demo/bin/enrolclientsvc_record.txt"
  echo
  echo "##### The same start without the library: a failed start, status -1 (255)."
  show zentu hello
}
