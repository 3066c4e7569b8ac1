#!/usr/bin/env python3
"""The Debian package, built once with CPack: its fields and files, its menu entry and
software-centre data validated, and lintian, pedantic and with its notes, reporting nothing but
the note of a first upload. Arguments: the build folder,
cpack, the application id. Exit status 77: the packaging tools are not installed."""

import glob
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile

TOOLS = ["dpkg-deb", "dpkg-shlibdeps", "lintian", "appstreamcli", "desktop-file-validate"]
RECOMMENDS = ["fonts-ipafont-gothic | fonts-noto-cjk", "qt6-translations-l10n", "ibus-mozc | fcitx5-mozc"]


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def main(build, cpack, app_id):
    with tempfile.TemporaryDirectory(prefix="qel-package-") as root:
        run(cpack, "--config", os.path.join(build, "CPackConfig.cmake"), "-G", "DEB", "-B", root)
        [deb] = glob.glob(os.path.join(root, "qel_*.deb"))
        field = lambda name: run("dpkg-deb", "-f", deb, name).strip()
        assert "libqt6widgets6" in field("Depends") and "libzip4" in field("Depends"), field("Depends")
        assert all(choice in field("Recommends") for choice in RECOMMENDS), field("Recommends")
        assert re.fullmatch(r".+ <\S+@\S+>", field("Maintainer")), field("Maintainer")
        description = field("Description")
        assert re.search(r"[a-z]{4,} [a-z]{4,}", description) and re.search(r"[\u3040-\u30ff]{4,}", description)

        files = {line.split(None, 5)[5][1:] for line in run("dpkg-deb", "-c", deb).splitlines()}
        desktop, metainfo = f"/usr/share/applications/{app_id}.desktop", f"/usr/share/metainfo/{app_id}.metainfo.xml"
        expected = {"/usr/bin/qel", desktop, metainfo, f"/usr/share/icons/hicolor/scalable/apps/{app_id}.svg",
                    "/usr/share/man/man1/qel.1.gz", "/usr/share/man/ja/man1/qel.1.gz"}
        expected |= {f"/usr/share/icons/hicolor/{n}x{n}/apps/{app_id}.png" for n in (16, 32, 48, 256)}
        expected |= {f"/usr/share/qel/{name}" for name in
                     ["Qel.Ini", "Db_販売顧客.mdb", "サンプルデータ.mdb", "顧客一覧オリジナル.xlsx", "売上明細オリジナル.xlsx"]}
        assert expected <= files, f"missing from the package: {sorted(expected - files)}"

        # Nothing runs at installation or removal, so no user's folder is ever reached.
        control = subprocess.run(["dpkg-deb", "--ctrl-tarfile", deb], check=True, capture_output=True).stdout
        with open(os.path.join(root, "control.tar"), "wb") as out:
            out.write(control)
        with tarfile.open(os.path.join(root, "control.tar")) as tar:
            names = {os.path.basename(name) for name in tar.getnames()}
        assert not names & {"preinst", "postinst", "prerm", "postrm"}, f"maintainer scripts: {names}"

        run("dpkg-deb", "-x", deb, root + "/tree")
        run("desktop-file-validate", root + "/tree" + desktop)
        # The windows' X11 class, so that a dock links the running program to its entry.
        with open(root + "/tree" + desktop, encoding="utf-8") as entry:
            assert "StartupWMClass=Qel\n" in entry.read(), "no StartupWMClass"
        run("appstreamcli", "validate", "--no-net", root + "/tree" + metainfo)
        report = subprocess.run(["lintian", "-I", "--pedantic", deb], capture_output=True, text=True).stdout
        print(report, end="")
        tags = [line for line in report.splitlines() if re.match(r"[EWIPX]: ", line)]
        assert all(re.search(r": initial-upload-closes-no-bugs\b", tag) for tag in tags), "\n".join(tags)
    print("package: passed")


if __name__ == "__main__":
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print(f"package: skipped, not installed: {' '.join(missing)}")
        sys.exit(77)
    try:
        main(*sys.argv[1:4])
    except AssertionError as failure:
        sys.exit(f"package: FAILED: {failure}")
    except subprocess.CalledProcessError as failure:
        sys.exit(f"package: FAILED: {' '.join(failure.cmd)}\n{failure.stdout}{failure.stderr}")
