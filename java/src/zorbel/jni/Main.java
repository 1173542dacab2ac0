package zorbel.jni;

import java.io.PrintStream;
import java.util.Arrays;
import java.util.List;

/**
 * The jar's command line:
 *
 * <pre>java -jar trelvan.jar readonly|writable|remove FILE...</pre>
 *
 * Exits 0 when every file succeeded, 1 when any failed (each failure is named
 * on standard error), and 2 with a usage text on bad arguments.
 */
public final class Main {
    static final String USAGE = String.join(System.lineSeparator(),
            "usage: java -jar trelvan.jar COMMAND FILE...",
            "  readonly   make each FILE read-only",
            "  writable   make each FILE writable",
            "  remove     delete each FILE, read-only or not (never a directory)",
            "Exits 0 when every FILE succeeded, 1 when any failed, 2 on bad arguments.");

    private Main() {}

    public static void main(String[] args) {
        int status;
        try {
            status = run(Arrays.asList(args), System.err);
        } catch (UnsatisfiedLinkError noLibrary) {
            System.err.println("trelvan: " + noLibrary);
            status = 1;
        }
        System.exit(status);
    }

    /** Runs the command line; answers the exit status. */
    static int run(List<String> args, PrintStream err) {
        if (args.size() < 2 || !List.of("readonly", "writable", "remove").contains(args.get(0))) {
            err.println(USAGE);
            return 2;
        }
        String command = args.get(0);
        int failures = 0;
        for (String file : args.subList(1, args.size())) {
            boolean ok = switch (command) {
                case "readonly" -> FileSystemHandler.changeFileMode(file, true);
                case "writable" -> FileSystemHandler.changeFileMode(file, false);
                default -> FileSystemHandler.removeFile(file);
            };
            if (!ok) {
                failures++;
                err.println("trelvan: " + command + " failed: " + file);
            }
        }
        return failures == 0 ? 0 : 1;
    }
}
