import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

import zorbel.jni.FileSystemHandler;

/**
 * The native methods against the JDK's own way to do the same, in one JVM:
 * rounds of each contender alternate, and the median round counts.
 *
 *   java Bench [DIRECTORY]   (default /dev/shm)
 */
public final class Bench {
    private static final int ROUNDS = 21;
    private static final int WARMUP_ROUNDS = 5;
    private static final int TOGGLES = 20_000;
    private static final int FILES = 5_000;

    interface Round {
        /** Runs one round; answers nanoseconds per call. */
        double run() throws Exception;
    }

    public static void main(String[] args) throws Exception {
        Path base = Paths.get(args.length > 0 ? args[0] : "/dev/shm");
        Path dir = Files.createTempDirectory(base, "trelvan-bench-");
        try {
            System.out.printf("directory: %s, %d rounds of each, median round (ns per call)%n%n", dir, ROUNDS);
            System.out.printf("%-58s %10s %10s %8s%n", "contest", "Trelvan", "JDK", "ratio");
            toggles(dir);
            removals(dir);
        } finally {
            try (var entries = Files.list(dir)) {
                for (Path p : (Iterable<Path>) entries::iterator) {
                    p.toFile().setWritable(true);
                    Files.delete(p);
                }
            }
            Files.delete(dir);
        }
    }

    private static void toggles(Path dir) throws Exception {
        Path p = Files.createFile(dir.resolve("toggle"));
        String path = p.toString();
        File file = p.toFile();
        Round ours = () -> {
            long start = System.nanoTime();
            for (int i = 0; i < TOGGLES; i++) {
                if (!FileSystemHandler.changeFileMode(path, true) | !FileSystemHandler.changeFileMode(path, false)) {
                    throw new IllegalStateException("changeFileMode failed");
                }
            }
            return (System.nanoTime() - start) / (2.0 * TOGGLES);
        };
        Round jdk = () -> {
            long start = System.nanoTime();
            for (int i = 0; i < TOGGLES; i++) {
                if (!file.setReadOnly() | !file.setWritable(true)) throw new IllegalStateException("File failed");
            }
            return (System.nanoTime() - start) / (2.0 * TOGGLES);
        };
        report("changeFileMode(true/false) vs setReadOnly/setWritable", ours, jdk);
    }

    private static void removals(Path dir) throws Exception {
        List<String> paths = new ArrayList<>();
        List<File> files = new ArrayList<>();
        for (int i = 0; i < FILES; i++) {
            Path p = dir.resolve("remove-" + i);
            paths.add(p.toString());
            files.add(p.toFile());
        }
        Round ours = () -> {
            makeReadOnlyFiles(files);
            long start = System.nanoTime();
            for (String path : paths) {
                if (!FileSystemHandler.removeFile(path)) throw new IllegalStateException("removeFile failed");
            }
            return (System.nanoTime() - start) / (double) FILES;
        };
        Round jdk = () -> {
            makeReadOnlyFiles(files);
            long start = System.nanoTime();
            for (File file : files) {
                if (!file.setWritable(true) | !file.delete()) throw new IllegalStateException("File failed");
            }
            return (System.nanoTime() - start) / (double) FILES;
        };
        report("removeFile vs setWritable(true) + delete (read-only files)", ours, jdk);
    }

    private static void makeReadOnlyFiles(List<File> files) throws Exception {
        for (File file : files) {
            if (!file.createNewFile() || !file.setReadOnly()) throw new IllegalStateException("setup failed");
        }
    }

    private static void report(String contest, Round ours, Round jdk) throws Exception {
        double[] a = new double[ROUNDS];
        double[] b = new double[ROUNDS];
        for (int i = -WARMUP_ROUNDS; i < ROUNDS; i++) {
            double x = ours.run();
            double y = jdk.run();
            if (i >= 0) {
                a[i] = x;
                b[i] = y;
            }
        }
        double oursMedian = median(a);
        double jdkMedian = median(b);
        System.out.printf("%-58s %10.0f %10.0f %7.3fx%n", contest, oursMedian, jdkMedian, oursMedian / jdkMedian);
    }

    private static double median(double[] values) {
        double[] sorted = values.clone();
        Arrays.sort(sorted);
        return sorted[sorted.length / 2];
    }
}
