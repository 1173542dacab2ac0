package zorbel.jni;

/**
 * The read-only flag and the removal of files, through the native library
 * Trelvan.
 *
 * <p>Both methods answer {@code true} for success and {@code false} for any
 * failure; they never throw, and a {@code null} path simply fails. They keep
 * no state and may be called from any number of threads at once.
 *
 * <p>The class loads its library when it is first used: the file named by
 * the system property {@value #LIBRARY_PROPERTY} if set, else "Trelvan" from
 * {@code java.library.path}, else the library bundled in this jar for the
 * running os and architecture (Linux x86-64, Windows x86 and x64). Where none
 * of these exists, it throws an {@link UnsatisfiedLinkError} naming the os,
 * the architecture and the property.
 */
public final class FileSystemHandler {

    /** System property naming the library file to load, if set. */
    public static final String LIBRARY_PROPERTY = "trelvan.library";

    static {
        NativeLoader.load();
    }

    private FileSystemHandler() {}

    /**
     * Makes the file or directory at {@code path} read-only ({@code readOnly}
     * true) or writable (false), keeping every other attribute. A relative
     * path is taken from the process's working directory.
     *
     * <p>On Windows this is the read-only attribute; hidden, system and
     * archive are kept. On POSIX systems an entry is read-only when its
     * owner-write bit is clear: read-only clears all three write bits and
     * writable sets the owner's, as {@link java.io.File#setReadOnly()} and
     * {@code setWritable(true)} do. A symbolic link is never followed.
     *
     * @return true when the attribute was written, even if it already had the
     *     wanted value; false for a null, empty or missing path, a symbolic
     *     link (POSIX), a path containing U+0000, an unpaired surrogate (POSIX)
     *     or too long for the platform, or a change the system refused
     */
    public static native boolean changeFileMode(String path, boolean readOnly);

    /**
     * Clears the read-only attribute of the file at {@code path}, then
     * deletes it, so that read-only files are deleted too. Directories are
     * never deleted; a symbolic link is deleted as the link itself, never its
     * target.
     *
     * <p>If the delete fails (the file is held open on Windows, or its
     * directory refuses it), the file stays, and stays writable: read-only is
     * not restored.
     *
     * @return true when the file is gone; false for a null, empty or missing
     *     path, a directory, a path the platform cannot hold, or a refused delete
     */
    public static native boolean removeFile(String path);
}
