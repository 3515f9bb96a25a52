"""Presence on a LAN of real Bavardin processes, each test on a LAN of its own.

Usage: python3 test_presence.py --bin BUILD/bin [unittest options]
Needs root (network namespaces); without it the suite reports a skip (exit code 77).
"""

import argparse
import os
import sys
import threading
import time
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lan  # noqa: E402
from lan import Entry, datagram, wait_until  # noqa: E402

BIN = None


class LanTestCase(unittest.TestCase):
    def setUp(self):
        self.lan = lan.Lan(BIN)
        # Cleanups run last first: the LAN closes (and every program ends) before the check.
        self.addCleanup(self.assertNoSanitizerReport)
        self.addCleanup(self.lan.close)
        self.peer = self.lan.peer()

    def assertNoSanitizerReport(self):
        self.assertEqual(self.lan.sanitizer_reports, [])

    def host(self, name, nickname, icon="", answering=False):
        return self.lan.add_host(name, nickname=nickname, icon=icon, answering=answering)

    def start(self, *hosts):
        for h in hosts:
            h.start()
            h.wait_ready()

    def sent_by(self, host, since=None):
        return self.peer.datagrams(source=host.address, since=since)

    def assertSentExactly(self, host, since, expected, timeout=5.0):
        """Waits for the expected datagrams from host, then for a short silence after them."""
        wait_until(lambda: len(self.sent_by(host, since)) >= len(expected), timeout)
        time.sleep(0.3)
        self.assertEqual(self.sent_by(host, since), expected)

    def assertConverged(self, hosts, timeout):
        expected = sorted(h.name for h in hosts)
        ok = wait_until(lambda: all(sorted(h.names()) == expected for h in hosts), timeout)
        self.assertTrue(ok, {h.name: h.names() for h in hosts})

    def assertNoDuplicates(self, host):
        names = [n.lower() for n in host.names()]
        self.assertEqual(len(names), len(set(names)), host.names())

    def assertAnswers(self, host):
        self.assertIsNotNone(host.ping(1.0), f"{host.name} stopped answering:\n{host.log()}")

    def assertLeaves(self, datagrams, host):
        # The quit order's handler says "DECONNEXION" and the orderly stop that follows says it
        # again; the second one finds nobody to remove anywhere.
        goodbye = datagram("DECONNEXION", host.name, host.nickname, host.icon or "0")
        self.assertIn(datagrams, ([goodbye], [goodbye, goodbye]))

    def own_entry(self, host):
        # The self-registration records the computer name as address and the raw icon setting.
        return Entry(host.name, host.name, host.nickname, host.icon, "ACTIF")

    def entry_seen_by_others(self, host):
        return Entry(host.name, host.address, host.nickname, host.icon or "0", "ACTIF")


class Convergence(LanTestCase):
    def test_hosts_started_one_after_another_all_know_each_other(self):
        a = self.host("PosteA", "Alice", icon="3")
        b = self.host("PosteB", "Bruno")
        c = self.host("PosteC", "Chloe", icon="12")
        self.start(a, b, c)
        # How fast they converge is measured by the presence benchmark; here only that they do.
        self.assertConverged([a, b, c], timeout=5.0)
        for viewer in (a, b, c):
            self.assertNoDuplicates(viewer)
            for h in (a, b, c):
                expected = self.own_entry(h) if h is viewer else self.entry_seen_by_others(h)
                self.assertEqual(viewer.entry(h.name), expected, f"as {viewer.name} sees it")

        d = self.host("PosteD", "Denis", icon="7")
        self.start(d)
        self.assertConverged([a, b, c, d], timeout=5.0)
        for viewer in (a, b, c):
            self.assertEqual(viewer.entry("PosteD"), self.entry_seen_by_others(d))
            self.assertIn("PosteD", viewer.machines())
        self.assertEqual(sorted(d.machines()), ["PosteA", "PosteB", "PosteC", "PosteD"])


class Welcome(LanTestCase):
    def test_connexion_of_a_new_machine_is_answered_once(self):
        a = self.host("PosteA", "Alice")
        b = self.host("PosteB", "Bruno", icon="4", answering=True)
        self.start(a, b)
        self.assertConverged([a, b], timeout=5.0)
        self.peer.wait_quiet()

        since = time.monotonic()
        self.peer.send(datagram("CONNEXION", "Visiteur", "Victor", "9"))
        self.assertSentExactly(a, since, [b"BIENVENUE,PosteA,Alice,0"])
        self.assertSentExactly(b, since, [b"BIENVENUE,PosteB,Bruno,4", b"REPONDEUR,PosteB,Bruno,4"])
        visitor = Entry("Visiteur", lan.PEER_ADDRESS, "Victor", "9", "ACTIF")
        self.assertEqual(a.entry("Visiteur"), visitor)
        self.assertEqual(b.entry("Visiteur"), visitor)

        # Known machines: "REPONDEUR" changes the state silently, "CONNEXION" sets it back
        # with a single "BIENVENUE" and no second "REPONDEUR".
        since = time.monotonic()
        self.peer.send(datagram("REPONDEUR", "Visiteur", "Autre", "1"))
        for h in (a, b):
            self.assertTrue(wait_until(lambda: h.entry("Visiteur").state == "REPONDEUR", 5.0), h.name)
            self.assertEqual(h.entry("Visiteur"), visitor._replace(state="REPONDEUR"))
        self.peer.send(datagram("CONNEXION", "Visiteur", "Autre", "2"))
        self.assertSentExactly(a, since, [b"BIENVENUE,PosteA,Alice,0"])
        self.assertSentExactly(b, since, [b"BIENVENUE,PosteB,Bruno,4"])
        self.assertEqual(a.entry("Visiteur"), visitor)
        self.assertEqual(b.entry("Visiteur"), visitor)

    def test_an_instance_hears_its_own_broadcasts(self):
        a = self.host("PosteA", "Alice")
        self.start(a)
        wait_until(lambda: len(self.sent_by(a)) >= 3, 5.0)
        time.sleep(0.5)  # nothing else may follow
        self.assertEqual(self.sent_by(a), [b"BIENVENUE,PosteA,Alice,0", b"CONNEXION,PosteA,Alice,0",
                                           b"BIENVENUE,PosteA,Alice,0"])
        self.assertEqual(a.table(), [self.own_entry(a)])
        self.assertEqual(a.machines(), ["PosteA"])


class QuitTool(LanTestCase):
    def test_quit_tool_stops_only_the_instance_of_its_machine(self):
        hosts = a, b, c = self.host("PosteA", "Alice"), self.host("PosteB", "Bruno"), self.host("PosteC", "Chloe")
        self.start(*hosts)
        self.assertConverged(hosts, timeout=5.0)
        self.peer.wait_quiet()

        since = time.monotonic()
        done = a.run(os.path.join(BIN, "BavardinQuit"), timeout=20.0)
        self.assertEqual((done.returncode, done.stdout, done.stderr), (0, b"", b""))
        self.assertEqual(a.wait_exit(20.0), 0, a.log())
        sent = self.sent_by(a, since)
        self.assertEqual(sent[:1], [b"QUITTER,PosteA,CHEF,0"])  # from the quit tool, on A
        self.assertLeaves(sent[1:], a)
        self.assertConverged([b, c], timeout=5.0)
        for h in (b, c):
            self.assertTrue(h.alive())
            self.assertAnswers(h)

    def test_quit_tool_without_any_network_ends_silently(self):
        isolated = self.lan.add_bare_namespace()
        done = isolated.run(os.path.join(BIN, "BavardinQuit"), timeout=20.0)
        self.assertEqual((done.returncode, done.stdout, done.stderr), (0, b"", b""))


class OddDatagrams(LanTestCase):
    def setUp(self):
        super().setUp()
        self.a = self.host("PosteA", "Alice")
        self.start(self.a)
        wait_until(lambda: len(self.sent_by(self.a)) >= 3, 5.0)
        self.peer.wait_quiet()

    def barrier(self, name):
        """Sends "ICONE" for an unknown machine, which only records its name, and waits until
        it is recorded: datagrams are handled in order, so every earlier one has been too."""
        self.peer.send(datagram("ICONE", name, "Repere", "0"))
        self.assertTrue(wait_until(lambda: name in self.a.machines(), 5.0), self.a.log())

    def test_forum_lines_with_the_forum_closed_change_nothing(self):
        table, machines = self.a.table(), self.a.machines()
        since = time.monotonic()
        for line in (b"FORUM : bonjour,X,Y,0", b"FORUM : Entree,Xavier,Yves,1"):
            self.peer.send(line)
        self.barrier("Repere")
        self.assertEqual(self.a.table(), table)
        self.assertEqual(self.a.machines(), machines + ["Repere"])
        time.sleep(0.3)
        self.assertEqual(self.sent_by(self.a, since), [])

    def test_fields_are_split_as_the_wire_format_says(self):
        since = time.monotonic()
        self.peer.send(b"CONNEXION")  # no comma: every other field empty
        self.assertTrue(wait_until(lambda: "" in self.a.names(), 5.0))
        self.assertIn(Entry("", lan.PEER_ADDRESS, "", "", "ACTIF"), self.a.table())
        time.sleep(0.3)
        self.assertEqual(self.sent_by(self.a, since), [b"BIENVENUE,PosteA,Alice,0"])

        for d in (b"BIENVENUE,Nul\x00,Cache,1",          # the text ends at the first NUL
                  b" \tBIENVENUE\r\n,Espaces,Sam,2",     # the order word is trimmed...
                  b"BIENVENUE, Blanc ,S,3",              # ...and the other fields are not
                  b"BIENVENUE,Virgule,Jean,Paul,5",      # the fourth field keeps further commas
                  b"BIENVENUE,Accent,Zo\xe9 \x80,6",     # Windows-1252 both ways
                  b"bienvenue,Minuscule,M,7",            # order words are case-sensitive
                  b"ICONE,Absent,A,8"):                  # a stranger's icon is ignored
            self.peer.send(d)
        self.barrier("Repere")
        table = {e.name: e for e in self.a.table()}
        self.assertEqual(table["Nul"], Entry("Nul", lan.PEER_ADDRESS, "", "", "ACTIF"))
        self.assertEqual(table["Espaces"], Entry("Espaces", lan.PEER_ADDRESS, "Sam", "2", "ACTIF"))
        self.assertEqual(table[" Blanc "], Entry(" Blanc ", lan.PEER_ADDRESS, "S", "3", "ACTIF"))
        self.assertEqual(table["Virgule"], Entry("Virgule", lan.PEER_ADDRESS, "Jean", "Paul,5", "ACTIF"))
        self.assertEqual(table["Accent"], Entry("Accent", lan.PEER_ADDRESS, "Zoé €", "6", "ACTIF"))
        self.assertNotIn("Minuscule", table)
        self.assertNotIn("Absent", table)
        self.assertEqual(self.a.machines(), ["PosteA", "", "Nul", "Espaces", " Blanc ", "Virgule", "Accent",
                                             "Minuscule", "Absent", "Repere"])
        self.assertNoDuplicates(self.a)

    def test_large_datagrams_do_not_harm(self):
        def big(size):
            head = f"CONNEXION,Gros{size},Grand,".encode()
            return head + b"9" * (size - len(head))

        for size in (8192, 9000, 65000):
            self.peer.send(big(size))
        self.barrier("Repere")
        self.assertTrue(self.a.alive())
        table = {e.name: e for e in self.a.table()}
        self.assertNoDuplicates(self.a)
        self.assertLessEqual(set(table), {"PosteA", "Gros8192", "Gros9000", "Gros65000"})
        # A datagram of the full receive buffer is whole; longer ones are cut to it or dropped.
        self.assertEqual(table["Gros8192"].icon, "9" * (8192 - len("CONNEXION,Gros8192,Grand,")))
        for size in (9000, 65000):
            if f"Gros{size}" in table:
                icon = table[f"Gros{size}"].icon
                self.assertLessEqual(len(f"CONNEXION,Gros{size},Grand,") + len(icon), 8192)
                self.assertEqual(icon, "9" * len(icon))
        self.peer.send(datagram("CONNEXION", "Apres", "A", "1"))
        self.assertTrue(wait_until(lambda: "Apres" in self.a.names(), 5.0))
        self.assertAnswers(self.a)


class Flood(LanTestCase):
    def test_a_flood_leaves_the_instance_responsive_and_its_table_sound(self):
        a = self.host("PosteA", "Alice")
        self.start(a)
        self.peer.wait_quiet()
        names = [f"Flot{i:04d}" for i in range(1000)]
        rounds = ["CONNEXION", "BIENVENUE", "ICONE", "REPONDEUR", "CONNEXION"] * 2

        latencies, stop = [], threading.Event()

        def probe():
            while not stop.is_set():
                latencies.append(a.ping(5.0))
                time.sleep(0.05)

        prober = threading.Thread(target=probe)
        prober.start()
        try:
            t0 = time.monotonic()
            for r, word in enumerate(rounds):  # 10 x 1000 datagrams, one round per 0.1 s
                for n in names:
                    self.peer.send(datagram(word, n, "Flot", str(r)))
                time.sleep(max(0.0, t0 + 0.1 * (r + 1) - time.monotonic()))
            time.sleep(1.0)
        finally:
            stop.set()
            prober.join()
        slow = [x for x in latencies if x is None or x > 1.0]
        self.assertEqual(slow, [], f"ping answers: {latencies}")

        expected = set(names) | {"PosteA"}
        # The table stops growing once the instance has worked through its socket.
        listed = lan.wait_stable(a.names, settle=0.5, timeout=20.0)
        self.assertEqual(len(listed), len(set(listed)), "duplicates")
        self.assertLessEqual(set(listed), expected)
        # The socket buffer may have dropped part of the flood: a paced round brings every
        # name in, and then the table holds exactly the flood's names and itself.
        missing = sorted(set(names) - set(listed))
        for i in range(0, len(missing), 50):
            for n in missing[i:i + 50]:
                self.peer.send(datagram("CONNEXION", n, "Flot", "0"))
            self.assertAnswers(a)
        self.assertTrue(wait_until(lambda: sorted(a.names()) == sorted(expected), 5.0),
                        f"{len(missing)} names lost to the flood, still missing: "
                        f"{sorted(expected - set(a.names()))[:20]}")
        self.assertNoDuplicates(a)
        self.assertEqual(sorted(a.machines()), sorted(expected))
        self.assertAnswers(a)


class QuitOrder(LanTestCase):
    def test_quit_order_in_another_case_stops_the_named_machine(self):
        a, b = self.host("PosteA", "Alice"), self.host("PosteB", "Bruno")
        self.start(a, b)
        self.assertConverged([a, b], timeout=5.0)
        self.peer.wait_quiet()

        # For another machine: only the name is recorded.
        tables = {h.name: h.table() for h in (a, b)}
        since = time.monotonic()
        self.peer.send(b"QUITTER,Inconnu,CHEF,0")
        for h, machines in ((a, ["PosteA", "PosteB", "Inconnu"]), (b, ["PosteB", "PosteA", "Inconnu"])):
            self.assertTrue(wait_until(lambda: "Inconnu" in h.machines(), 5.0))
            self.assertEqual(h.machines(), machines)
            self.assertEqual(h.table(), tables[h.name])
        time.sleep(0.3)
        self.assertEqual(self.sent_by(a, since) + self.sent_by(b, since), [])

        since = time.monotonic()
        self.peer.send(b"QUITTER,pOSTEa,CHEF,0")
        self.assertEqual(a.wait_exit(20.0), 0, a.log())
        self.assertLeaves(self.sent_by(a, since), a)
        self.assertConverged([b], timeout=5.0)
        self.assertEqual(b.machines(), ["PosteB", "PosteA", "Inconnu"])  # names compare without case
        self.assertAnswers(b)


def main():
    global BIN
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="the build's folder holding Bavardin, BavardinReg, BavardinQuit")
    args, rest = parser.parse_known_args()
    BIN = os.path.abspath(args.bin)
    reason = lan.can_build_lan()
    if reason:
        print(f"LAN tests skipped: {reason}.", flush=True)
        sys.exit(77)
    lan.install_cleanup()
    lan.sweep_orphans()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
