package launchertest;

import java.io.FileOutputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;

/** Appends lines to events.txt in the working directory, each written at once. */
final class Events {
    private Events() {}

    static synchronized void add(String line) {
        try (FileOutputStream out = new FileOutputStream("events.txt", true)) {
            out.write((line + "\n").getBytes(StandardCharsets.UTF_8));
        } catch (IOException e) {
            throw new IllegalStateException(e);
        }
    }
}
