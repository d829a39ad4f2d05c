"""How the end-to-end runners start the cuelint under test, and how they read a Windows
build's output.

A cross-built cuelint runs under the emulator that CUELINT_E2E_EMULATOR names (its words
separated by "|", as ctest passes CMAKE_CROSSCOMPILING_EMULATOR): EMULATOR goes in front
of every command line. A Windows build is a name ending in .exe, run under wine: it words
the system's errors as Windows does and writes "\\" between the parts of a name.
"""
import os
import re

EMULATOR = [w for w in os.environ.get("CUELINT_E2E_EMULATOR", "").split("|") if w]

# The system's texts for the errors the cases meet, as Windows words them under wine.
WINE_TEXTS = {
    "No such file or directory": "File not found.",
    "No space left on device": "Disk full.",
    "Bad file descriptor": "Invalid handle.",
}


def is_windows(binary):
    return binary.lower().endswith(".exe")


def as_windows_gives(text):
    for posix, wine in WINE_TEXTS.items():
        text = text.replace(posix, wine)
    return text


def with_slashes(data):
    """Output of the Windows build with its separators read as "/": "\\\\" in JSON, "\\" in
    text (never the "\\" of a JSON escape of a quote)."""
    return re.sub(rb'\\\\|\\(?!")', b"/", data)
