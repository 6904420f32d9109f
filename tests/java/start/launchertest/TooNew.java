package launchertest;

/** A key provider that the tests copy with a class-file version no runtime knows yet. */
public final class TooNew {
    private TooNew() {}
}
