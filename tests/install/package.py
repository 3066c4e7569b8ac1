#!/usr/bin/env python3
"""The Debian package: built from the build folder with CPack, its fields and files checked, its
menu entry and software-centre data validated, and lintian run on it, which must report no error.

Exit status: 0 passed, 1 failed, 77 skipped (the packaging tools are not installed).
"""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile

SKIP = 77
TOOLS = ["dpkg-deb", "dpkg-shlibdeps", "lintian", "appstreamcli", "desktop-file-validate"]
RECOMMENDS = ["fonts-ipafont-gothic | fonts-noto-cjk", "qt6-translations-l10n", "ibus-mozc | fcitx5-mozc"]
MAINTAINER_SCRIPTS = {"preinst", "postinst", "prerm", "postrm"}


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def run(*command, **kwargs):
    return subprocess.run(command, check=True, capture_output=True, text=True, **kwargs).stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--cpack", default="cpack")
    parser.add_argument("--app-id", required=True)
    args = parser.parse_args()
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print(f"package: skipped, not installed: {' '.join(missing)}")
        return SKIP

    with tempfile.TemporaryDirectory(prefix="qel-package-") as root:
        run(args.cpack, "--config", os.path.join(args.build, "CPackConfig.cmake"), "-G", "DEB", "-B", root)
        packages = glob.glob(os.path.join(root, "qel_*.deb"))
        check(len(packages) == 1, f"expected one package, found {packages}")
        deb = packages[0]

        fields = {name: run("dpkg-deb", "-f", deb, name).strip() for name in
                  ["Package", "Depends", "Recommends", "Maintainer", "Description"]}
        check(fields["Package"] == "qel", fields["Package"])
        for library in ["libqt6widgets6", "libsqlite3-0", "libzip4", "libpugixml1v5"]:
            check(library in fields["Depends"], f"Depends lacks {library}: {fields['Depends']}")
        for choice in RECOMMENDS:
            check(choice in fields["Recommends"], f"Recommends lacks {choice}: {fields['Recommends']}")
        check(re.fullmatch(r".+ <[^@\s]+@[^@\s]+>", fields["Maintainer"]), fields["Maintainer"])
        check(re.search(r"[A-Za-z]{4,} [a-z]{4,}", fields["Description"]), "no English description")
        check(re.search(r"[\u3040-\u30ff\u4e00-\u9fff]{4,}", fields["Description"]), "no Japanese description")

        files = {line.split(None, 5)[5].lstrip(".") for line in run("dpkg-deb", "-c", deb).splitlines()}
        expected = {"/usr/bin/qel", f"/usr/share/applications/{args.app_id}.desktop",
                    f"/usr/share/icons/hicolor/scalable/apps/{args.app_id}.svg",
                    f"/usr/share/metainfo/{args.app_id}.metainfo.xml", "/usr/share/doc/qel/copyright"}
        expected |= {f"/usr/share/qel/{name}" for name in
                     ["Qel.Ini", "Db_販売顧客.mdb", "サンプルデータ.mdb", "顧客一覧オリジナル.xlsx", "売上明細オリジナル.xlsx"]}
        check(expected <= files, f"missing from the package: {sorted(expected - files)}")
        check(all(f.startswith("/usr/") for f in files if f != "/"), "files outside /usr")

        # Nothing runs at installation or removal: the users' folders are never reached.
        control = os.path.join(root, "control.tar")
        with open(control, "wb") as out:
            subprocess.run(["dpkg-deb", "--ctrl-tarfile", deb], check=True, stdout=out)
        with tarfile.open(control) as tar:
            scripts = {os.path.basename(name) for name in tar.getnames()} & MAINTAINER_SCRIPTS
        check(not scripts, f"maintainer scripts in the package: {sorted(scripts)}")

        tree = os.path.join(root, "tree")
        run("dpkg-deb", "-x", deb, tree)
        run("desktop-file-validate", f"{tree}/usr/share/applications/{args.app_id}.desktop")
        run("appstreamcli", "validate", "--no-net", f"{tree}/usr/share/metainfo/{args.app_id}.metainfo.xml")

        lintian = subprocess.run(["lintian", "--fail-on", "error", deb], capture_output=True, text=True)
        check(lintian.returncode == 0, f"lintian reports errors:\n{lintian.stdout}{lintian.stderr}")
        print(lintian.stdout, end="")
    print("package: passed")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except subprocess.CalledProcessError as failure:
        print(f"package: FAILED: {' '.join(failure.cmd)}\n{failure.stdout or ''}{failure.stderr or ''}", file=sys.stderr)
        sys.exit(1)
    except Failure as failure:
        print(f"package: FAILED: {failure}", file=sys.stderr)
        sys.exit(1)
