package zorbel.jni;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.HexFormat;
import java.util.Locale;
import java.util.Optional;

/**
 * Finds and loads the Trelvan native library, in this order:
 *
 * <ol>
 *   <li>the file named by the system property {@value #LIBRARY_PROPERTY};
 *   <li>{@code System.loadLibrary("Trelvan")}, from {@code java.library.path};
 *   <li>the library bundled in this jar for the running os and architecture,
 *       extracted to a private temporary file of this process, checked
 *       against the digest bundled beside it, and loaded.
 * </ol>
 */
final class NativeLoader {

    static final String LIBRARY_PROPERTY = FileSystemHandler.LIBRARY_PROPERTY;
    private static final String RESOURCE_ROOT = "/zorbel/jni/native/";

    private NativeLoader() {}

    static void load() {
        String named = System.getProperty(LIBRARY_PROPERTY);
        if (named != null && !named.isEmpty()) {
            System.load(named);
            return;
        }
        try {
            System.loadLibrary("Trelvan");
            return;
        } catch (UnsatisfiedLinkError notOnLibraryPath) {
            // Fall through to the bundled library.
        }
        String os = System.getProperty("os.name", "");
        String arch = System.getProperty("os.arch", "");
        String resource = resourceFor(os, arch).orElseThrow(() -> new UnsatisfiedLinkError(
                "Trelvan has no native library for os.name=\"" + os + "\", os.arch=\"" + arch
                        + "\"; build one and name its file with -D" + LIBRARY_PROPERTY + "=PATH"));
        Path file = extract(resource);
        boolean windows = os.toLowerCase(Locale.ROOT).startsWith("windows");
        try {
            System.load(file.toString());
        } finally {
            if (windows) {
                file.toFile().deleteOnExit();  // a loaded DLL's file cannot go sooner, and may outlive the JVM
            } else {
                deleteQuietly(file);  // a loaded library's mapping outlives its name
            }
        }
    }

    /**
     * The bundled library for an os and architecture, as a resource path below
     * the native root ("linux-x64/libTrelvan.so"), or empty where none ships.
     */
    static Optional<String> resourceFor(String osName, String osArch) {
        String os = osName.toLowerCase(Locale.ROOT);
        String arch = osArch.toLowerCase(Locale.ROOT);
        boolean x64 = arch.equals("amd64") || arch.equals("x86_64");
        boolean x86 = arch.equals("x86") || arch.equals("i386") || arch.equals("i486") || arch.equals("i586")
                || arch.equals("i686");
        if (os.startsWith("windows")) {
            if (x64) return Optional.of("windows-x64/Trelvan.dll");
            if (x86) return Optional.of("windows-x86/Trelvan.dll");
        } else if (os.equals("linux") && x64) {
            return Optional.of("linux-x64/libTrelvan.so");
        }
        return Optional.empty();
    }

    /**
     * Copies the bundled library to a new temporary file of this process,
     * which only its user can read, and answers its path once the copy
     * matches the digest bundled beside it.
     */
    private static Path extract(String resource) {
        String expected = bundledDigest(resource);
        String name = resource.substring(resource.lastIndexOf('/') + 1);
        Path file = null;
        try (InputStream in = open(resource)) {
            file = Files.createTempFile("trelvan-", "-" + name);
            try (OutputStream out = Files.newOutputStream(file)) {
                in.transferTo(out);
            }
            if (!expected.equals(digestOf(file))) {
                throw new UnsatisfiedLinkError("Trelvan: the bundled " + resource + " does not match its digest");
            }
            return file;
        } catch (IOException e) {
            deleteQuietly(file);
            UnsatisfiedLinkError error = new UnsatisfiedLinkError("Trelvan: cannot extract " + resource + ": " + e);
            error.initCause(e);
            throw error;
        } catch (UnsatisfiedLinkError e) {
            deleteQuietly(file);
            throw e;
        }
    }

    private static String bundledDigest(String resource) {
        try (InputStream in = open(resource + ".sha256")) {
            return new String(in.readAllBytes(), StandardCharsets.US_ASCII).trim().split("\\s+")[0];
        } catch (IOException e) {
            throw new UnsatisfiedLinkError("Trelvan: no digest bundled for " + resource);
        }
    }

    private static InputStream open(String resource) throws IOException {
        InputStream in = NativeLoader.class.getResourceAsStream(RESOURCE_ROOT + resource);
        if (in == null) throw new IOException("not in the jar: " + RESOURCE_ROOT + resource);
        return in;
    }

    private static String digestOf(Path file) throws IOException {
        try {
            return HexFormat.of().formatHex(MessageDigest.getInstance("SHA-256").digest(Files.readAllBytes(file)));
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException("every JVM has SHA-256", e);
        }
    }

    private static void deleteQuietly(Path file) {
        if (file == null) return;
        try {
            Files.deleteIfExists(file);
        } catch (IOException ignored) {
            // A temporary file left behind; nothing else depends on it.
        }
    }
}
