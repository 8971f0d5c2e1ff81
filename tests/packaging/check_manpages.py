#!/usr/bin/env python3
"""The manual pages and bash completions say what --help says.

usage: check_manpages.py EDITBOOT HEXVIEW MANDIR COMPLETIONDIR

Runs `editboot --help` and `hexview --help`, and checks both ways that every
sub-command and option of the help text has an entry in the manual page (with
the same arguments) and a word in the bash completion, and that neither lists
one the program does not know.
"""
import os
import re
import subprocess
import sys

failures = []


def fail(text):
    failures.append(text)


def help_text(program):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env["QT_QPA_PLATFORM"] = "offscreen"
    out = subprocess.run([program, "--help"], capture_output=True, text=True, env=env, check=True)
    return out.stdout


def help_entries(text, section):
    """Entry heads of one help section: 'info IMAGE', '-h, --help', '--ruler-base BASE'."""
    entries = []
    inside = False
    for line in text.splitlines():
        if line.rstrip().endswith(":") and not line.startswith(" "):
            inside = line.strip() == section
            continue
        if not inside:
            continue
        match = re.match(r"^  (\S.*?)(?:\s{2,}|$)", line)
        if match:
            entries.append(match.group(1).replace("<", "").replace(">", "").strip())
    return entries


def man_entries(path, section):
    """Heads of the .TP entries in one section of a manual page, as plain text."""
    entries = []
    current = None
    lines = open(path, encoding="utf-8").read().splitlines()
    for i, line in enumerate(lines):
        if line.startswith(".SH "):
            current = line[4:].strip().strip('"')
            continue
        if current == section and line == ".TP" and i + 1 < len(lines):
            head = lines[i + 1]
            head = re.sub(r"^\.B[IR]?\s+", "", head)
            head = re.sub(r"\\f[BIRP]", "", head).replace("\\-", "-").replace('"', "")
            entries.append(head.strip())
    return entries


def words_of(entries):
    """The words a user types: sub-commands and options, not their arguments."""
    words = set()
    for entry in entries:
        for part in entry.split(","):
            part = part.strip()
            if part:
                words.add(part.split()[0])
    return words


def completion_words(path, variable):
    text = open(path, encoding="utf-8").read()
    match = re.search(variable + r'="([^"]*)"', text)
    if not match:
        fail(f"{path}: no {variable}=\"...\" list")
        return set()
    return set(match.group(1).split())


def compare(what, expected, found):
    for item in sorted(set(expected) - set(found)):
        fail(f"{what}: missing {item!r}")
    for item in sorted(set(found) - set(expected)):
        fail(f"{what}: has {item!r}, which --help does not")


def main():
    editboot, hexview, mandir, completiondir = sys.argv[1:5]

    # editboot: "Commands:" holds the sub-commands and --help/--version.
    entries = help_entries(help_text(editboot), "Commands:")
    if len(entries) < 6:
        fail(f"editboot --help lists only {entries}")
    commands = [e for e in entries if not e.startswith("-")]
    options = [e for e in entries if e.startswith("-")]
    page = os.path.join(mandir, "editboot.1")
    compare("editboot.1 COMMANDS", commands, man_entries(page, "COMMANDS"))
    compare("editboot.1 OPTIONS", options, man_entries(page, "OPTIONS"))
    compare("editboot completion", words_of(entries), completion_words(os.path.join(completiondir, "editboot"), "commands"))

    # hexview: Qt's help, "Options:".
    entries = help_entries(help_text(hexview), "Options:")
    if len(entries) < 10:
        fail(f"hexview --help lists only {entries}")
    page = os.path.join(mandir, "hexview.1")
    compare("hexview.1 OPTIONS", entries, man_entries(page, "OPTIONS"))
    long_options = {w for w in words_of(entries) if w.startswith("--")}
    compare("hexview completion", long_options, completion_words(os.path.join(completiondir, "hexview"), "options"))

    for text in failures:
        print(text)
    if failures:
        print("The manual pages or completions differ from --help: update packaging/man and packaging/completion.")
        return 1
    print("manual pages and completions match --help")
    return 0


if __name__ == "__main__":
    sys.exit(main())
