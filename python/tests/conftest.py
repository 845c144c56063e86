import os
import sys
from pathlib import Path

PACKAGE_FOLDER = Path(__file__).resolve().parent.parent
REPOSITORY = PACKAGE_FOLDER.parent
EXAMPLES = REPOSITORY / "examples"

# The package as it is in the source tree, over the library of the ci build unless
# ZELVA1_LIBRARY names another one.
sys.path.insert(0, str(PACKAGE_FOLDER))
if "ZELVA1_LIBRARY" not in os.environ:
    built = REPOSITORY / "build" / "ci" / "lib" / "libzelva1.so.1"
    if built.exists():
        os.environ["ZELVA1_LIBRARY"] = str(built)
# The default system must be the built-in simulated boards whatever the caller's setting.
os.environ.pop("ZELVA1_SIM_CONFIG", None)
os.environ.pop("ZELVA1_BACKEND", None)
