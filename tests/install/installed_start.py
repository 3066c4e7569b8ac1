#!/usr/bin/env python3
"""An installed Qel, started as a user starts it.

Installs the build into a temporary prefix, starts the installed executable offscreen with a
temporary HOME and XDG_DATA_HOME, waits for its menu, ends it, and checks the user's folder;
then deletes the sample and edits Qel.Ini as a user would, starts it again, and checks that both
stay as the user left them.
"""

import argparse
import filecmp
import os
import signal
import subprocess
import sys
import tempfile
import time

SEEDED = ["Qel.Ini", "Db_販売顧客.mdb", "サンプルデータ.mdb", "顧客一覧オリジナル.xlsx", "売上明細オリジナル.xlsx"]
SAMPLE = "サンプルデータ.mdb"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


def run_until_menu(qel, env, made):
    """Starts the program and waits until start-up has made the folder `made`, its last step
    before the menu opens; then ends it as a logout does. The program answers that by leaving its
    event loop, which runs only once the menu is open, so a clean exit proves the menu was up."""
    program = subprocess.Popen([qel], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        wait_for(lambda: os.path.isdir(made) or program.poll() is not None, 60, f"the folder {made}")
        check(program.poll() is None, f"the program ended before its menu (status {program.returncode})")
        program.send_signal(signal.SIGTERM)
        output, _ = program.communicate(timeout=30)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    check(program.returncode == 0,
          f"the program did not end from its menu (status {program.returncode}): {output.decode(errors='replace')}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--cmake", default="cmake")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="qel-install-") as root:
        prefix = os.path.join(root, "prefix")
        subprocess.run([args.cmake, "--install", args.build, "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL)
        qel = os.path.join(prefix, "bin", "qel")
        installed = os.path.join(prefix, "share", "qel")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=os.path.join(root, "home"),
                   XDG_DATA_HOME=os.path.join(root, "data"))
        os.mkdir(env["HOME"])
        folder = os.path.join(root, "data", "Qel")

        # First start: the folder is made and filled from the installed data.
        run_until_menu(qel, env, os.path.join(folder, "帳票"))
        for name in SEEDED:
            check(filecmp.cmp(os.path.join(installed, name), os.path.join(folder, name), shallow=False),
                  f"{name} is not the installed one")
        check(not os.path.exists(os.path.join(prefix, "bin", "Qel.Ini")), "the program wrote beside itself")

        # The user deletes the sample and edits the settings; the next start reads the edited
        # file (its new workbook folder appears) and brings neither file back.
        os.remove(os.path.join(folder, SAMPLE))
        edited = "[Ini]\r\nTitle=うちの店\r\nDataPath=店の帳票\r\nBackDataPath=バックアップ\r\n".encode("cp932")
        with open(os.path.join(folder, "Qel.Ini"), "wb") as ini:
            ini.write(edited)
        run_until_menu(qel, env, os.path.join(folder, "店の帳票"))
        check(not os.path.exists(os.path.join(folder, SAMPLE)), "the deleted sample came back")
        with open(os.path.join(folder, "Qel.Ini"), "rb") as ini:
            check(ini.read() == edited, "the edited Qel.Ini was replaced")
    print("installed start: passed")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except (Failure, subprocess.SubprocessError) as failure:
        print(f"installed start: FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
