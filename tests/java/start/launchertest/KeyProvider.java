package launchertest;

import java.nio.ByteBuffer;

/** Stands in for an application's key-provider class: the launcher registers these natives. */
public final class KeyProvider {
    static native byte[] externEncrypt(ByteBuffer iv, ByteBuffer data);

    static native byte[] externDecrypt(ByteBuffer iv, ByteBuffer data);

    static native byte[] externGetEncryptedDistributionKey();

    private KeyProvider() {}
}
