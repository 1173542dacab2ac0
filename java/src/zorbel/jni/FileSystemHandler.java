package zorbel.jni;

/**
 * The read-only flag and the removal of files, through the native library
 * Trelvan.
 *
 * <p>Both methods answer {@code true} for success and {@code false} for any
 * failure; they never throw, and a {@code null} path simply fails. The
 * library is found through the system property {@value #LIBRARY_PROPERTY}
 * (the full path of the library file), and otherwise on
 * {@code java.library.path} as "Trelvan".
 */
public final class FileSystemHandler {

    /** System property naming the library file to load, if set. */
    public static final String LIBRARY_PROPERTY = "trelvan.library";

    static {
        String library = System.getProperty(LIBRARY_PROPERTY);
        if (library != null && !library.isEmpty()) {
            System.load(library);
        } else {
            System.loadLibrary("Trelvan");
        }
    }

    private FileSystemHandler() {}

    /**
     * Makes the file at {@code path} read-only ({@code readOnly} true) or
     * writable (false), keeping every other attribute. On POSIX systems a
     * file is read-only when its owner-write bit is clear: read-only clears
     * all three write bits, writable sets the owner's. A symbolic link is
     * never followed.
     *
     * @return whether the attribute was written; false for a missing file, a
     *     symbolic link, a name the file system cannot hold, or a denied change
     */
    public static native boolean changeFileMode(String path, boolean readOnly);

    /**
     * Clears the read-only attribute of the file at {@code path}, then
     * deletes it, so that read-only files are deleted too. Directories are
     * never deleted; a symbolic link is deleted as the link itself. If the
     * delete fails, the file stays, writable.
     *
     * @return whether the file is gone
     */
    public static native boolean removeFile(String path);
}
