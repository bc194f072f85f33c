// SPDX-License-Identifier: GPL-3.0-or-later
// The JDK's sources for Go to Definition: one file of the JDK's lib/src.zip
// taken out into a private cache folder (readable by its owner only), read
// only, and taken out again when the zip is newer than the copy.

package brewpad.service;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.zip.ZipEntry;
import java.util.zip.ZipFile;

final class JdkSources {

    private JdkSources() {}

    // The copy of `entry` of `zip` below `cache`; null when the zip has no
    // such entry or it cannot be written.
    static Path extract(Path zip, String entry, Path cache) {
        Path target = cache.resolve(entry).normalize();
        if (!target.startsWith(cache))
            return null;
        try {
            if (Files.isRegularFile(target)
                    && Files.getLastModifiedTime(target).compareTo(Files.getLastModifiedTime(zip)) >= 0)
                return target;
            try (ZipFile z = new ZipFile(zip.toFile())) {
                ZipEntry ze = z.getEntry(entry);
                if (ze == null)
                    return null;
                Files.createDirectories(target.getParent(),
                        PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rwx------")));
                Path part = Files.createTempFile(target.getParent(), ".part", ".java");
                try (InputStream in = z.getInputStream(ze)) {
                    Files.copy(in, part, StandardCopyOption.REPLACE_EXISTING);
                }
                Files.setPosixFilePermissions(part, PosixFilePermissions.fromString("r--------"));
                Files.move(part, target, StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.ATOMIC_MOVE);
            }
            return target;
        } catch (IOException | RuntimeException e) {
            return null;
        }
    }
}
