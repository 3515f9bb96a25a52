"""A LAN of test machines made of network namespaces, for black-box runs of Bavardin.

Every host is a network namespace joined by a veth pair to a bridge that lives in a "switch"
namespace of its own, so nothing touches the machine's own namespace and nothing leaves the
bridge. Hosts get addresses from 198.18.0.0/24 (the benchmarking range) and a default route on
their veth so that the limited broadcast has somewhere to go: the bridge. A peer namespace holds
the test's own UDP socket, which speaks the presence protocol.

Each host runs its own copy of the program folder with its own HOME (so its own registry store),
its own hostname (a UTS namespace per process) and its own /etc/hosts naming every host.

Needs root. Standard library only.
"""

import atexit
import codecs
import ctypes
import itertools
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
from collections import namedtuple

SUBNET = "198.18.0."
PEER_ADDRESS = SUBNET + "200"
PORT = 776
BROADCAST = "255.255.255.255"
KEY_INITIAL = r"HKEY_CURRENT_USER\Software\Quidam\Bavardin\Initial"
PICTURES = ("Ensemble.ico", "Occupe.ico", "Seul.ico")

_CLONE_NEWNET = 0x40000000
_NETNS_DIR = "/var/run/netns"
_PREFIX_PATTERN = re.compile(r"^bvl(\d+)x\d+-")

Entry = namedtuple("Entry", "name address nickname icon state")


# --- single-byte text -------------------------------------------------------------------------

_C1_UNDEFINED = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


def _c1_errors(err):
    # The five bytes that Windows-1252 leaves undefined map to the C1 controls, as Windows
    # does, so that every byte survives a round trip; other characters become "?".
    if isinstance(err, UnicodeDecodeError):
        return chr(err.object[err.start]), err.start + 1
    if isinstance(err, UnicodeEncodeError):
        c = ord(err.object[err.start])
        return (bytes([c]) if c in _C1_UNDEFINED else b"?"), err.start + 1
    raise err


codecs.register_error("bavardin-c1", _c1_errors)


def decode(data):
    return data.decode("cp1252", "bavardin-c1")


def encode(text):
    return text.encode("cp1252", "bavardin-c1")


def datagram(*fields):
    """The comma-joined fields as Windows-1252 bytes, without terminator."""
    return encode(",".join(fields))


# --- small helpers ----------------------------------------------------------------------------


def wait_until(condition, timeout, interval=0.02):
    """Polls condition until it is true or timeout seconds have passed; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def wait_stable(value, settle, timeout, interval=0.1):
    """Polls value() until it has not changed for `settle` seconds; returns the last value."""
    deadline = time.monotonic() + timeout
    last, since = value(), time.monotonic()
    while time.monotonic() < deadline and time.monotonic() - since < settle:
        time.sleep(interval)
        now = value()
        if now != last:
            last, since = now, time.monotonic()
    return last


def _ip(*args, check=True):
    return subprocess.run(["ip", *args], stdin=subprocess.DEVNULL, capture_output=True, text=True, check=check)


def _netns_names():
    out = _ip("netns", "list", check=False).stdout
    return [line.split()[0] for line in out.splitlines() if line.strip()]


def _pid_alive(pid):
    # A zombie counts as dead: its harness is gone, only its parent has not reaped it yet.
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def _kill_namespace_processes(ns):
    out = _ip("netns", "pids", ns, check=False).stdout
    for pid in (int(p) for p in out.split() if p.isdigit()):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def _remove_namespace(ns):
    _kill_namespace_processes(ns)
    _ip("netns", "del", ns, check=False)
    shutil.rmtree(os.path.join("/etc/netns", ns), ignore_errors=True)


def sweep_orphans():
    """Removes what an earlier run that was killed outright (SIGKILL) left behind: namespaces
    and folders whose name carries the process id of a harness that no longer runs."""
    for ns in _netns_names():
        m = _PREFIX_PATTERN.match(ns)
        if m and not _pid_alive(int(m.group(1))):
            _remove_namespace(ns)
    tmp = tempfile.gettempdir()
    for name in os.listdir(tmp):
        m = _PREFIX_PATTERN.match(name)
        if m and not _pid_alive(int(m.group(1))):
            shutil.rmtree(os.path.join(tmp, name), ignore_errors=True)


def can_build_lan():
    """None when this process can build the LAN, otherwise the reason why not."""
    if os.geteuid() != 0:
        return "building network namespaces, veth pairs and a bridge needs root"
    for tool in ("ip", "unshare", "setpriv", "hostname"):
        if shutil.which(tool) is None:
            return f"the tool {tool!r} is missing"
    probe = f"bvl{os.getpid()}x0-probe"
    made = _ip("netns", "add", probe, check=False)
    _remove_namespace(probe)
    if made.returncode != 0:
        return "cannot make a network namespace here: " + made.stderr.strip()
    return None


def _same_netns(path_a, path_b):
    a, b = os.stat(path_a), os.stat(path_b)
    return (a.st_dev, a.st_ino) == (b.st_dev, b.st_ino)


# --- the protocol peer ------------------------------------------------------------------------


class Peer:
    """A UDP socket on port 776 inside the peer namespace: broadcasts datagrams and records
    every datagram that arrives, with its arrival time and source address."""

    def __init__(self, ns):
        self.address = PEER_ADDRESS
        self._records = []
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self.sock = _socket_in_namespace(ns)
        self._thread = threading.Thread(target=self._receive, name="bvl-peer", daemon=True)
        self._thread.start()

    def _receive(self):
        while not self._stop.is_set():
            try:
                data, (source, _port) = self.sock.recvfrom(65536)
            except socket.timeout:
                continue
            except OSError:
                return
            with self._lock:
                self._records.append((time.monotonic(), source, data))

    def send(self, data):
        if isinstance(data, str):
            data = encode(data)
        self.sock.sendto(data, (BROADCAST, PORT))

    def records(self, source=None, since=None):
        """(time, source, bytes) of each datagram that arrived, oldest first."""
        with self._lock:
            return [r for r in self._records
                    if (source is None or r[1] == source) and (since is None or r[0] >= since)]

    def datagrams(self, source=None, since=None):
        return [r[2] for r in self.records(source, since)]

    def wait_quiet(self, quiet=0.3, timeout=10.0):
        """Waits until no host has sent anything for `quiet` seconds."""
        def calm():
            last = [r[0] for r in self.records() if r[1] != self.address]
            return not last or time.monotonic() - last[-1] >= quiet
        return wait_until(calm, timeout)

    def close(self):
        self._stop.set()
        self._thread.join(2)
        self.sock.close()


def _socket_in_namespace(ns):
    """Makes the peer's socket in a short-lived thread that alone enters the namespace: a
    socket belongs for good to the namespace it was created in, and no other thread of this
    process ever leaves the machine's own namespace."""
    result = {}

    def make():
        libc = ctypes.CDLL(None, use_errno=True)
        path = os.path.join(_NETNS_DIR, ns)
        fd = os.open(path, os.O_RDONLY)
        try:
            if libc.setns(fd, _CLONE_NEWNET) != 0:
                raise OSError(ctypes.get_errno(), "setns " + path)
        finally:
            os.close(fd)
        # Never open a socket unless this thread really is in the test namespace.
        if not _same_netns("/proc/thread-self/ns/net", path):
            raise RuntimeError("the peer thread did not enter " + ns)
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        try:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
            # Large enough that a flood's answers are all recorded (root may pass rmem_max).
            s.setsockopt(socket.SOL_SOCKET, getattr(socket, "SO_RCVBUFFORCE", 33), 32 << 20)
            s.bind(("0.0.0.0", PORT))
            s.settimeout(0.2)
        except BaseException:
            s.close()
            raise
        result["socket"] = s

    def run():
        try:
            make()
        except BaseException as e:  # handed to the caller's thread
            result["error"] = e

    t = threading.Thread(target=run, name="bvl-netns")
    t.start()
    t.join()
    if "error" in result:
        raise result["error"]
    return result["socket"]


# --- hosts ------------------------------------------------------------------------------------


class Host:
    """One test machine: its namespace, hostname, address, HOME and copy of the program."""

    def __init__(self, lan, name, ns, address, folder, nickname, icon):
        self.lan = lan
        self.name = name
        self.ns = ns
        self.address = address
        self.folder = folder
        self.nickname = nickname
        self.icon = icon
        self.home = os.path.join(folder, "home")
        self.runtime = os.path.join(self.home, "run")
        self.bin = os.path.join(folder, "bin")
        self.program = os.path.join(self.bin, "Bavardin")
        self.socket_path = os.path.join(self.runtime, "BAVARDIN.sock")
        self.process = None
        self._log = None

    def environment(self):
        env = {
            "HOME": self.home,
            "PATH": os.environ.get("PATH", "/usr/sbin:/usr/bin:/sbin:/bin"),
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_RUNTIME_DIR": self.runtime,
            "QT_QPA_PLATFORM": "offscreen",
        }
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        return env

    def command(self, program, *args):
        """The command line that runs program in this host's namespace under its hostname; the
        process dies with the harness even when the harness is killed outright."""
        self.lan.check_namespace(self.ns)
        return ["setpriv", "--pdeathsig", "KILL", "--",
                "ip", "netns", "exec", self.ns,
                "unshare", "--uts", "--",
                "sh", "-c", 'hostname "$0" && exec "$@"', self.name, program, *args]

    def set(self, value_name, kind, value, key=KEY_INITIAL):
        """Writes one setting into this host's registry store through BavardinReg."""
        reg = os.path.join(self.lan.bindir, "BavardinReg")
        done = subprocess.run(self.command(reg, "set", key, value_name, kind, str(value)),
                              env=self.environment(), stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=30)
        if done.returncode != 0:
            raise RuntimeError(f"BavardinReg set {value_name} on {self.name}: {done.stderr.decode(errors='replace')}")

    def start(self):
        assert self.process is None or self.process.poll() is not None, "already running"
        self._log = open(os.path.join(self.folder, "sortie.log"), "ab")
        self.process = subprocess.Popen(self.command(self.program), env=self.environment(),
                                        stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT,
                                        start_new_session=True, cwd=self.folder)
        self.lan.processes.append(self.process)
        return self.process

    def run(self, program, *args, timeout=30.0):
        """Runs a program to its end on this host; returns the finished process."""
        p = subprocess.Popen(self.command(program, *args), env=self.environment(), stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
        self.lan.processes.append(p)
        try:
            out, err = p.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            _kill_group(p, signal.SIGKILL)
            p.communicate()
            raise
        return subprocess.CompletedProcess(p.args, p.returncode, out, err)

    def log(self):
        try:
            with open(os.path.join(self.folder, "sortie.log"), "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""

    # The single-instance socket answers one command per line; the reply ends with "ok\n".
    def query(self, command, timeout=5.0):
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
            s.settimeout(timeout)
            s.connect(self.socket_path)
            s.sendall(command.encode("ascii") + b"\n")
            data = b""
            while not (data == b"ok\n" or data.endswith(b"\nok\n")):
                chunk = s.recv(1 << 16)
                if not chunk:
                    raise ConnectionError(f"{self.name} closed the socket after {data[-200:]!r}")
                data += chunk
        return data.split(b"\n")[:-2]

    def ping(self, timeout=1.0):
        """The time the answer took, or None when none came within timeout."""
        t = time.monotonic()
        try:
            self.query("ping", timeout)
        except (OSError, ConnectionError):
            return None
        return time.monotonic() - t

    def table(self):
        """The connected-machine table, in the instance's order."""
        entries = []
        for line in self.query("connectes"):
            fields = decode(line).split("\t")
            if len(fields) != 5:
                raise ValueError(f"{self.name}: bad table line {line!r}")
            entries.append(Entry(*fields))
        return entries

    def names(self):
        return [e.name for e in self.table()]

    def entry(self, name):
        return next((e for e in self.table() if e.name == name), None)

    def machines(self):
        return [decode(line) for line in self.query("machines")]

    def wait_ready(self, timeout=20.0):
        """Waits until the event loop runs (the socket answers); generous for sanitizer builds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process is not None and self.process.poll() is not None:
                raise RuntimeError(f"{self.name} ended with code {self.process.returncode}:\n{self.log()}")
            if os.path.exists(self.socket_path) and self.ping(0.5) is not None:
                return
            time.sleep(0.02)
        raise TimeoutError(f"{self.name} did not answer within {timeout} s:\n{self.log()}")

    def sanitizer_reports(self):
        """The sanitizer reports in the program's output, each as (host name, first lines)."""
        out = self.log()
        reports = []
        for marker in ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"):
            at = out.find(marker)
            if at >= 0:
                start = out.rfind("\n", 0, at) + 1
                reports.append((self.name, "\n".join(out[start:].splitlines()[:30])))
        return reports

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=20.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def rss_kib(self):
        with open(f"/proc/{self.process.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return None

    def stop(self, timeout=10.0):
        """SIGTERM (an orderly stop), then SIGKILL; returns the exit code."""
        if self.process is None:
            return None
        _stop_all([self.process], timeout)
        if self._log:
            self._log.close()
        return self.process.returncode


def _kill_group(p, sig):
    try:
        os.killpg(p.pid, sig)
    except (ProcessLookupError, PermissionError):
        pass


def _stop_all(processes, timeout):
    running = [p for p in processes if p.poll() is None]
    for p in running:
        _kill_group(p, signal.SIGTERM)
    deadline = time.monotonic() + timeout
    for p in running:
        try:
            p.wait(max(0.0, deadline - time.monotonic()))
        except subprocess.TimeoutExpired:
            pass
    for p in running:
        if p.poll() is None:
            _kill_group(p, signal.SIGKILL)
            p.wait()


# --- the LAN ----------------------------------------------------------------------------------

_live = set()
_counter = itertools.count(1)
_made_etc_netns = False
_STOP_SIGNALS = {signal.SIGTERM, signal.SIGHUP, signal.SIGINT}


class Lan:
    """Build with `with Lan(bindir) as lan:`; everything it made goes away on close()."""

    def __init__(self, bindir):
        self.bindir = os.path.abspath(bindir)
        for f in ("Bavardin", "BavardinReg", "BavardinQuit") + PICTURES:
            if not os.path.exists(os.path.join(self.bindir, f)):
                raise FileNotFoundError(os.path.join(self.bindir, f))
        self.prefix = f"bvl{os.getpid()}x{next(_counter)}-"
        self.hosts = []
        self.processes = []
        self.peers = []
        self._namespaces = []
        self._ports = itertools.count(1)
        self._closed = False
        self.sanitizer_reports = []  # filled by close(), from every host's output
        self.root = tempfile.mkdtemp(prefix=self.prefix)
        _live.add(self)
        try:
            self.switch = self._namespace("sw")
            self._in(self.switch, "link", "add", "br0", "type", "bridge")
            self._in(self.switch, "link", "set", "br0", "up")
            self.peer_ns = self._namespace("peer")
            self._attach(self.peer_ns, PEER_ADDRESS)
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _namespace(self, label):
        ns = self.prefix + label
        self._namespaces.append(ns)  # recorded first, so that close() removes it even half made
        _ip("netns", "add", ns)
        return ns

    def _in(self, ns, *args):
        _ip("-n", ns, *args)

    def _attach(self, ns, address):
        port = f"p{next(self._ports)}"
        # Both ends are created straight in their namespaces: the machine's own never sees them.
        self._in(self.switch, "link", "add", port, "type", "veth", "peer", "name", "eth0", "netns", ns)
        self._in(self.switch, "link", "set", port, "master", "br0", "up")
        self._in(ns, "link", "set", "lo", "up")
        self._in(ns, "addr", "add", address + "/24", "dev", "eth0")
        self._in(ns, "link", "set", "eth0", "up")
        self._in(ns, "route", "add", "default", "dev", "eth0")

    def check_namespace(self, ns):
        """Refuses to run anything in a namespace that this LAN did not make."""
        path = os.path.join(_NETNS_DIR, ns)
        if ns not in self._namespaces or not os.path.exists(path) or _same_netns(path, "/proc/self/ns/net"):
            raise RuntimeError(f"{ns} is not a namespace of this test LAN")

    def add_host(self, name, nickname=None, icon="", answering=False, settings=()):
        """A new machine on the bridge with its settings written; not started yet."""
        index = len(self.hosts) + 1
        if index >= 200:
            raise ValueError("too many hosts")
        ns = self._namespace(f"h{index}")
        address = SUBNET + str(index)
        self._attach(ns, address)
        folder = os.path.join(self.root, f"h{index}")
        host = Host(self, name, ns, address, folder, nickname, icon)
        os.makedirs(host.bin)
        os.makedirs(host.runtime, mode=0o700)
        os.chmod(host.runtime, 0o700)
        for f in ("Bavardin",) + PICTURES:
            shutil.copy2(os.path.join(self.bindir, f), host.bin)
        self.hosts.append(host)
        self._write_hosts_files()
        host.set("PremierDemarrage", "sz", "NON")
        if nickname is not None:
            host.set("SurnomUtilisateur", "sz", nickname)
        if icon:
            host.set("ChoixPersonnage", "sz", icon)
        if answering:
            host.set("RepondeurActif", "dword", 1)
        for value_name, kind, value in settings:
            host.set(value_name, kind, value)
        return host

    def add_bare_namespace(self, label="nu"):
        """A namespace with no interface up at all (not even lo), for runs without network;
        returned as a host that has nothing else."""
        ns = self._namespace(label)
        folder = os.path.join(self.root, label)
        host = Host(self, "Isole", ns, None, folder, None, "")
        os.makedirs(host.runtime, mode=0o700)
        return host

    def _write_hosts_files(self):
        global _made_etc_netns
        _made_etc_netns = _made_etc_netns or not os.path.isdir("/etc/netns")
        # Written in place, so that processes already running (which see a bind mount of the
        # file) read the new names too.
        lines = ["127.0.0.1\tlocalhost"] + [f"{h.address}\t{h.name}" for h in self.hosts]
        text = "\n".join(lines + [f"{PEER_ADDRESS}\tpair", ""])
        for ns in [h.ns for h in self.hosts] + [self.peer_ns]:
            folder = os.path.join("/etc/netns", ns)
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "hosts"), "w") as f:
                f.write(text)

    def peer(self):
        p = Peer(self.peer_ns)
        self.peers.append(p)
        return p

    def close(self):
        """Stops every process and removes every namespace and folder of this LAN. A stop
        signal that arrives meanwhile waits until the end, so that none of it is left behind."""
        if self._closed:
            return
        with _signals_held():
            for p in self.peers:
                p.close()
            _stop_all(self.processes, 10.0)
            for h in self.hosts:
                if h._log:
                    h._log.close()
            self.sanitizer_reports = [r for h in self.hosts for r in h.sanitizer_reports()]
            # The switch goes last: hosts first, so that no veth end outlives its bridge.
            for ns in reversed(self._namespaces):
                _remove_namespace(ns)
            shutil.rmtree(self.root, ignore_errors=True)
            self._closed = True
            _live.discard(self)


class _signals_held:
    """Records the stop signals instead of acting on them, then delivers them again."""

    def __enter__(self):
        self.pending, self.previous = [], {}
        if threading.current_thread() is threading.main_thread():
            for sig in _STOP_SIGNALS:
                self.previous[sig] = signal.signal(sig, lambda n, _f: self.pending.append(n))

    def __exit__(self, *exc):
        for sig, handler in self.previous.items():
            signal.signal(sig, handler)
        for sig in self.pending[:1]:
            signal.raise_signal(sig)


def close_all():
    with _signals_held():
        for lan in list(_live):
            lan.close()
        if _made_etc_netns:
            try:
                os.rmdir("/etc/netns")  # only when nothing else lives there
            except OSError:
                pass


def _on_signal(signum, _frame):
    # Turned into an exception so that every finally block and cleanup runs.
    raise KeyboardInterrupt(f"signal {signum}")


def install_cleanup():
    """For the main program: closes every LAN at exit and on SIGTERM, SIGHUP and SIGINT."""
    atexit.register(close_all)
    for sig in _STOP_SIGNALS:
        signal.signal(sig, _on_signal)
