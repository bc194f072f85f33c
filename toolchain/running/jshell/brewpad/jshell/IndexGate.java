// SPDX-License-Identifier: GPL-3.0-or-later
// When jdk.jshell's source-code analysis may build its index of the class
// path and of the JDK's packages. The analysis starts that index in the
// background as soon as it exists (which an evaluation needs, to cut the
// input into snippets), and keeps it for the life of the JVM: some 20 MB of
// names. Only a completion uses it (the packages after "java."), so the
// helper lets it be built at the first completion asked for.
//
// The analysis learns what to index from the file manager's
// getLocationAsPaths, which only the analysis's indexing thread asks (javac
// is given jdk.jshell's own file manager, which has no such method): the
// JShell's file manager is javac's own behind this gate, which holds that
// thread there until the gate opens, or answers it no folders at all for a
// JShell that never completes.
package brewpad.jshell;

import java.lang.reflect.InvocationHandler;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Proxy;
import java.nio.file.Path;
import java.util.Collections;
import java.util.concurrent.CountDownLatch;

import javax.tools.StandardJavaFileManager;

final class IndexGate implements InvocationHandler {
    private final CountDownLatch open = new CountDownLatch(1);
    private final boolean never;
    /** The thread that evaluates and completes, which is never held. */
    private final Thread owner = Thread.currentThread();
    private StandardJavaFileManager files;

    private IndexGate(boolean never) {
        this.never = never;
    }

    /** A gate that opens at open(). */
    static IndexGate closed() {
        return new IndexGate(false);
    }

    /** A gate for a JShell that never completes: nothing is indexed. */
    static IndexGate never() {
        return new IndexGate(true);
    }

    /** Lets the index be built (again a no-op once done). */
    void open() {
        open.countDown();
    }

    boolean isOpen() {
        return open.getCount() == 0;
    }

    /** javac's file manager `fm` behind this gate, for JShell.Builder.fileManager. */
    StandardJavaFileManager wrap(StandardJavaFileManager fm) {
        files = fm;
        return (StandardJavaFileManager) Proxy.newProxyInstance(IndexGate.class.getClassLoader(),
                new Class<?>[] {StandardJavaFileManager.class}, this);
    }

    @Override
    public Object invoke(Object proxy, Method m, Object[] args) throws Throwable {
        if (m.getName().equals("getLocationAsPaths") && Thread.currentThread() != owner) {
            if (never)
                return Collections.<Path>emptyList();
            open.await();
        }
        if (m.getDeclaringClass() == Object.class) {
            switch (m.getName()) {
            case "equals": return proxy == args[0];
            case "hashCode": return System.identityHashCode(proxy);
            case "toString": return "IndexGate(" + files + ")";
            default: break;
            }
        }
        try {
            return m.invoke(files, args);
        } catch (InvocationTargetException e) {
            throw e.getCause();
        }
    }
}
