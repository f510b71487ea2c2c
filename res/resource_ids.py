"""The numeric identifiers of res/resource.h, so that the generators here
name resources as the program does instead of retyping their numbers."""

import re
from pathlib import Path

RESOURCE_H = Path(__file__).resolve().parent / "resource.h"

_DEFINE = re.compile(r"^#define\s+(\w+)\s+(\d+)\s*$")


def read_ids(path=RESOURCE_H):
    ids = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        match = _DEFINE.match(line)
        if match:
            ids[match.group(1)] = int(match.group(2))
    return ids
