#!/usr/bin/env python3
"""An installed Qel started as a user starts it: installed into a temporary prefix, started
offscreen with its own HOME and XDG_DATA_HOME until its menu is up, then ended; started again
after the user deleted the sample and edited Qel.Ini. Arguments: the build folder, cmake."""

import filecmp
import os
import signal
import subprocess
import sys
import tempfile
import time

SEEDED = ["Qel.Ini", "Db_販売顧客.mdb", "サンプルデータ.mdb", "顧客一覧オリジナル.xlsx", "売上明細オリジナル.xlsx"]


def run_until_menu(qel, env, made):
    """Waits for the folder `made`, start-up's last step before the menu, then ends the program
    as a logout does. It leaves its event loop for that, a loop that runs only once the menu is
    open: a clean exit proves the menu was up."""
    program = subprocess.Popen([qel], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        deadline = time.monotonic() + 60
        while not os.path.isdir(made) and program.poll() is None and time.monotonic() < deadline:
            time.sleep(0.05)
        assert program.poll() is None, f"ended before its menu, status {program.returncode}"
        assert os.path.isdir(made), f"no {made} after 60 s"
        program.send_signal(signal.SIGTERM)
        output = program.communicate(timeout=30)[0].decode(errors="replace")
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    assert program.returncode == 0, f"did not end from its menu, status {program.returncode}: {output}"


def main(build, cmake):
    with tempfile.TemporaryDirectory(prefix="qel-install-") as root:
        prefix = os.path.join(root, "prefix")
        subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        qel = os.path.join(prefix, "bin", "qel")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=os.path.join(root, "home"),
                   XDG_DATA_HOME=os.path.join(root, "data"))
        folder = os.path.join(root, "data", "Qel")

        run_until_menu(qel, env, os.path.join(folder, "帳票"))
        for name in SEEDED:
            assert filecmp.cmp(os.path.join(prefix, "share", "qel", name), os.path.join(folder, name),
                               shallow=False), f"{name} is not the installed one"

        # The next start reads the edited file (its new workbook folder appears) and brings
        # neither file back.
        os.remove(os.path.join(folder, "サンプルデータ.mdb"))
        edited = "[Ini]\r\nTitle=うちの店\r\nDataPath=店の帳票\r\n".encode("cp932")
        with open(os.path.join(folder, "Qel.Ini"), "wb") as ini:
            ini.write(edited)
        run_until_menu(qel, env, os.path.join(folder, "店の帳票"))
        assert not os.path.exists(os.path.join(folder, "サンプルデータ.mdb")), "the deleted sample came back"
        with open(os.path.join(folder, "Qel.Ini"), "rb") as ini:
            assert ini.read() == edited, "the edited Qel.Ini was replaced"
    print("installed start: passed")


if __name__ == "__main__":
    try:
        main(*sys.argv[1:3])
    except (AssertionError, subprocess.SubprocessError) as failure:
        sys.exit(f"installed start: FAILED: {failure}")
