#!/usr/bin/env python3
"""The README's recipe across machines, run for real: an sshd of the test's own on a
loopback port (its own host and user keys in a scratch folder), GNU parallel handing a file
list to two hosts (that sshd and the local machine) in blocks, `cuelint --format json
--files-from -` on each, the JSON Lines gathered. The merged records must equal one local
run's (sorted), every file checked once, and the summaries must add up.

Exits 77 (skipped, with the reason) when sshd, ssh or parallel is missing or sshd cannot
start.

usage: parallel_ssh.py CUELINT
"""
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
SSHD = "/usr/sbin/sshd"


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIP)


def make_tree(root):
    """300 files in 10 folders, about one in three with faults, some names with spaces."""
    paths = []
    for i in range(300):
        folder = os.path.join(root, "season %d" % (i % 10))
        os.makedirs(folder, exist_ok=True)
        if i % 2:
            name = os.path.join(folder, "episode %03d.srt" % i)
            stop = "00:00:03,000" if i % 3 else "00:00:00,500"
            data = "1\n00:00:01,000 --> %s\nLine %d.\n\n2\n00:00:04,000 --> 00:00:06,000\n" \
                   "Two.\n" % (stop, i)
        else:
            name = os.path.join(folder, "ep%03d.sub" % i)
            data = "{1}{1}23.976\n{0}{%d}Line %d|two\n" % (100 if i % 3 else 10, i)
        with open(name, "w") as f:
            f.write(data)
        paths.append(name)
    return paths


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_sshd(tmp):
    for key in ("host_key", "user_key"):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f",
                        os.path.join(tmp, key)], check=True)
    shutil.copy(os.path.join(tmp, "user_key.pub"), os.path.join(tmp, "authorized_keys"))
    port = free_port()
    config = os.path.join(tmp, "sshd_config")
    with open(config, "w") as f:
        f.write("Port %d\nListenAddress 127.0.0.1\nHostKey %s/host_key\n"
                "AuthorizedKeysFile %s/authorized_keys\nPidFile %s/sshd.pid\nUsePAM no\n"
                "StrictModes no\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                "PubkeyAuthentication yes\nPermitRootLogin prohibit-password\n"
                "MaxStartups 50\nMaxSessions 50\n" % (port, tmp, tmp, tmp))
    # As root, sshd wants its privilege separation folder (Debian's service makes it).
    if os.geteuid() == 0 and not os.path.isdir("/run/sshd"):
        try:
            os.makedirs("/run/sshd", mode=0o755)
        except OSError as e:
            skip("sshd cannot start: no /run/sshd (%s)" % e)
    log = open(os.path.join(tmp, "sshd.log"), "w")
    proc = subprocess.Popen([SSHD, "-D", "-e", "-f", config], stdout=log, stderr=log)
    with open(os.path.join(tmp, "host_key.pub")) as f:
        host_pub = f.read().split()
    with open(os.path.join(tmp, "known_hosts"), "w") as f:
        f.write("[127.0.0.1]:%d %s %s\n" % (port, host_pub[0], host_pub[1]))
    ssh_config = os.path.join(tmp, "ssh_config")
    with open(ssh_config, "w") as f:
        f.write("Host testhost\n  HostName 127.0.0.1\n  Port %d\n  IdentityFile %s/user_key\n"
                "  IdentitiesOnly yes\n  UserKnownHostsFile %s/known_hosts\n"
                "  StrictHostKeyChecking yes\n  BatchMode yes\n" % (port, tmp, tmp))
    ssh = ["ssh", "-F", ssh_config]
    for _ in range(50):
        if proc.poll() is not None:
            break
        if subprocess.run(ssh + ["testhost", "true"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0:
            return proc, ssh
        time.sleep(0.1)
    proc.kill()
    proc.wait()
    log.flush()
    with open(os.path.join(tmp, "sshd.log")) as f:
        skip("sshd cannot start or take the test's key: %s" % f.read()[-400:])


def records(text):
    return [json.loads(line) for line in text.splitlines() if line]


def main():
    cuelint = os.path.abspath(sys.argv[1])
    for tool in (SSHD, "ssh", "ssh-keygen", "parallel"):
        if not shutil.which(tool):
            skip("%s is not installed (Debian: openssh-server, openssh-client, parallel)"
                 % tool)
    with tempfile.TemporaryDirectory(prefix="cuelint-parallel-") as tmp:
        paths = make_tree(os.path.join(tmp, "archive"))
        file_list = "".join(p + "\n" for p in paths).encode()
        proc, ssh = start_sshd(tmp)
        try:
            joblog = os.path.join(tmp, "jobs.log")
            start = time.monotonic()
            # The recipe: blocks of 25 names to each host; the hosts' JSON Lines merged.
            spread = subprocess.run(
                ["parallel", "--will-cite", "--ssh", " ".join(ssh), "-S", "testhost,:",
                 "--pipe", "-N", "25", "--joblog", joblog,
                 cuelint + " --format json --files-from -"],
                input=file_list, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
            took = time.monotonic() - start
        finally:
            proc.terminate()
            proc.wait()
        local = subprocess.run([cuelint, "--format", "json", "--files-from", "-"],
                               input=file_list, stdout=subprocess.PIPE, timeout=300)
        failed = 0
        got, want = records(spread.stdout.decode()), records(local.stdout.decode())
        with open(joblog) as f:
            hosts = {line.split("\t")[1] for line in f.readlines()[1:]}
        sums = {}
        for r in got:
            for k, v in r.get("summary", {}).items():
                sums[k] = sums.get(k, 0) + v
        local_sum = next(r["summary"] for r in want if "summary" in r)
        key = lambda r: json.dumps(r, sort_keys=True)  # noqa: E731
        rest_got = sorted((r for r in got if "summary" not in r), key=key)
        rest_want = sorted((r for r in want if "summary" not in r), key=key)
        checked = [r["checked"]["file"] for r in got if "checked" in r]
        if spread.returncode not in range(0, 101) or spread.stderr.strip():
            failed += 1
            print("FAIL parallel: exit status %d, %s" % (spread.returncode,
                                                        spread.stderr.decode()[-400:]))
        if hosts != {"testhost", ":"}:
            failed += 1
            print("FAIL jobs ran on %s, not on both hosts" % sorted(hosts))
        if rest_got != rest_want:
            failed += 1
            print("FAIL merged records differ from one local run's: %d against %d"
                  % (len(rest_got), len(rest_want)))
        if sorted(checked) != sorted(paths) or len(set(checked)) != len(paths):
            failed += 1
            print("FAIL %d checked records for %d files" % (len(checked), len(paths)))
        if sums != local_sum:
            failed += 1
            print("FAIL summaries add up to %s, one local run says %s" % (sums, local_sum))
        if not failed:
            print("ok   %d files over hosts %s in %.1f s: %d records, equal to one local run's; "
                  "summaries add up to %s" % (len(paths), ", ".join(sorted(hosts)), took,
                                              len(rest_got), json.dumps(sums)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
