package launchertest;

import java.lang.management.ManagementFactory;
import java.nio.ByteBuffer;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;

/**
 * The main class of the test records: reports what the launcher gave it, or
 * calls the natives, throws, leaves a thread running, ends the process
 * through a shutdown hook, or runs out of heap, by the system property
 * launchertest.mode.
 */
public final class Main {
    private Main() {}

    public static void main(String[] args) throws Exception {
        Events.add("main called args=" + (args == null ? "null" : "length " + args.length));
        String mode = System.getProperty("launchertest.mode", "report");
        switch (mode) {
            case "report":
                List<String> input = ManagementFactory.getRuntimeMXBean().getInputArguments();
                for (int i = 0; i < input.size(); ++i) Events.add("input[" + i + "]=" + input.get(i));
                Events.add("class.path=" + System.getProperty("java.class.path"));
                break;
            case "natives":
                natives();
                break;
            case "refused_natives":
                try {
                    RefusingKeyProvider.externGetEncryptedDistributionKey(1);
                } catch (UnsatisfiedLinkError e) {
                    Events.add("key native: " + e.getClass().getName());
                }
                break;
            case "throw":
                Events.add("main throwing");
                throw new IllegalStateException("thrown from main: \u00fc \uD83D\uDE00");
            case "throw_undescribable":
                Events.add("main throwing");
                throw new Undescribable();
            case "thread":
                Thread worker = new Thread(Main::waitForRelease, "worker");
                worker.setDaemon(false);
                worker.start();
                break;
            case "exit":
                addShutdownHook();
                Events.add("main exiting with 7");
                System.exit(7);
                break;
            case "block":
                addShutdownHook();
                Events.add("main blocking");
                Thread.sleep(Long.MAX_VALUE);
                break;
            case "oom":
                List<long[]> heap = new ArrayList<>();
                while (true) heap.add(new long[1 << 16]);
            default:
                Events.add("unknown mode " + mode);
        }
        Events.add("main returned");
    }

    /** An exception that throws when asked to describe itself. */
    private static final class Undescribable extends RuntimeException {
        @Override
        public String toString() {
            throw new IllegalStateException("no description");
        }
    }

    /** A hook that takes a while, as a server's flush would. */
    private static void addShutdownHook() {
        Runtime.getRuntime().addShutdownHook(new Thread(() -> {
            try {
                Thread.sleep(500);
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
            }
            Events.add("shutdown hook ran");
        }));
    }

    private static void waitForRelease() {
        Path release = Paths.get("release");
        try {
            while (!Files.exists(release)) Thread.sleep(20);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
        }
        Events.add("thread ended");
    }

    private static ByteBuffer direct(byte[] bytes) {
        ByteBuffer b = ByteBuffer.allocateDirect(bytes.length);
        b.put(bytes);
        return b;
    }

    private static String hex(byte[] bytes) {
        if (bytes == null) return "null";
        StringBuilder s = new StringBuilder();
        for (byte b : bytes) s.append(String.format("%02x", b & 0xff));
        return s.toString();
    }

    // The same inputs as the Windows stand-in JVM's natives mode.
    private static void natives() {
        byte[] iv = new byte[16];
        for (int i = 0; i < iv.length; ++i) iv[i] = (byte) (0xA0 + i);
        byte[] plain = new byte[4096];
        for (int i = 0; i < plain.length; ++i) plain[i] = (byte) ((i * 7 + 3) & 0xff);
        byte[] cipher = KeyProvider.externEncrypt(direct(iv), direct(plain));
        Events.add("encrypt=" + hex(cipher));
        Events.add("decrypt=" + hex(KeyProvider.externDecrypt(direct(iv), direct(cipher))));
        byte[] twenty = new byte[20];
        System.arraycopy(plain, 0, twenty, 0, 20);
        Events.add("encrypt20=" + hex(KeyProvider.externEncrypt(direct(iv), direct(twenty))));
        Events.add("key=" + hex(KeyProvider.externGetEncryptedDistributionKey()));
        Events.add("key=" + hex(KeyProvider.externGetEncryptedDistributionKey()));
    }
}
