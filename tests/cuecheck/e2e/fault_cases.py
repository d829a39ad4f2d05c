#!/usr/bin/env python3
"""End-to-end fault cases that need more than a folder of files: a full disk, a link, a
dangling link or a FIFO at errors.txt, a read-only directory, files locked by another
process, two runs at once, no standard output, a terminal as standard output, and hostile
input.

usage: fault_cases.py [--windows PROBE EXE] BINARY

--windows: BINARY starts a Windows build (EXE) under wine; PROBE is win_probe.exe. The
console line end is CR LF there. Wine hides a Linux process's flock, does not wait on
FIFOs and gives a closed standard output a handle of its own, so the cases that rest on
these are skipped, and Windows cases take their place: files held open by a second Windows
process, a name with "/", command lines split by the program through cmd, and a terminal
that wine makes a Windows console.
"""
import fcntl
import os
import random
import resource
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import threading
import time

LINE_END = b"\n"  # the program's console line end: CR LF on Windows
BANNER = b"The cuecheck ver1.4b\n"
FAULTY_SRT = b"1\r\n00:00:02,000 --> 00:00:01,000\r\nHi\r\n\r\n"
PLACE_CREATE = 0x00401010
PLACE_OPEN = 0x00401018
PLACE_CLOSE_ERRORS = 0x00401028


def stop_report(code, *trace):
    text = b"Runtime error %d at 0x%08X\n" % (code, trace[0])
    for place in trace:
        text += b"  0x%08X\n" % place
    return text + b"\n"


def con(text):
    """Expected console bytes written with LF line ends, in the program's line end."""
    return text.replace(b"\n", LINE_END)


def run(binary, args, cwd, user=None, timeout=120):
    cmd = [binary] + args
    if user is not None:
        cmd = ["setpriv", "--reuid=%d" % user, "--regid=%d" % user, "--clear-groups"] + cmd
    return subprocess.run(cmd, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=timeout)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Failures:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, cond, detail=""):
        if cond:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL %s %s" % (name, detail))


def no_file_space():
    # A file-size limit of 0 makes every write of errors.txt fail as a full disk does
    # (EFBIG, with SIGXFSZ ignored so the write returns).
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (0, 0))


def case_full_disk(binary, work, f):
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    p = subprocess.run([binary, "in.srt"], cwd=work, stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120,
                       preexec_fn=no_file_space)
    want = (BANNER + b"Processing file...done\nAnalyzing file type...SubRip format found\n"
            b"Invalid time code in 1\nThe line stays out too short, in 1\nClosing file..."
            + stop_report(101, PLACE_CLOSE_ERRORS))
    f.check("full-disk status", p.returncode == 101, str(p.returncode))
    f.check("full-disk transcript", p.stdout == con(want), repr(p.stdout))


def errors_txt_refused(binary, work, f, label):
    """errors.txt is something other than a regular file: the run stops at once with 5."""
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    try:
        p = run(binary, ["in.srt"], work, timeout=20)
    except subprocess.TimeoutExpired:
        f.check(label + " ends", False, "the run waited 20 s on errors.txt")
        return
    f.check(label + " status", p.returncode == 5, str(p.returncode))
    f.check(label + " transcript", p.stdout == con(BANNER + stop_report(5, PLACE_CREATE)),
            repr(p.stdout))


def case_errors_txt_link(binary, work, f):
    victim = os.path.join(work, "victim.txt")
    with open(victim, "wb") as out:
        out.write(b"not the report\n")
    os.symlink("victim.txt", os.path.join(work, "errors.txt"))
    errors_txt_refused(binary, work, f, "errors-link")
    f.check("errors-link target kept", read(victim) == b"not the report\n")
    f.check("errors-link kept", os.path.islink(os.path.join(work, "errors.txt")))


def case_errors_txt_dangling_link(binary, work, f):
    os.symlink("made.txt", os.path.join(work, "errors.txt"))
    errors_txt_refused(binary, work, f, "errors-dangling-link")
    f.check("errors-dangling-link nothing made", not os.path.exists(os.path.join(work, "made.txt")))


def case_errors_txt_fifo(binary, work, f):
    os.mkfifo(os.path.join(work, "errors.txt"))
    errors_txt_refused(binary, work, f, "errors-fifo")


def case_read_only_directory(binary, work, f):
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    user = None
    bindir = None
    if os.geteuid() == 0:
        # root writes anywhere: the run drops to an unprivileged user instead.
        user = 65534
        bindir = tempfile.mkdtemp(prefix="cuecheck-bin-")
        os.chmod(bindir, 0o755)
        shutil.copy(binary, os.path.join(bindir, "cuecheck"))
        binary = os.path.join(bindir, "cuecheck")
    os.chmod(work, 0o555)
    os.chmod(os.path.join(work, "in.srt"), 0o444)
    try:
        p = run(binary, ["in.srt"], work, user=user)
    finally:
        os.chmod(work, 0o755)
        if bindir:
            shutil.rmtree(bindir)
    f.check("read-only status", p.returncode == 5, str(p.returncode) + repr(p.stderr))
    f.check("read-only transcript", p.stdout == BANNER + stop_report(5, PLACE_CREATE),
            repr(p.stdout))
    f.check("read-only no errors.txt", not os.path.exists(os.path.join(work, "errors.txt")))


def case_locked_subtitle_file(binary, work, f):
    path = os.path.join(work, "in.srt")
    with open(path, "wb") as out:
        out.write(FAULTY_SRT)
    holder = open(path, "rb")
    fcntl.flock(holder, fcntl.LOCK_EX)
    try:
        p = run(binary, ["in.srt"], work)
    finally:
        holder.close()
    f.check("locked-file status", p.returncode == 5, str(p.returncode))
    f.check("locked-file transcript",
            p.stdout == BANNER + b"Processing file..." + stop_report(5, PLACE_OPEN),
            repr(p.stdout))
    f.check("locked-file errors.txt empty", read(os.path.join(work, "errors.txt")) == b"")


def case_locked_errors_file(binary, work, f):
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    errors = os.path.join(work, "errors.txt")
    with open(errors, "wb") as out:
        out.write(b"another run's report\r\n")
    holder = open(errors, "ab")
    fcntl.flock(holder, fcntl.LOCK_EX)
    try:
        p = run(binary, ["in.srt"], work)
    finally:
        holder.close()
    f.check("locked-errors status", p.returncode == 5, str(p.returncode))
    f.check("locked-errors transcript", p.stdout == BANNER + stop_report(5, PLACE_CREATE),
            repr(p.stdout))
    f.check("locked-errors kept", read(errors) == b"another run's report\r\n")


def lock_taken(path):
    """True when another process holds the lock of `path`."""
    try:
        fd = os.open(path, os.O_RDONLY)
    except FileNotFoundError:
        return False
    try:
        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        fcntl.flock(fd, fcntl.LOCK_UN)
        return False
    except BlockingIOError:
        return True
    finally:
        os.close(fd)


def case_two_runs_at_once(binary, work, f):
    # The first run waits on a pipe for its subtitle file while it holds errors.txt.
    fifo = os.path.join(work, "slow.srt")
    os.mkfifo(fifo)
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    first = subprocess.Popen([binary, "slow.srt"], cwd=work, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    errors = os.path.join(work, "errors.txt")
    deadline = time.time() + 30
    while not lock_taken(errors) and time.time() < deadline:
        time.sleep(0.01)
    f.check("two-runs first holds errors.txt", lock_taken(errors))
    second = run(binary, ["in.srt"], work)
    f.check("two-runs second refused", second.returncode == 5, str(second.returncode))
    f.check("two-runs second transcript",
            second.stdout == BANNER + stop_report(5, PLACE_CREATE), repr(second.stdout))
    writer = threading.Thread(target=lambda: open(fifo, "wb").write(FAULTY_SRT * 1))
    writer.start()
    out, _ = first.communicate(timeout=60)
    writer.join()
    f.check("two-runs first status", first.returncode == 0, str(first.returncode))
    f.check("two-runs first report",
            read(errors) == b"Invalid time code in 1\r\nThe line stays out too short, in 1\r\n"
            b"0.100,-1.000\r\n", repr(read(errors)))


def case_no_console(binary, work, f):
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    p = subprocess.run(["sh", "-c", 'exec "$0" in.srt >&-', binary], cwd=work,
                       stdin=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
    f.check("no-console status", p.returncode == 1, str(p.returncode))
    f.check("no-console message", p.stderr == b"No way to get the console handle\n",
            repr(p.stderr))
    f.check("no-console errors.txt untouched",
            not os.path.exists(os.path.join(work, "errors.txt")))


def run_on_terminal(binary, work):
    """Runs the program on the faulty SubRip file with a pseudo-terminal as standard output;
    returns the process and all that the terminal was shown."""
    import pty
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    master, slave = pty.openpty()
    p = subprocess.Popen([binary, "in.srt"], cwd=work, stdin=subprocess.DEVNULL, stdout=slave,
                         stderr=subprocess.PIPE)
    os.close(slave)
    shown = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:
            break
        if not chunk:
            break
        shown += chunk
    p.wait(timeout=60)
    os.close(master)
    return p, shown


def case_terminal(binary, work, f):
    p, shown = run_on_terminal(binary, work)
    # The terminal shows each line end as CR LF.
    want = (b"\x1b[H\x1b[2J" + BANNER + b"Processing file...done\nAnalyzing file type..."
            b"SubRip format found\nInvalid time code in 1\nThe line stays out too short, in 1\n"
            b"Closing file...done\nErrors were found...errors.txt written...\n").replace(b"\n", b"\r\n")
    f.check("terminal status", p.returncode == 0, str(p.returncode))
    f.check("terminal transcript", shown == want, repr(shown))


def normal_end(p):
    return p.returncode == 0 and (
        p.stdout.endswith(con(b"Closing file...done\nNo errors were found\n"))
        or p.stdout.endswith(con(b"Closing file...done\nErrors were found...errors.txt written...\n")))


def case_hostile_input(binary, work, f):
    rnd = random.Random(20261207)
    inputs = {
        "random.bin": bytes(rnd.randrange(256) for _ in range(1 << 20)),
        "one-long-line.txt": b"{" + b"x" * (10 << 20),
        "nul-ctrlz.txt": bytes(rnd.choice(b"\0\x1a\r\n{}[]01|:,.-br") for _ in range(1 << 20)),
        "subrip-noise.srt": b"1\r\n" + bytes(rnd.choice(b"\0\x1a\r\n0123456789:,-> |[br]")
                                            for _ in range(1 << 20)),
        "subviewer-noise.sub": b"[H]\r\n" + bytes(rnd.choice(b"\0\x1a\r\n0123456789:.,|[br]")
                                                 for _ in range(1 << 20)),
        "newlines.txt": b"\n\r" * (1 << 19),
        "brackets.txt": b"[\r\n" * (1 << 18),
    }
    for name, data in inputs.items():
        with open(os.path.join(work, name), "wb") as out:
            out.write(data)
        for arg in ([], ["-"], ["23.976"]):
            try:
                p = run(binary, [name] + arg, work, timeout=120)
            except subprocess.TimeoutExpired:
                f.check("hostile %s %s" % (name, arg), False, "hung")
                continue
            errors = read(os.path.join(work, "errors.txt"))
            f.check("hostile %s %s" % (name, arg), normal_end(p) and not p.stderr,
                    "status %d, end %r" % (p.returncode, p.stdout[-80:]))
            f.check("hostile %s %s errors.txt" % (name, arg),
                    errors == b"" or errors.endswith(b"\r\n"))


# Windows cases: wine runs the program and the probe, each a Windows process.
WIN_PROBE = None
WIN_EXE = None
WINE_ENV = dict(os.environ, WINEDEBUG="-all")


class Holder:
    """A second Windows process that holds files open until it is let go."""

    def __init__(self, work, names):
        self.proc = subprocess.Popen(["wine", WIN_PROBE, "hold"] + names, cwd=work,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, env=WINE_ENV)
        self.ready = self.proc.stdout.readline() == b"held\r\n"

    def release(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=60)
        self.proc.stdout.close()


def case_win_held_subtitle_file(binary, work, f):
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    holder = Holder(work, ["in.srt"])
    try:
        f.check("win-held-file holder ready", holder.ready)
        p = run(binary, ["in.srt"], work)
    finally:
        holder.release()
    f.check("win-held-file status", p.returncode == 5, str(p.returncode))
    f.check("win-held-file transcript",
            p.stdout == con(BANNER + b"Processing file..." + stop_report(5, PLACE_OPEN)),
            repr(p.stdout))
    f.check("win-held-file errors.txt empty", read(os.path.join(work, "errors.txt")) == b"")


def case_win_held_errors_file(binary, work, f):
    with open(os.path.join(work, "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    errors = os.path.join(work, "errors.txt")
    with open(errors, "wb") as out:
        out.write(b"another run's report\r\n")
    holder = Holder(work, ["errors.txt"])
    try:
        f.check("win-held-errors holder ready", holder.ready)
        p = run(binary, ["in.srt"], work)
    finally:
        holder.release()
    f.check("win-held-errors status", p.returncode == 5, str(p.returncode))
    f.check("win-held-errors transcript", p.stdout == con(BANNER + stop_report(5, PLACE_CREATE)),
            repr(p.stdout))
    f.check("win-held-errors kept", read(errors) == b"another run's report\r\n",
            repr(read(errors)))
    # Once let go, the next run empties it and writes its own report.
    p = run(binary, ["in.srt"], work)
    f.check("win-held-errors after status", p.returncode == 0, str(p.returncode))
    f.check("win-held-errors after report",
            read(errors) == b"Invalid time code in 1\r\nThe line stays out too short, in 1\r\n"
            b"0.100,-1.000\r\n", repr(read(errors)))


def case_win_slash_name(binary, work, f):
    os.mkdir(os.path.join(work, "sub"))
    with open(os.path.join(work, "sub", "in.srt"), "wb") as out:
        out.write(FAULTY_SRT)
    p = run(binary, ["sub/in.srt"], work)
    want = (BANNER + b"Processing file...done\nAnalyzing file type...SubRip format found\n"
            b"Invalid time code in 1\nThe line stays out too short, in 1\n"
            b"Closing file...done\nErrors were found...errors.txt written...\n")
    f.check("win-slash status", p.returncode == 0, str(p.returncode))
    f.check("win-slash transcript", p.stdout == con(want), repr(p.stdout))
    p = run(binary, ["sub/none.srt"], work)
    f.check("win-slash missing status", p.returncode == 2, str(p.returncode))


def through_cmd(work, line):
    """Runs one command line as cmd.exe passes it on, from a batch file."""
    with open(os.path.join(work, "run.bat"), "wb") as out:
        out.write(b"@" + line + b"\r\n")
    return subprocess.run(["wine", "cmd", "/c", "run.bat"], cwd=work, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=WINE_ENV,
                          timeout=120)


def case_win_command_line(binary, work, f):
    shutil.copy(WIN_PROBE, os.path.join(work, "win_probe.exe"))
    shutil.copy(WIN_EXE, os.path.join(work, "cuecheck.exe"))
    example = b"a \"b c\" 'd e' f\"g"
    p = through_cmd(work, b"win_probe.exe " + example)
    print("command line: %s" % example.decode())
    print("  split: %s" % p.stdout.decode(errors="replace").replace("\r\n", " ").strip())
    f.check("win-cmdline example", p.stdout == b"count:4\r\n1:[a]\r\n2:[b c]\r\n3:[d e]\r\n"
            b"4:[f\"g]\r\n", repr(p.stdout))
    p = through_cmd(work, b"win_probe.exe \"\" x\t'\"'\"'\"")
    f.check("win-cmdline empty and quotes", p.stdout == b"count:4\r\n1:[]\r\n2:[x]\r\n"
            b"3:[\"]\r\n4:[']\r\n", repr(p.stdout))

    # The program itself: a quoted name with a blank and a "/", and the frame rate after it.
    os.mkdir(os.path.join(work, "sub"))
    with open(os.path.join(work, "sub", "b c.sub"), "wb") as out:
        out.write(b"{0}{24}Exactly twenty-one chars\n{24}{72}Short\n")
    p = through_cmd(work, b"cuecheck.exe 'sub/b c.sub' \"23.976\" <NUL")
    want = (BANNER + b"Processing file...done\nAnalyzing file type...MicroDVD sub found\n"
            b"Using fps option...23.976\nThe line stays out too short, in line 1 frame number: 0\n"
            b"Closing file...done\nErrors were found...errors.txt written...\n")
    f.check("win-cmdline cuecheck status", p.returncode == 0, str(p.returncode))
    f.check("win-cmdline cuecheck transcript", p.stdout == con(want), repr(p.stdout))
    # The example as the program's own command line: "a" is the file and "b c" a rejected
    # frame rate, so the frame rate is 0 and the first display time divides by it.
    shutil.copy(os.path.join(work, "sub", "b c.sub"), os.path.join(work, "a"))
    p = through_cmd(work, b"cuecheck.exe " + example + b" <NUL")
    f.check("win-cmdline cuecheck example status", p.returncode == 200, str(p.returncode))
    f.check("win-cmdline cuecheck example transcript",
            p.stdout.startswith(con(BANNER + b"Processing file...done\nAnalyzing file type..."
                                    b"MicroDVD sub found\nUsing fps option...on\n"
                                    b"Runtime error 200 at ")), repr(p.stdout))


def case_win_console(binary, work, f):
    # A terminal under wine is a Windows console, which wine draws on the terminal: the clear
    # comes out as erased rows and the cursor sent home, then the transcript.
    import re
    p, shown = run_on_terminal(binary, work)
    shown = re.sub(rb"\x1b\[\?25[hl]", b"", shown)  # the cursor hidden while drawing
    before, banner, after = shown.partition(b"The cuecheck ver1.4b")
    f.check("win-console status", p.returncode == 0, str(p.returncode))
    f.check("win-console cleared", before.count(b"\x1b[K") >= 10 and before.endswith(b"\x1b[H"),
            repr(before[-200:]))
    want = (b"The cuecheck ver1.4b\nProcessing file...done\nAnalyzing file type..."
            b"SubRip format found\nInvalid time code in 1\nThe line stays out too short, in 1\n"
            b"Closing file...done\nErrors were found...errors.txt written...\n")
    f.check("win-console transcript", (banner + after).replace(b"\r", b"") == want,
            repr(banner + after))


POSIX_CASES = (case_full_disk, case_errors_txt_link, case_errors_txt_dangling_link,
               case_errors_txt_fifo, case_read_only_directory, case_locked_subtitle_file,
               case_locked_errors_file, case_two_runs_at_once, case_no_console, case_terminal,
               case_hostile_input)

WINDOWS_CASES = (case_errors_txt_fifo, case_win_held_subtitle_file, case_win_held_errors_file,
                 case_win_slash_name, case_win_command_line, case_win_console, case_hostile_input)

SKIPPED_ON_WINDOWS = {
    case_full_disk: "wine reports a file-size limit as error 162, not as a full disk, and "
                    "/dev/full is a device, which errors.txt may not be (fault injection "
                    "covers the failed write)",
    case_errors_txt_link: "wine shows a Linux link as the file it points to, never as a "
                          "reparse point",
    case_errors_txt_dangling_link: "wine shows a Linux link as the file it points to, never "
                                   "as a reparse point",
    case_read_only_directory: "it drops to another user, and wine runs only for the owner of "
                              "its prefix",
    case_locked_subtitle_file: "a Linux process's flock is invisible to wine (win-held cases "
                               "instead)",
    case_locked_errors_file: "a Linux process's flock is invisible to wine (win-held cases "
                             "instead)",
    case_two_runs_at_once: "wine does not wait on a FIFO, so the first run never holds "
                           "errors.txt long enough (win-held cases instead)",
    case_no_console: "wine gives a closed standard output a handle of its own",
    case_terminal: "it expects the clear of a Linux terminal; under wine a terminal is a "
                   "Windows console (win-console instead)",
}


def main():
    global LINE_END, WIN_PROBE, WIN_EXE
    argv = sys.argv[1:]
    windows = argv[:1] == ["--windows"]
    if windows:
        if len(argv) != 4:
            print(__doc__)
            return 2
        LINE_END = b"\r\n"
        WIN_PROBE = os.path.abspath(argv[1])
        WIN_EXE = os.path.abspath(argv[2])
        argv = argv[3:]
    if len(argv) != 1:
        print(__doc__)
        return 2
    binary = os.path.abspath(argv[0])
    f = Failures()
    skipped = 0
    if windows:
        for case, why in SKIPPED_ON_WINDOWS.items():
            print("SKIP %s: %s" % (case.__name__, why))
            skipped += 1
    for case in WINDOWS_CASES if windows else POSIX_CASES:
        work = tempfile.mkdtemp(prefix="cuecheck-fault-")
        try:
            case(binary, work, f)
        finally:
            os.chmod(work, stat.S_IRWXU)
            shutil.rmtree(work)
    if windows:
        print("%d passed, %d failed, %d skipped" % (f.passed, f.failed, skipped))
    else:
        print("%d passed, %d failed" % (f.passed, f.failed))
    return 1 if f.failed or not f.passed else 0


if __name__ == "__main__":
    sys.exit(main())
