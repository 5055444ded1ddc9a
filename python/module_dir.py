"""Prints where below PREFIX this Python finds modules: the first of its
search directories under the prefix (the user's own for ~/.local); else
PREFIX/lib/pythonX.Y/site-packages, which PYTHONPATH must then name."""
import os
import site
import sys

prefix = os.path.realpath(sys.argv[1])
for path in sys.path + [site.getusersitepackages()]:
    if not path:
        continue
    relative = os.path.relpath(os.path.realpath(path), prefix)
    if relative.startswith("lib") and os.path.basename(path) in ("site-packages", "dist-packages"):
        print(path)
        break
else:
    version = f"python{sys.version_info.major}.{sys.version_info.minor}"
    path = os.path.join(prefix, "lib", version, "site-packages")
    print(f"zt40: {path} is not among this Python's module directories; name it in PYTHONPATH",
          file=sys.stderr)
    print(path)
