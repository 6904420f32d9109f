import java.nio.ByteBuffer;
import java.security.AlgorithmParameters;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.Callable;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import javax.crypto.Cipher;
import javax.crypto.SecretKey;

/**
 * Stands in for an application's key-provider class: declares the three
 * natives that the launcher registers, and checks them from Java threads.
 */
public final class CipherNativesCheck {
    static native byte[] externEncrypt(ByteBuffer iv, ByteBuffer data);

    static native byte[] externDecrypt(ByteBuffer iv, ByteBuffer data);

    static native byte[] externGetEncryptedDistributionKey();

    private CipherNativesCheck() {}

    private static ByteBuffer direct(byte[] bytes) {
        ByteBuffer b = ByteBuffer.allocateDirect(bytes.length);
        b.put(bytes);
        // Position at the end: the natives must use the whole capacity anyway.
        return b;
    }

    // The JDK's AES takes any key whose raw bytes it can read.
    private static final class RawAesKey implements SecretKey {
        private static final long serialVersionUID = 1L;
        private final byte[] bytes;

        RawAesKey(byte[] bytes) { this.bytes = bytes.clone(); }
        @Override public String getAlgorithm() { return "AES"; }
        @Override public String getFormat() { return "RAW"; }
        @Override public byte[] getEncoded() { return bytes.clone(); }
    }

    // The IV as AES parameters: their encoded form is a DER octet string.
    private static AlgorithmParameters ivParameters(byte[] iv) throws Exception {
        byte[] der = new byte[iv.length + 2];
        der[0] = 0x04;
        der[1] = (byte) iv.length;
        System.arraycopy(iv, 0, der, 2, iv.length);
        AlgorithmParameters p = AlgorithmParameters.getInstance("AES");
        p.init(der);
        return p;
    }

    private static byte[] reference(int mode, byte[] key, byte[] iv, byte[] data) throws Exception {
        Cipher c = Cipher.getInstance("AES/CFB/NoPadding");
        c.init(mode, new RawAesKey(key), ivParameters(iv));
        return c.doFinal(data);
    }

    private static final class Case {
        final byte[] iv = new byte[16];
        final byte[] plain;
        byte[] cipher;

        Case(int seed, int length) {
            java.util.Random r = new java.util.Random(seed);
            r.nextBytes(iv);
            plain = new byte[length];
            r.nextBytes(plain);
        }
    }

    /**
     * Encrypts and decrypts from several threads at once, each call checked
     * against the single-threaded results, which are first checked against the
     * JDK's AES/CFB for the key. Returns null, or what went wrong.
     */
    static String concurrentRoundTrips(byte[] key, int threads, int iterations) throws Exception {
        final List<Case> cases = new ArrayList<>();
        int[] lengths = {16, 32, 48, 4096, 65536};
        for (int i = 0; i < lengths.length; ++i) cases.add(new Case(i, lengths[i]));
        for (Case c : cases) {
            c.cipher = externEncrypt(direct(c.iv), direct(c.plain));
            if (!Arrays.equals(c.cipher, reference(Cipher.ENCRYPT_MODE, key, c.iv, c.plain)))
                return "single-threaded encryption of " + c.plain.length + " bytes differs from the JDK";
            if (!Arrays.equals(externDecrypt(direct(c.iv), direct(c.cipher)), c.plain))
                return "single-threaded decryption of " + c.plain.length + " bytes differs";
        }
        final CyclicBarrier start = new CyclicBarrier(threads);
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        try {
            List<Future<String>> results = new ArrayList<>();
            for (int t = 0; t < threads; ++t) {
                final int offset = t;
                Callable<String> work = () -> {
                    start.await();
                    for (int i = 0; i < iterations; ++i) {
                        Case c = cases.get((i + offset) % cases.size());
                        if (!Arrays.equals(externEncrypt(direct(c.iv), direct(c.plain)), c.cipher))
                            return "thread " + offset + ": encryption of " + c.plain.length + " bytes differs";
                        if (!Arrays.equals(externDecrypt(direct(c.iv), direct(c.cipher)), c.plain))
                            return "thread " + offset + ": decryption of " + c.plain.length + " bytes differs";
                    }
                    return null;
                };
                results.add(pool.submit(work));
            }
            for (Future<String> f : results) {
                String failure = f.get();
                if (failure != null) return failure;
            }
        } finally {
            pool.shutdown();
        }
        return null;
    }

    /**
     * Each thread encrypts and decrypts its own buffers of random sizes, calls
     * times in all; every result must equal the one computed single-threaded
     * beforehand (itself checked against the JDK). Returns null, or what went
     * wrong.
     */
    static String randomSizeRoundTrips(byte[] key, int threads, int calls, int casesPerThread, long seed)
            throws Exception {
        final java.util.Random sizes = new java.util.Random(seed);
        final List<List<Case>> perThread = new ArrayList<>();
        for (int t = 0; t < threads; ++t) {
            List<Case> mine = new ArrayList<>();
            for (int i = 0; i < casesPerThread; ++i) {
                Case c = new Case((int) seed + t * casesPerThread + i, 16 * (1 + sizes.nextInt(32)));
                c.cipher = externEncrypt(direct(c.iv), direct(c.plain));
                if (!Arrays.equals(c.cipher, reference(Cipher.ENCRYPT_MODE, key, c.iv, c.plain)))
                    return "single-threaded encryption of " + c.plain.length + " bytes differs from the JDK";
                mine.add(c);
            }
            perThread.add(mine);
        }
        final CyclicBarrier start = new CyclicBarrier(threads);
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        try {
            List<Future<String>> results = new ArrayList<>();
            for (int t = 0; t < threads; ++t) {
                final int thread = t;
                final List<Case> mine = perThread.get(t);
                Callable<String> work = () -> {
                    start.await();
                    for (int i = 0; i < calls; ++i) {
                        Case c = mine.get((i / 2) % mine.size());
                        if (i % 2 == 0) {
                            if (!Arrays.equals(externEncrypt(direct(c.iv), direct(c.plain)), c.cipher))
                                return "thread " + thread + " call " + i + ": encryption of " + c.plain.length
                                        + " bytes differs";
                        } else if (!Arrays.equals(externDecrypt(direct(c.iv), direct(c.cipher)), c.plain)) {
                            return "thread " + thread + " call " + i + ": decryption of " + c.plain.length
                                    + " bytes differs";
                        }
                    }
                    return null;
                };
                results.add(pool.submit(work));
            }
            for (Future<String> f : results) {
                String failure = f.get();
                if (failure != null) return failure;
            }
        } finally {
            pool.shutdown();
        }
        return null;
    }
}
