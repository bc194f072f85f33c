// SPDX-License-Identifier: GPL-3.0-or-later
// The one connection of a debug session: Brewpad's debugger listens on the
// loopback interface, on a port of the system's choosing, for exactly one
// connection of the debuggee's JDWP agent, for a limited time, and closes the
// listening socket once the program's connection has come; a connection from
// any other process is refused, and the wait for the program's own goes on.
// A program that then does not answer within a limited time, or sends what
// is no JDWP packet, is given up with the reason (NoAnswer).
package brewpad.debugger;

import com.sun.jdi.Bootstrap;
import com.sun.jdi.VirtualMachine;
import com.sun.jdi.connect.spi.ClosedConnectionException;
import com.sun.jdi.connect.spi.Connection;

import java.io.BufferedReader;
import java.io.DataInputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.net.InetAddress;
import java.net.ServerSocket;
import java.net.Socket;
import java.nio.charset.StandardCharsets;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Locale;
import java.util.concurrent.atomic.AtomicBoolean;

final class DebuggerConnection extends Connection {
    private static final byte[] HANDSHAKE = "JDWP-Handshake".getBytes(StandardCharsets.US_ASCII);
    /** How long the program may take to answer the handshake, and then the debugger's first request. */
    static final int ANSWER_TIMEOUT_MS = 10000;
    /** Far above any packet a JVM sends a debugger, far below what would exhaust the helper's heap. */
    private static final int MAX_PACKET = 64 << 20;

    /** The program connected but did not answer as a JVM's debug agent does. */
    static final class NoAnswer extends IOException {
        private static final long serialVersionUID = 1L;

        NoAnswer(String why) {
            super(why);
        }
    }

    private final Socket socket;
    private final DataInputStream in;
    private final OutputStream out;
    private final Object writeLock = new Object();
    private volatile boolean open = true;
    /** Why the program's packets could not be read; null while they can. */
    private volatile String broken;

    private DebuggerConnection(Socket socket) throws IOException {
        this.socket = socket;
        this.in = new DataInputStream(socket.getInputStream());
        this.out = socket.getOutputStream();
    }

    /** A listening socket on 127.0.0.1, on an ephemeral port. */
    static ServerSocket listen() throws IOException {
        return new ServerSocket(0, 1, InetAddress.getLoopbackAddress());
    }

    /**
     * Takes the connection of process pid (checked through /proc) within
     * timeoutMs, refusing any other process's, and closes the listener once it
     * has come; then the JDWP handshake is made.
     */
    static DebuggerConnection acceptOne(ServerSocket server, int timeoutMs, long pid) throws IOException {
        Socket s = null;
        long deadline = System.nanoTime() + timeoutMs * 1000000L;
        try {
            while (s == null) {
                server.setSoTimeout((int) Math.max(1, (deadline - System.nanoTime()) / 1000000L));
                Socket c = server.accept();
                if (pid > 0 && !peerBelongsTo(c, pid))
                    c.close();  // another process: refused, the program may still come
                else
                    s = c;
            }
        } finally {
            server.close();
        }
        try {
            s.setTcpNoDelay(true);
            DebuggerConnection c = new DebuggerConnection(s);
            c.handshake();
            return c;
        } catch (IOException e) {
            s.close();
            throw e;
        }
    }

    private void handshake() throws IOException {
        socket.setSoTimeout(ANSWER_TIMEOUT_MS);
        out.write(HANDSHAKE);
        out.flush();
        byte[] reply = new byte[HANDSHAKE.length];
        try {
            in.readFully(reply);
        } catch (java.net.SocketTimeoutException e) {
            throw new NoAnswer("it connected but sent no handshake within " + ANSWER_TIMEOUT_MS / 1000 + " s");
        } catch (IOException e) {
            throw new NoAnswer("it closed the connection before its handshake");
        }
        if (!java.util.Arrays.equals(reply, HANDSHAKE))
            throw new NoAnswer("it answered the handshake with other bytes than a JVM's debug agent sends");
        socket.setSoTimeout(0);
    }

    /**
     * The JDI mirror of the program's VM on this connection. The program must
     * answer the first requests within ANSWER_TIMEOUT_MS and send only JDWP
     * packets; else the connection is closed and NoAnswer says why. The mirror
     * is made on the calling thread (no other thread has to be scheduled while
     * the program waits for it); a watchdog closes a connection that stays
     * silent, which ends the mirror's wait.
     */
    VirtualMachine mirror() throws IOException {
        final AtomicBoolean settled = new AtomicBoolean();
        // A class of its own rather than a lambda, as in acceptProgram.
        Thread watchdog = new Thread("answer-limit") {
            @Override
            public void run() {
                try {
                    Thread.sleep(ANSWER_TIMEOUT_MS);
                } catch (InterruptedException e) {
                    return;  // the mirror is made, or has failed
                }
                if (!settled.compareAndSet(false, true))
                    return;
                if (broken == null)
                    broken = "it sent nothing for " + ANSWER_TIMEOUT_MS / 1000 + " s after its handshake";
                try {
                    close();
                } catch (IOException e) {
                    // closed already
                }
            }
        };
        watchdog.setDaemon(true);
        watchdog.start();
        VirtualMachine made = null;
        String failure = null;
        try {
            made = Bootstrap.virtualMachineManager().createVirtualMachine(this);
        } catch (IOException | RuntimeException e) {
            failure = e.getClass().getSimpleName();
        } finally {
            watchdog.interrupt();
        }
        if (made != null && settled.compareAndSet(false, true))
            return made;
        String why = broken;
        close();
        if (why == null)
            why = "its connection failed (" + (failure == null ? "closed" : failure) + ")";
        throw new NoAnswer(why);
    }

    /**
     * Runs the look-ups of a connection's check once, on ports no socket has
     * and this process's own descriptors, so that the first real check runs
     * loaded code.
     */
    static void warmUp() {
        try {
            new ServerSocket().close();  // made, never bound
            socketInode(0, 0);
            ownsSocket(Paths.get("/proc/self"), "socket:[0]");
        } catch (IOException e) {
            // nothing to warm
        }
    }

    /** The socket inode of the peer's end (its local port is our remote one), from /proc/net/tcp. */
    private static boolean peerBelongsTo(Socket s, long pid) throws IOException {
        String inode = socketInode(s.getPort(), s.getLocalPort());
        if (inode == null)
            return false;
        String wanted = "socket:[" + inode + "]";
        // The agent runs in the program's JVM: the process itself, or a child
        // of it for programs started through a launcher script.
        return ownsSocket(Paths.get("/proc", Long.toString(pid)), wanted);
    }

    /** The inode of the loopback socket from port `local` to port `remote`; null when there is none. */
    private static String socketInode(int local, int remote) throws IOException {
        String from = loopback(local), to = loopback(remote);
        for (String line : Files.readAllLines(Paths.get("/proc/net/tcp"))) {
            String[] f = fields(line, 10);
            if (f != null && f[1].equals(from) && f[2].equals(to))
                return f[9];
        }
        return null;
    }

    private static String loopback(int port) {
        String hex = Integer.toHexString(port).toUpperCase(Locale.ROOT);
        return "0100007F:" + "0000".substring(Math.min(4, hex.length())) + hex;
    }

    /** The first n fields of a line separated by blanks; null when it has fewer. */
    private static String[] fields(String line, int n) {
        String[] out = new String[n];
        int i = 0, at = 0, len = line.length();
        while (i < n) {
            while (at < len && line.charAt(at) == ' ')
                ++at;
            if (at == len)
                return null;
            int end = at;
            while (end < len && line.charAt(end) != ' ')
                ++end;
            out[i++] = line.substring(at, end);
            at = end;
        }
        return out;
    }

    private static boolean ownsSocket(Path proc, String wanted) {
        try (DirectoryStream<Path> fds = Files.newDirectoryStream(proc.resolve("fd"))) {
            for (Path fd : fds) {
                try {
                    if (Files.readSymbolicLink(fd).toString().equals(wanted))
                        return true;
                } catch (IOException e) {
                    // closed meanwhile
                }
            }
        } catch (IOException e) {
            return false;
        }
        return false;
    }

    @Override
    public byte[] readPacket() throws IOException {
        if (!open)
            throw new ClosedConnectionException();
        int length;
        try {
            length = in.readInt();
        } catch (IOException e) {
            open = false;
            if (e instanceof java.io.EOFException)
                return new byte[0];
            throw new ClosedConnectionException();
        }
        if (length < 11 || length > MAX_PACKET) {
            broken = "it sent a packet " + (length & 0xffffffffL) + " bytes long, which no JVM sends";
            open = false;
            throw new IOException(broken);
        }
        byte[] packet = new byte[length];
        packet[0] = (byte) (length >>> 24);
        packet[1] = (byte) (length >>> 16);
        packet[2] = (byte) (length >>> 8);
        packet[3] = (byte) length;
        try {
            in.readFully(packet, 4, length - 4);
        } catch (IOException e) {
            open = false;
            if (broken == null)
                broken = "it closed the connection in the middle of a packet";
            throw new ClosedConnectionException();
        }
        return packet;
    }

    @Override
    public void writePacket(byte[] pkt) throws IOException {
        if (!open)
            throw new ClosedConnectionException();
        if (pkt.length < 11)
            throw new IllegalArgumentException("packet too short");
        synchronized (writeLock) {
            out.write(pkt);
            out.flush();
        }
    }

    @Override
    public void close() throws IOException {
        open = false;
        socket.close();
    }

    @Override
    public boolean isOpen() {
        return open;
    }

    /**
     * Takes the one connection of the program Brewpad starts, once Brewpad
     * has said "listen": listens on a loopback port (said with "ready"),
     * learns the program's process id ("pid"), and accepts only that process,
     * for a limited time. Null, with the error said, when that fails.
     */
    static DebuggerConnection acceptProgram(BufferedReader in, RequestDecoder requests, ReplyEncoder replies)
            throws IOException {
        ServerSocket server = DebuggerConnection.listen();
        long deadline = System.nanoTime() + BrewpadDebugger.ACCEPT_TIMEOUT_MS * 1000000L;
        // A class of its own rather than a lambda: a lambda's first use costs
        // milliseconds, and this runs while the user waits.
        Thread closer = new Thread("listen-limit") {
            @Override
            public void run() {
                try {
                    Thread.sleep(BrewpadDebugger.ACCEPT_TIMEOUT_MS);
                    server.close();
                } catch (InterruptedException | IOException e) {
                    // accepted, or closed already
                }
            }
        };
        closer.setDaemon(true);
        closer.start();
        replies.ready(server.getLocalPort());
        String first = in.readLine();
        Request pid = null;
        try {
            pid = first == null ? null : requests.decode(first);
        } catch (RequestDecoder.BadRequest e) {
            pid = null;
        }
        if (pid == null || pid.kind != Request.Kind.PID) {
            server.close();
            replies.error("the debugger was not told which program to accept");
            return null;
        }
        DebuggerConnection connection;
        try {
            int left = (int) Math.max(1, (deadline - System.nanoTime()) / 1000000L);
            connection = DebuggerConnection.acceptOne(server, left, pid.id);
            closer.interrupt();
        } catch (java.net.SocketTimeoutException | java.net.SocketException e) {
            replies.error(
                    "The program did not connect to the debugger within " + BrewpadDebugger.ACCEPT_TIMEOUT_MS / 1000
                            + " s");
            return null;
        } catch (NoAnswer e) {
            noAnswer(e, replies);
            return null;
        } catch (IOException e) {
            replies.error("The debugger could not connect to the program: " + e.getMessage()
                    + ". Start Debug Run again.");
            return null;
        }
        return connection;
    }

    /** Tells Brewpad that the program did not answer, and why. */
    static void noAnswer(NoAnswer e, ReplyEncoder replies) {
        replies.error("The program did not answer the debugger: " + e.getMessage()
                + ". Debug Run ended it; check that the program is run by a JDK's java, then start Debug Run again.");
    }
}
