#!/usr/bin/env python3
"""CPU time of commands, interleaved, for bench/run.sh.

  cputime.py [--sync] RUNS DIR OUT CMD [ARG...] ;; OUT CMD [ARG...] ;; ...

Runs each command RUNS times, in turn (command 1, 2, ..., then again), each in DIR with
standard input from /dev/null and standard output to OUT, and prints one line per
command: the median user + system CPU time in seconds and the last run's exit status.
Interleaving puts every command under the same load. With --sync, the file systems are
synced after each run, outside the time taken: a command that writes a large output then
leaves no writeback behind to slow the command after it. The time comes from wait4 on the
command's own process: microseconds, and nothing of this script counted.
"""
import os
import statistics
import sys


def run_once(workdir, out, argv):
    cwd = os.getcwd()
    os.chdir(workdir)
    try:
        fi = os.open("/dev/null", os.O_RDONLY)
        fo = os.open(out, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
        try:
            pid = os.posix_spawnp(argv[0], argv, os.environ,
                                 file_actions=[(os.POSIX_SPAWN_DUP2, fi, 0),
                                               (os.POSIX_SPAWN_DUP2, fo, 1)])
        finally:
            os.close(fi)
            os.close(fo)
    finally:
        os.chdir(cwd)
    _, status, ru = os.wait4(pid, 0)
    return ru.ru_utime + ru.ru_stime, os.waitstatus_to_exitcode(status)


def main():
    args = sys.argv[1:]
    sync = args[:1] == ["--sync"]
    if sync:
        args = args[1:]
    runs = int(args[0])
    workdir = args[1]
    cmds = []
    cur = []
    for a in args[2:]:
        if a == ";;":
            cmds.append(cur)
            cur = []
        else:
            cur.append(a)
    if cur:
        cmds.append(cur)
    times = [[] for _ in cmds]
    codes = [0] * len(cmds)
    for _ in range(runs):
        for i, c in enumerate(cmds):
            t, codes[i] = run_once(workdir, c[0], c[1:])
            times[i].append(t)
            if sync:
                os.sync()
    for i in range(len(cmds)):
        print("%.4f %d" % (statistics.median(times[i]), codes[i]))


if __name__ == "__main__":
    main()
