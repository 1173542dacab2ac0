package zorbel.jni;

import static java.nio.file.attribute.PosixFilePermission.OWNER_WRITE;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.attribute.PosixFilePermission;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.ArrayList;
import java.util.List;
import java.util.Set;
import java.util.concurrent.Callable;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.ValueSource;

/** The library in a real JVM, under -Xcheck:jni, on the real file system. */
class FileSystemHandlerTest {

    @TempDir Path dir;

    private static Set<PosixFilePermission> permissions(Path p) throws Exception {
        return Files.getPosixFilePermissions(p, LinkOption.NOFOLLOW_LINKS);
    }

    private static boolean readOnly(Path p) throws Exception {
        return !permissions(p).contains(OWNER_WRITE);
    }

    private Path file(String name) throws Exception {
        return Files.createFile(dir.resolve(name));
    }

    @Test
    void makesAFileReadOnlyAndWritableAgain() throws Exception {
        Path f = file("f");
        assertTrue(FileSystemHandler.changeFileMode(f.toString(), true));
        assertTrue(readOnly(f));
        assertTrue(FileSystemHandler.changeFileMode(f.toString(), true));
        assertTrue(readOnly(f));
        assertTrue(FileSystemHandler.changeFileMode(f.toString(), false));
        assertFalse(readOnly(f));
    }

    /** The same permissions as java.io.File's own setReadOnly and setWritable(true). */
    @ParameterizedTest
    @ValueSource(strings = {"rwxrw-r--", "rw-rw-rw-", "rw-------", "r--r--r--", "rwxrwxrwx", "---------"})
    void matchesJavaIoFile(String start) throws Exception {
        Path ours = file("ours");
        Path theirs = file("theirs");
        Files.setPosixFilePermissions(ours, PosixFilePermissions.fromString(start));
        Files.setPosixFilePermissions(theirs, PosixFilePermissions.fromString(start));

        assertTrue(FileSystemHandler.changeFileMode(ours.toString(), true));
        assertTrue(theirs.toFile().setReadOnly());
        assertEquals(permissions(theirs), permissions(ours));

        assertTrue(FileSystemHandler.changeFileMode(ours.toString(), false));
        assertTrue(theirs.toFile().setWritable(true));
        assertEquals(permissions(theirs), permissions(ours));
    }

    @Test
    void removesWritableAndReadOnlyFiles() throws Exception {
        Path w = file("w");
        Path r = file("r");
        assertTrue(r.toFile().setReadOnly());
        assertTrue(FileSystemHandler.removeFile(w.toString()));
        assertTrue(FileSystemHandler.removeFile(r.toString()));
        assertFalse(Files.exists(w, LinkOption.NOFOLLOW_LINKS));
        assertFalse(Files.exists(r, LinkOption.NOFOLLOW_LINKS));
        assertFalse(FileSystemHandler.removeFile(r.toString()));
    }

    @Test
    void missingEmptyAndNullPathsFail() {
        for (String path : new String[] {dir.resolve("missing").toString(), "", null}) {
            assertFalse(FileSystemHandler.changeFileMode(path, true));
            assertFalse(FileSystemHandler.changeFileMode(path, false));
            assertFalse(FileSystemHandler.removeFile(path));
        }
        assertFalse(Files.exists(dir.resolve("missing")));
    }

    @Test
    void directoriesAreNotRemovedButLoseReadOnly() throws Exception {
        Path d = Files.createDirectory(dir.resolve("d"));
        assertTrue(FileSystemHandler.changeFileMode(d.toString(), true));
        assertTrue(readOnly(d));
        assertFalse(FileSystemHandler.removeFile(d.toString()));
        assertTrue(Files.isDirectory(d));
        assertFalse(readOnly(d));
    }

    @Test
    void linksAreRemovedAsLinksAndNeverFollowed() throws Exception {
        Path target = file("target");
        assertTrue(target.toFile().setReadOnly());
        Set<PosixFilePermission> before = permissions(target);
        Path link = Files.createSymbolicLink(dir.resolve("link"), target);
        Path dangling = Files.createSymbolicLink(dir.resolve("dangling"), dir.resolve("nowhere"));

        assertFalse(FileSystemHandler.changeFileMode(link.toString(), false));
        assertFalse(FileSystemHandler.changeFileMode(link.toString(), true));
        assertEquals(before, permissions(target));

        assertTrue(FileSystemHandler.removeFile(link.toString()));
        assertTrue(FileSystemHandler.removeFile(dangling.toString()));
        assertFalse(Files.exists(link, LinkOption.NOFOLLOW_LINKS));
        assertFalse(Files.exists(dangling, LinkOption.NOFOLLOW_LINKS));
        assertEquals(before, permissions(target));
    }

    @ParameterizedTest
    @ValueSource(strings = {"caf\u00e9.txt", "\u65e5\u672c\u8a9e", "smile-\ud83d\ude00", "\u0645\u0644\u0641"})
    void namesOutsideAscii(String name) throws Exception {
        assertEquals("UTF-8", System.getProperty("sun.jnu.encoding"), "run the JVM in a UTF-8 locale");
        Path f = file(name);
        assertTrue(FileSystemHandler.changeFileMode(f.toString(), true));
        assertTrue(readOnly(f));
        assertTrue(FileSystemHandler.removeFile(f.toString()));
        assertFalse(Files.exists(f, LinkOption.NOFOLLOW_LINKS));
    }

    /** Java strings can hold what no file name should receive shortened or altered. */
    @ParameterizedTest
    @ValueSource(strings = {"a\u0000", "a\u0000b", "a\ud800", "a\udc00b"})
    void namesWithNulOrUnpairedSurrogatesFailAndTouchNothing(String suffix) throws Exception {
        Path a = file("a");
        String path = dir.resolve("a").toString() + suffix.substring(1);
        assertFalse(FileSystemHandler.changeFileMode(path, true));
        assertFalse(FileSystemHandler.removeFile(path));
        assertTrue(Files.exists(a));
        assertFalse(readOnly(a));
    }

    @Test
    void relativePathsFollowTheWorkingDirectory() throws Exception {
        Path cwd = Paths.get("").toAbsolutePath();
        Path f = Files.createTempFile(cwd, "relative-", ".tmp");
        String relative = f.getFileName().toString();
        try {
            assertTrue(FileSystemHandler.changeFileMode(relative, true));
            assertTrue(readOnly(f));
            assertTrue(FileSystemHandler.removeFile(relative));
            assertFalse(Files.exists(f));
        } finally {
            Files.deleteIfExists(f);
        }
    }

    @Test
    void farTooLongPathsFail() {
        String longPath = dir + "/" + "x".repeat(40_000);
        assertFalse(FileSystemHandler.changeFileMode(longPath, true));
        assertFalse(FileSystemHandler.removeFile(longPath));
    }

    /** An undeletable file (its directory is immutable) stays, and stays writable. */
    @Test
    void aFileThatCannotBeDeletedStaysWritable() throws Exception {
        Path locked = Files.createDirectory(dir.resolve("locked"));
        Path f = Files.createFile(locked.resolve("f"));
        assertTrue(f.toFile().setReadOnly());
        chattr("+i", locked);
        try {
            assertFalse(FileSystemHandler.removeFile(f.toString()));
            assertTrue(Files.exists(f));
            assertFalse(readOnly(f));  // clearing read-only is not undone
        } finally {
            chattr("-i", locked);
        }
    }

    private static void chattr(String flag, Path p) throws Exception {
        Process chattr = new ProcessBuilder("chattr", flag, p.toString()).inheritIO().start();
        assertEquals(0, chattr.waitFor(), "chattr " + flag + " (needs root and a file system that has it)");
    }

    /** Many threads at once, each on files of its own and all on shared ones. */
    @Test
    void manyThreadsAtOnce() throws Exception {
        final int threads = 16;
        final int rounds = 200;
        List<Path> shared = new ArrayList<>();
        for (int i = 0; i < 4; i++) shared.add(file("shared-" + i));

        ExecutorService pool = Executors.newFixedThreadPool(threads);
        CountDownLatch start = new CountDownLatch(1);
        List<Future<Integer>> results = new ArrayList<>();
        for (int t = 0; t < threads; t++) {
            final int id = t;
            results.add(pool.submit((Callable<Integer>) () -> {
                start.await();
                int failures = 0;
                for (int i = 0; i < rounds; i++) {
                    Path own = dir.resolve("own-" + id + "-" + i);
                    Files.createFile(own);
                    if (!FileSystemHandler.changeFileMode(own.toString(), true)) failures++;
                    if (!readOnly(own)) failures++;
                    String s = shared.get(i % shared.size()).toString();
                    if (!FileSystemHandler.changeFileMode(s, (i & 1) == 0)) failures++;
                    if (!FileSystemHandler.removeFile(own.toString())) failures++;
                    if (Files.exists(own, LinkOption.NOFOLLOW_LINKS)) failures++;
                }
                return failures;
            }));
        }
        start.countDown();
        int failures = 0;
        for (Future<Integer> r : results) failures += r.get();
        pool.shutdown();
        assertEquals(0, failures);
        for (Path s : shared) assertTrue(FileSystemHandler.removeFile(s.toString()));
    }
}
