// The trivial application of scripts/java_start_compare.sh: a main that
// returns, and a key-provider class for the launcher's natives.
class JavaStartTrivial {
    public static void main(String[] args) {}
}

class JavaStartKeyProvider {
    static native byte[] externEncrypt(java.nio.ByteBuffer iv, java.nio.ByteBuffer data);

    static native byte[] externDecrypt(java.nio.ByteBuffer iv, java.nio.ByteBuffer data);

    static native byte[] externGetEncryptedDistributionKey();
}
