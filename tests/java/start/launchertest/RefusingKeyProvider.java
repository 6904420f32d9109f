package launchertest;

import java.nio.ByteBuffer;

/** A key-provider class whose key native takes an argument: the runtime refuses the launcher's natives. */
public final class RefusingKeyProvider {
    static native byte[] externEncrypt(ByteBuffer iv, ByteBuffer data);

    static native byte[] externDecrypt(ByteBuffer iv, ByteBuffer data);

    static native byte[] externGetEncryptedDistributionKey(int version);

    private RefusingKeyProvider() {}
}
