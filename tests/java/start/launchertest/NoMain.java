package launchertest;

/** A class whose main has the wrong signature: the launcher must not find it. */
public final class NoMain {
    public static void main() {
        Events.add("NoMain.main called");
    }

    private NoMain() {}
}
