# The application starts shown by the demo; sourced by demo.sh.
demo_parts() {
  show ormic
}
