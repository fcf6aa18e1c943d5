"""Builds the focusrate package with CMake for pip:

    pip install --no-build-isolation .

CMake builds the module focusrate._native and the decoder plugins it loads
(nothing else) in FOCUSRATE_PIP_BUILD_DIR, default build-pip/ here, kept
between runs so a second install only relinks; the plugins go into the
package beside the module, where it seeks them. The Python running pip is
the one the module is built for.
"""
import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = pathlib.Path(__file__).resolve().parent
BUILD = pathlib.Path(os.environ.get("FOCUSRATE_PIP_BUILD_DIR") or SOURCE / "build-pip").resolve()
CMAKE_BUILD = BUILD / "cmake"


def version():
    """The version CMakeLists.txt gives the project."""
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(focusrate VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    """Configures and builds target focusrate_python, then copies the module
    and every plugin (lib/focusrate/*.so of the build) into the package."""

    def build_extension(self, ext):
        subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(CMAKE_BUILD),
                        "-DCMAKE_BUILD_TYPE=Release", "-DFOCUSRATE_TESTS=OFF",
                        "-DFOCUSRATE_PYTHON=ON", "-DFOCUSRATE_PLUGINS_BESIDE_MODULE=ON",
                        "-DPython3_EXECUTABLE=" + sys.executable], check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(CMAKE_BUILD), "--target", "focusrate_python",
                        "-j", jobs], check=True)
        module = pathlib.Path(self.get_ext_fullpath(ext.name))
        module.parent.mkdir(parents=True, exist_ok=True)
        for old in module.parent.glob("*.so"):  # left by an earlier build here
            old.unlink()
        built, = CMAKE_BUILD.glob("lib/python*/*-packages/focusrate/_native*.so")
        shutil.copyfile(built, module)
        for plugin in (CMAKE_BUILD / "lib" / "focusrate").glob("*.so"):
            shutil.copyfile(plugin, module.parent / plugin.name)


BUILD.mkdir(parents=True, exist_ok=True)
setup(
    version=version(),
    packages=["focusrate"],
    package_dir={"focusrate": "python/focusrate"},
    ext_modules=[Extension("focusrate._native", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # setuptools' own files stay out of the source tree, and out of build/.
    options={"build": {"build_base": str(BUILD / "setuptools")},
             "egg_info": {"egg_base": str(BUILD)}},
)
