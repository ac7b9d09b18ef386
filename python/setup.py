"""The native module ostrel._native, built against the installed Ostrel.

pkg-config finds Ostrel (ostrel.pc) and pybind11 (pybind11.pc); set
PKG_CONFIG_PATH to build against an Ostrel installed under another prefix.
The module records that Ostrel's library folder as its runpath, so it finds
the runtime wherever the package is installed.
"""
import pathlib
import shlex
import subprocess

from setuptools import Extension, setup

HERE = pathlib.Path(__file__).resolve().parent


def pkg_config(*arguments):
    try:
        done = subprocess.run(["pkg-config", *arguments], capture_output=True, text=True, check=False)
    except FileNotFoundError:
        raise SystemExit("ostrel: pkg-config is needed to find the installed Ostrel (apt install pkg-config)")
    if done.returncode != 0:
        raise SystemExit(f"ostrel: pkg-config {' '.join(arguments)} failed: {done.stderr.strip()}\n"
                         "Install libostrel-dev and pybind11-dev, or set PKG_CONFIG_PATH to the folder of ostrel.pc.")
    return done.stdout.strip()


libdir = pkg_config("--variable=libdir", "ostrel")
if not pathlib.PurePath(libdir).is_absolute():
    raise SystemExit(f"ostrel: ostrel.pc names a library folder that is not absolute: {libdir!r}")

native = Extension(
    "ostrel._native",
    # Relative to this folder, as setuptools wants them.
    sources=sorted(str(path.relative_to(HERE)) for path in (HERE / "native").glob("*.cpp")),
    include_dirs=[str(HERE)],
    extra_compile_args=["-std=c++20", "-fvisibility=hidden", *shlex.split(pkg_config("--cflags", "ostrel", "pybind11"))],
    extra_link_args=shlex.split(pkg_config("--libs", "ostrel")),
    runtime_library_dirs=[libdir],
    language="c++",
)

setup(ext_modules=[native])
