#!/usr/bin/env python3
"""Assembles the page and packs it.

  site.py assemble BUILD    BUILD/site/: the page from web/, the browser
                            program from BUILD/browser/, xterm.js from
                            BUILD/npm/node_modules, and the licences
  site.py zip BUILD         BUILD/angleconv-VERSION-web.zip (the VERSION of
                            project() in CMakeLists.txt): BUILD/site/ in
                            one folder; every entry carries the time
                            SOURCE_DATE_EPOCH (default: the last commit's),
                            so two builds of one commit give the same bytes

The program's module is copied as angleconv.js: every static host serves
.js as JavaScript, which a module needs, and not all of them know .mjs."""
import os
import re
import pathlib
import shutil
import subprocess
import sys
import time
import zipfile

SOURCE = pathlib.Path(__file__).resolve().parent
PROJECT = SOURCE.parent


def site_files(build):
    """Each file of the site: its name there and where it comes from."""
    xterm = build / "npm/node_modules/@xterm/xterm"
    return {
        "index.html": SOURCE / "index.html",
        "page.css": SOURCE / "page.css",
        "page.js": SOURCE / "page.js",
        "angleconv.js": build / "browser/angleconv.mjs",
        "angleconv.wasm": build / "browser/angleconv.wasm",
        "xterm.js": xterm / "lib/xterm.mjs",
        "xterm.css": xterm / "css/xterm.css",
        "LICENSE.txt": PROJECT / "LICENSE",
        "licenses/xterm.txt": xterm / "LICENSE",
    }


def assemble(build):
    site = build / "site"
    shutil.rmtree(site, ignore_errors=True)
    for name, origin in site_files(build).items():
        if not origin.is_file():
            sys.exit(f"site.py: {origin} is missing (make web builds it)")
        (site / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(origin, site / name)
    print(f"The page is in {site}/")


def commit_time():
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    return int(subprocess.run(["git", "-C", str(PROJECT), "log", "-1", "--format=%ct"],
                              capture_output=True, text=True, check=True).stdout)


def project_version():
    cmake = (PROJECT / "CMakeLists.txt").read_text()
    return re.search(r"project\(angleconv VERSION ([^ )]+)", cmake).group(1)


def pack(build, version):
    site = build / "site"
    folder = f"angleconv-{version}-web"
    archive = build / f"{folder}.zip"
    stamp = time.gmtime(max(commit_time(), 315532800))[:6]  # zip starts at 1980
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as zip_file:
        for path in sorted(p for p in site.rglob("*") if p.is_file()):
            entry = zipfile.ZipInfo(f"{folder}/{path.relative_to(site).as_posix()}", stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            zip_file.writestr(entry, path.read_bytes())
    print(f"Wrote {archive}")


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "assemble":
        assemble(pathlib.Path(sys.argv[2]))
    elif len(sys.argv) == 3 and sys.argv[1] == "zip":
        pack(pathlib.Path(sys.argv[2]), project_version())
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
