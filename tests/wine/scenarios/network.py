"""The network rows: Wine creates TCP/IP stream sockets but no IPX sockets (error 10047),
so only "TCP/IP Protocol" is listed, between the CD-ROM row and the maker's titles."""
from benchlib import log_bytes


def test_tcp_ip_without_ipx(bench):
    run = bench.machine("network").report()
    network = [row for row in run.rows if row[0].endswith("Protocol")]
    bench.check_equal([("TCP/IP Protocol", "Installed", 0)], network, "network rows")
    labels = run.labels()
    if "TCP/IP Protocol" in labels:
        bench.check_equal("CDROM File Access Mode", labels[labels.index("TCP/IP Protocol") - 1],
                          "row before the network rows")
    bench.check_bytes(log_bytes(run.rows), run.log, "log")
