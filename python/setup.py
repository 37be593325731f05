"""Builds the extension with CMake (python/CMakeLists.txt) from the library's sources in
the tree; the version is the library's, read from the top CMakeLists.txt."""
import os
import re
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
TOP = HERE.parent


def library_version():
    text = (TOP / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(tamsel VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        output = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build = Path(self.build_temp).resolve() / "cmake"
        configure = [
            "cmake", "-S", str(HERE), "-B", str(build),
            "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython_EXECUTABLE={sys.executable}",
            f"-DCMAKE_LIBRARY_OUTPUT_DIRECTORY={output}",
        ]
        try:  # Debian's python3-pybind11 knows where pybind11-dev put its CMake files
            import pybind11
            configure.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(["cmake", "--build", str(build), "--target", "_tamsel", "-j", jobs],
                       check=True)


setup(
    version=library_version(),
    ext_modules=[Extension("tamsel._tamsel", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
)
