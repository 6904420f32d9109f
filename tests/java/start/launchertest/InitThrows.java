package launchertest;

/** A main class whose static initializer throws, so that looking it up fails. */
public final class InitThrows {
    static {
        if (Boolean.TRUE) throw new IllegalStateException("static initializer of InitThrows");
    }

    public static void main(String[] args) {
        Events.add("InitThrows.main called");
    }

    private InitThrows() {}
}
