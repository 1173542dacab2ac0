import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.PosixFilePermissions;

import zorbel.jni.FileSystemHandler;

/** Shows the two native methods at work on a temporary file. */
public final class Demo {
    public static void main(String[] args) throws Exception {
        Path file = Files.createTempFile("trelvan-demo-", ".txt");
        String path = file.toString();
        System.out.println("file:                         " + path + "  " + describe(file));

        System.out.println("changeFileMode(path, true)  = " + FileSystemHandler.changeFileMode(path, true)
                + "   -> " + describe(file));
        System.out.println("changeFileMode(path, false) = " + FileSystemHandler.changeFileMode(path, false)
                + "   -> " + describe(file));
        System.out.println("changeFileMode(path, true)  = " + FileSystemHandler.changeFileMode(path, true)
                + "   -> " + describe(file));
        System.out.println("removeFile(path)            = " + FileSystemHandler.removeFile(path)
                + "   -> " + (Files.exists(file) ? "still there" : "gone"));
        System.out.println("removeFile(path) again      = " + FileSystemHandler.removeFile(path));
    }

    private static String describe(Path file) throws Exception {
        String permissions = PosixFilePermissions.toString(Files.getPosixFilePermissions(file));
        boolean readOnly = permissions.charAt(1) != 'w';
        return permissions + (readOnly ? " (read-only)" : " (writable)");
    }
}
