package zorbel.jni;

import static java.nio.file.attribute.PosixFilePermission.OWNER_WRITE;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.List;
import java.util.Optional;
import java.util.concurrent.TimeUnit;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** The shipped jar on its own: self-loading, in several JVMs at once, and its command line. */
class JarTest {

    @TempDir Path dir;

    private static Path jar() {
        String jar = System.getProperty("trelvan.jar");
        assertTrue(jar != null && Files.isRegularFile(Paths.get(jar)), "the shipped jar (make dist) is missing: " + jar);
        return Paths.get(jar);
    }

    /** A JVM with only the jar: no class path besides it, no library path, no property. */
    private Process start(Path tmp, String... args) throws Exception {
        List<String> command = new ArrayList<>(List.of(
                Paths.get(System.getProperty("java.home"), "bin", "java").toString(),
                "-Xcheck:jni", "-Djava.io.tmpdir=" + tmp));
        for (String a : args) command.add(a);
        return new ProcessBuilder(command).redirectInput(ProcessBuilder.Redirect.from(new java.io.File("/dev/null")))
                .start();
    }

    private record Run(int status, String out, String err) {}

    private static Run finish(Process p) throws Exception {
        assertTrue(p.waitFor(60, TimeUnit.SECONDS), "the JVM did not finish");
        return new Run(p.exitValue(), new String(p.getInputStream().readAllBytes(), StandardCharsets.UTF_8),
                new String(p.getErrorStream().readAllBytes(), StandardCharsets.UTF_8));
    }

    private static boolean readOnly(Path p) throws Exception {
        return !Files.getPosixFilePermissions(p).contains(OWNER_WRITE);
    }

    @Test
    void aJvmWithOnlyTheJarLoadsTheBundledLibraryAndLeavesNoFileBehind() throws Exception {
        Path tmp = Files.createDirectory(dir.resolve("tmp"));
        Path f = Files.createFile(dir.resolve("f"));
        Run run = finish(start(tmp, "-jar", jar().toString(), "readonly", f.toString()));
        assertEquals(0, run.status(), run.err());
        assertTrue(readOnly(f));
        assertFalse(run.out().contains("WARNING") || run.err().contains("WARNING"), run.out() + run.err());
        try (var left = Files.list(tmp)) {
            assertEquals(0, left.count(), "the extracted library was not cleaned up");
        }
    }

    @Test
    void fourJvmsStartedAtOnceAllLoadIt() throws Exception {
        Path tmp = Files.createDirectory(dir.resolve("tmp"));
        List<Process> jvms = new ArrayList<>();
        List<Path> files = new ArrayList<>();
        for (int i = 0; i < 4; i++) {
            Path f = Files.createFile(dir.resolve("f" + i));
            files.add(f);
            jvms.add(start(tmp, "-jar", jar().toString(), "remove", f.toString()));
        }
        for (Process jvm : jvms) {
            Run run = finish(jvm);
            assertEquals(0, run.status(), run.err());
        }
        for (Path f : files) assertFalse(Files.exists(f));
        try (var left = Files.list(tmp)) {
            assertEquals(0, left.count());
        }
    }

    @Test
    void anUnsupportedPlatformIsNamedInTheError() throws Exception {
        Path f = Files.createFile(dir.resolve("f"));
        Run run = finish(start(dir, "-Dos.arch=sparcv9", "-jar", jar().toString(), "readonly", f.toString()));
        assertEquals(1, run.status(), run.err());
        assertTrue(run.err().contains("UnsatisfiedLinkError"), run.err());
        assertTrue(run.err().contains("os.arch=\"sparcv9\"") && run.err().contains("os.name=\"Linux\""), run.err());
        assertTrue(run.err().contains("-Dtrelvan.library="), run.err());
        assertFalse(readOnly(f));
    }

    @ParameterizedTest
    @CsvSource({
        "Linux,      amd64,   linux-x64/libTrelvan.so",
        "Linux,      x86_64,  linux-x64/libTrelvan.so",
        "Windows 10, amd64,   windows-x64/Trelvan.dll",
        "Windows 11, x86,     windows-x86/Trelvan.dll",
        "Windows XP, i686,    windows-x86/Trelvan.dll",
        "Linux,      aarch64, ",
        "Linux,      x86,     ",
        "Mac OS X,   x86_64,  ",
        "Mac OS X,   aarch64, ",
        "FreeBSD,    amd64,   ",
        "Windows 11, aarch64, ",
    })
    void osAndArchitectureMapToTheBundledLibrary(String os, String arch, String resource) {
        assertEquals(Optional.ofNullable(resource), NativeLoader.resourceFor(os, arch));
    }

    @Test
    void commandLineExitCodesAndMessages() throws Exception {
        Path a = Files.createFile(dir.resolve("a"));
        Path missing = dir.resolve("missing");
        Path d = Files.createDirectory(dir.resolve("d"));
        record Case(List<String> args, int status, String errContains) {}
        List<Case> cases = List.of(
                new Case(List.of(), 2, "usage:"),
                new Case(List.of("readonly"), 2, "usage:"),
                new Case(List.of("delete", a.toString()), 2, "usage:"),
                new Case(List.of("readonly", a.toString()), 0, ""),
                new Case(List.of("writable", a.toString(), missing.toString()), 1,
                        "trelvan: writable failed: " + missing),
                new Case(List.of("remove", d.toString()), 1, "trelvan: remove failed: " + d),
                new Case(List.of("remove", a.toString()), 0, ""));
        for (Case c : cases) {
            ByteArrayOutputStream err = new ByteArrayOutputStream();
            int status = Main.run(c.args(), new PrintStream(err, true, StandardCharsets.UTF_8));
            String text = err.toString(StandardCharsets.UTF_8);
            assertEquals(c.status(), status, c.args() + ": " + text);
            assertTrue(text.contains(c.errContains()), c.args() + ": " + text);
            if (c.status() == 0) assertEquals("", text, c.args().toString());
        }
        assertFalse(Files.exists(a));
    }

    @Test
    void theCommandLineRunsFromTheJar() throws Exception {
        Path f = Files.createFile(dir.resolve("f"));
        Run bad = finish(start(dir, "-jar", jar().toString()));
        assertEquals(2, bad.status());
        assertTrue(bad.err().startsWith("usage: java -jar trelvan.jar"), bad.err());
        Run mixed = finish(start(dir, "-jar", jar().toString(), "readonly", f.toString(), dir.resolve("nope").toString()));
        assertEquals(1, mixed.status());
        assertTrue(readOnly(f));
        assertTrue(mixed.err().contains("readonly failed: " + dir.resolve("nope")), mixed.err());
    }
}
