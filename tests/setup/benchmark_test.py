#!/usr/bin/env python3
"""scripts/benchmark.py without Wine: the build it measures where only some programs run,
the requests it takes for one process out of the server's trace, and the system calls out
of strace's summary. Argument: the source tree."""
import contextlib
import io
import os
import sys
import tempfile
import unittest
from unittest import mock

SOURCE = os.path.abspath(sys.argv.pop(1))
sys.path.insert(0, os.path.join(SOURCE, "scripts"))
import benchmark  # noqa: E402

# A stretch of trace: Unix process 500 becomes Windows thread 0124, which starts 0128 in
# its own process and 0130 in another (its handle 0040); 0024 is another process's thread.
TRACE = """\
0024: get_message( flags=1cff0001 )
0124: init_first_thread( unix_pid=500, unix_tid=500, debug_level=0 )
0124: init_first_thread() = 0 { pid=0120, tid=0124 }
0124: *fd* 7 <- 232
0124: get_startup_info( )
0124: get_startup_info() = 0 { info_size=0 }
0024: select( flags=2, cookie=0031f4dc )
0124: new_thread( process=ffffffff, access=001fffff, flags=00000001 )
0124: new_thread() = 0 { tid=0128, handle=0074 }
0128: init_thread( unix_tid=501 )
0128: init_thread() = 0 { }
0124: new_thread( process=0040, access=001fffff, flags=00000001 )
0124: new_thread() = 0 { tid=0130, handle=0078 }
0130: init_thread( unix_tid=601 )
0120: *process killed*
"""


class Requests(unittest.TestCase):
    CASES = [  # Unix process id, requests of its Windows process
        (500, 5),  # init_first_thread, get_startup_info, both new_thread, init_thread of 0128
        (50, 0),  # a shorter id that begins another's
        (501, 0),  # a thread's Unix id, not a process's
    ]

    def test_requests_of_one_process(self):
        for unix_pid, expected in self.CASES:
            with self.subTest(unix_pid):
                self.assertEqual(expected, benchmark.requests_of_process(TRACE, unix_pid))


# strace -c's tables as Debian 12's strace 6.1 prints them, and their pieces.
HEADING = """\
% time     seconds  usecs/call     calls    errors syscall
------ ----------- ----------- --------- --------- ----------------
"""
TABLE_64 = HEADING + """\
 60.00    0.000600          20        30           read
 40.00    0.000400          15        26         2 openat
------ ----------- ----------- --------- --------- ----------------
100.00    0.001000          17        56         2 total
"""
TABLE_32 = "System call usage summary for 32 bit mode:\n" + HEADING + """\
100.00    0.000100          50         2           getpid
------ ----------- ----------- --------- --------- ----------------
100.00    0.000100          50         2           total
"""
NO_USECS = HEADING + "100.00    0.002000                   321        12 total\n"


class SystemCalls(unittest.TestCase):
    CASES = [  # strace's summary, the calls counted (None: no total to count)
        (TABLE_64, 56),
        (TABLE_64 + TABLE_32, 58),  # a 32-bit program: each personality's total
        (NO_USECS, 321),  # the errors column, not the calls, is then the fourth field
        ("strace: exec: No such file or directory\n", None),
    ]

    def test_calls_of_every_table(self):
        for number, (summary, expected) in enumerate(self.CASES):
            with self.subTest(number):
                self.assertEqual(expected, benchmark.total_system_calls(summary))


class Choice(unittest.TestCase):
    CASES = [  # bits whose Wine is there, the build measured (None: none), builds said not to be
        ({32, 64}, "32-bit build", []),
        ({64}, "64-bit build", ["32-bit build (tarrow.exe): not measured: no 32"]),
        (set(), None, ["32-bit build (tarrow.exe): not measured: no 32",
                       "64-bit build (tarrow64.exe): not measured: no 64"]),
    ]

    def test_first_build_that_runs(self):
        with tempfile.TemporaryDirectory() as root:
            trees = [os.path.join(root, "win32"), os.path.join(root, "win64")]
            for tree in trees:
                os.mkdir(tree)
            open(os.path.join(trees[1], "tarrow64.exe"), "wb").close()
            for runs, chosen, said in self.CASES:
                with self.subTest(sorted(runs)), contextlib.redirect_stdout(io.StringIO()) as out, \
                        mock.patch.object(benchmark.benchlib, "wine_unavailable",
                                          lambda bits: None if bits in runs else "no %d" % bits):
                    try:
                        got = benchmark.runnable_build(trees).name
                    except SystemExit:
                        got = None
                self.assertEqual(chosen, got)
                self.assertEqual(said, out.getvalue().splitlines())


if __name__ == "__main__":
    unittest.main()
