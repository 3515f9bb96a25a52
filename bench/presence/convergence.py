"""Presence figures of real Bavardin processes on the test LAN (needs root).

(a) convergence: N instances started together; the time until every table holds every
    instance (goal: 2 s), and the resident memory of each instance.
(b) throughput: the peer sends "CONNEXION" from distinct names to one instance, flat out and at
    fixed rates (the peer's own send rate bounds these), then in bursts queued while the
    instance is stopped (its own rate); the goal is 20,000 a second.

Usage: python3 convergence.py --bin BUILD/bin [--hosts 20] [--rounds 3] [--names 20000]
       [--rates 20000] [--bursts 5] [--burst-size 4000]
"""

import argparse
import os
import signal
import statistics
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "lan"))
import lan  # noqa: E402
from lan import datagram, wait_until  # noqa: E402


def convergence_round(bindir, count):
    with lan.Lan(bindir) as net:
        hosts = [net.add_host(f"Poste{i:02d}", nickname=f"Personne{i:02d}") for i in range(1, count + 1)]
        expected = sorted(h.name for h in hosts)
        t0 = time.monotonic()
        for h in hosts:
            h.start()
        launched = time.monotonic() - t0
        ready, complete = {}, {}
        deadline = t0 + 60
        while len(complete) < count and time.monotonic() < deadline:
            for h in hosts:
                if h.name in complete:
                    continue
                if h.name not in ready:
                    if os.path.exists(h.socket_path) and h.ping(0.2) is not None:
                        ready[h.name] = time.monotonic() - t0
                    else:
                        continue
                if sorted(h.names()) == expected:
                    complete[h.name] = time.monotonic() - t0
            time.sleep(0.01)
        if len(complete) < count:
            late = {h.name: len(h.names()) for h in hosts if h.name not in complete and h.name in ready}
            raise RuntimeError(f"tables still incomplete after 60 s: {late}")
        time.sleep(1.0)  # settled, idle
        rss = [h.rss_kib() for h in hosts]
        return launched, max(ready.values()), max(complete.values()), rss


def bench_convergence(bindir, count, rounds):
    print(f"(a) convergence of {count} instances started together, {rounds} rounds")
    results = []
    for r in range(rounds):
        launched, last_ready, last_complete, rss = convergence_round(bindir, count)
        results.append((last_complete, last_complete - last_ready))
        print(f"  round {r + 1}: launched in {launched:.2f} s, last instance answering at {last_ready:.2f} s, "
              f"every table complete at {last_complete:.2f} s ({last_complete - last_ready:.2f} s after the last "
              f"answered); RSS per instance min {min(rss) / 1024:.1f} MiB, median "
              f"{statistics.median(rss) / 1024:.1f} MiB, max {max(rss) / 1024:.1f} MiB")
    worst = max(r[0] for r in results)
    print(f"  worst: every table complete {worst:.2f} s after the first launch "
          f"(goal 2 s: {'met' if worst <= 2.0 else 'missed'}); "
          f"worst {max(r[1] for r in results):.2f} s after the last instance answered")


def send_names(peer, names, rate):
    """Sends one "CONNEXION" per name, flat out (rate None) or in 1 ms slices at `rate` a second."""
    t0 = time.monotonic()
    if rate is None:
        for n in names:
            peer.send(datagram("CONNEXION", n, "Flot", "0"))
    else:
        per_slice = max(1, rate // 1000)
        for i in range(0, len(names), per_slice):
            for n in names[i:i + per_slice]:
                peer.send(datagram("CONNEXION", n, "Flot", "0"))
            pause = t0 + (i + per_slice) / rate - time.monotonic()
            if pause > 0:
                time.sleep(pause)
    return t0, time.monotonic() - t0


def throughput_run(net, index, count, rate):
    host = net.add_host(f"Mesure{index}", nickname="Mesure")
    host.start()
    host.wait_ready()
    peer = net.peers[0]
    peer.wait_quiet()
    names = [f"N{index}x{i:06d}" for i in range(count)]
    t0, sending = send_names(peer, names, rate)
    # Each new name is answered by one "BIENVENUE": the answers tell the progress without
    # loading the instance with table reads.
    answers = lambda: peer.records(source=host.address, since=t0)  # noqa: E731
    lan.wait_stable(lambda: len(answers()), settle=1.0, timeout=120.0)
    got = answers()
    handled = len(got)
    elapsed = (got[-1][0] - t0) if got else float("nan")
    in_table = len(host.names()) - 1
    alive = host.ping(2.0) is not None
    host.stop()
    return sending, handled, elapsed, in_table, alive


def drain_run(net, index, bursts, size):
    """The instance is stopped while a burst fills its socket, then resumed: the time it takes
    to answer the whole burst is its own, free of the peer's speed and of the CPU they share."""
    host = net.add_host(f"Mesure{index}", nickname="Mesure")
    host.start()
    host.wait_ready()
    peer = net.peers[0]
    peer.wait_quiet()
    pid = host.process.pid
    handled, busy = 0, 0.0
    for b in range(bursts):
        names = [f"V{index}x{b}x{i:05d}" for i in range(size)]
        os.kill(pid, signal.SIGSTOP)
        try:
            wait_until(lambda: _state(pid) == "T", 2.0, 0.001)
            send_names(peer, names, None)
            time.sleep(0.05)
            resumed = time.monotonic()
        finally:
            os.kill(pid, signal.SIGCONT)
        answers = lambda: peer.records(source=host.address, since=resumed)  # noqa: E731
        lan.wait_stable(lambda: len(answers()), settle=0.5, timeout=60.0)
        got = answers()
        if got:
            handled += len(got)
            busy += got[-1][0] - resumed
    in_table = len(host.names()) - 1
    host.stop()
    return handled, busy, in_table


def _state(pid):
    with open(f"/proc/{pid}/stat") as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def bench_throughput(bindir, count, rates, bursts, burst_size):
    print("(b) one instance taking in \"CONNEXION\" from distinct names")
    with lan.Lan(bindir) as net:
        net.peer()
        for i, rate in enumerate([None] + rates, start=1):
            sending, handled, elapsed, in_table, alive = throughput_run(net, i, count, rate)
            label = "flat out" if rate is None else f"at {rate}/s"
            print(f"  {count} names {label}: peer sent them in {sending:.2f} s ({count / sending:,.0f}/s); "
                  f"instance answered {handled} by {elapsed:.2f} s ({handled / elapsed:,.0f}/s), table holds "
                  f"{in_table} ({count - in_table} lost), {'still answering' if alive else 'NOT ANSWERING'}")
        handled, busy, in_table = drain_run(net, len(rates) + 2, bursts, burst_size)
        total = bursts * burst_size
        print(f"  {bursts} bursts of {burst_size} names queued while the instance was stopped: it answered "
              f"{handled} in {busy:.2f} s of work ({handled / busy:,.0f} new names/s, each with its broadcast "
              f"answer; the echoes of the answers queue behind the burst); table holds {in_table} "
              f"({total - in_table} lost)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True)
    parser.add_argument("--hosts", type=int, default=20)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--names", type=int, default=20000)
    parser.add_argument("--rates", default="20000", help="paced runs, datagrams a second, comma-separated")
    parser.add_argument("--bursts", type=int, default=5)
    parser.add_argument("--burst-size", type=int, default=4000)
    args = parser.parse_args()
    reason = lan.can_build_lan()
    if reason:
        print(f"presence benchmark skipped: {reason}.")
        return 0
    lan.install_cleanup()
    lan.sweep_orphans()
    bench_convergence(args.bin, args.hosts, args.rounds)
    bench_throughput(args.bin, args.names, [int(r) for r in args.rates.split(",") if r], args.bursts,
                     args.burst_size)
    return 0


if __name__ == "__main__":
    sys.exit(main())
