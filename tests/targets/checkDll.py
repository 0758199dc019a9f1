#!/usr/bin/env python3
"""Checks a built kelHashTableFun.dll the way a Windows host sees it.

  checkDll.py OBJDUMP NM DLL IMPORT_LIBRARY ARCH [OBJECT...]

ARCH is i386 or x86-64. From `objdump -p` of the DLL: the export table holds
exactly the seventeen functions, undecorated, with ordinals 1 to 17 in the
library's export order, under the module name kelHashTableFun.dll; the DLL
imports from KERNEL32.dll, USER32.dll and msvcrt.dll and nothing else, with
MessageBoxA and DisableThreadLibraryCalls among them. From `nm` of the import
library: it provides exactly the seventeen functions. From `objdump -d` of the
library's own objects (32-bit only): no x87 arithmetic, so every double
operation is rounded to double by SSE2.
"""
import re
import subprocess
import sys

EXPORTS = [
    "addOneLng", "addOneStr", "close", "dumpToRestartFile", "getAllValidContents",
    "getAllValidFullContents", "makeHashTableDs", "makeHashTableFromBinFile",
    "makeHashTableLng", "makeHashTableStr", "makeHashTableStrList", "removeOneLng",
    "removeOneStr", "searchLng", "searchStrList", "setContentLng", "setContentStr",
]
IMPORTS = {"kernel32.dll", "user32.dll", "msvcrt.dll"}
X87_ARITHMETIC = re.compile(r"\s(f(?:add|sub|subr|mul|div|divr|sqrt|prem|scale)[lsp]?)\s")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def exports_of(dump):
    """[(ordinal, name)] from the [Ordinal/Name Pointer] table."""
    base = re.search(r"Ordinal Base\s+(\d+)", dump)
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if base is None or len(table) < 2:
        return None, []
    entries = []
    for line in table[1].splitlines()[1:]:
        m = re.match(r"\s+\[\s*(\d+)\]\s+(\S+)\s*$", line)
        if not m:
            break
        entries.append((int(m.group(1)) + int(base.group(1)), m.group(2)))
    return int(base.group(1)), entries


def imports_of(dump):
    """{dll name (lower case): [imported function names]}."""
    imports = {}
    current = None
    for line in dump.splitlines():
        m = re.match(r"\s+DLL Name: (\S+)", line)
        if m:
            current = imports.setdefault(m.group(1).lower(), [])
            continue
        m = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if current is not None and m:
            current.append(m.group(1))
        elif not line.strip():
            current = None
    return imports


def main():
    objdump, nm, dll, implib, arch = sys.argv[1:6]
    objects = sys.argv[6:]
    dump = run(objdump, "-p", dll)

    check(f"file format pei-{arch}" in dump, f"{dll} is not a pei-{arch} image")
    check(re.search(r"Name\s+[0-9a-f]+ kelHashTableFun\.dll", dump) is not None,
          "the export table does not name the module kelHashTableFun.dll")
    _, exports = exports_of(dump)
    expected = list(enumerate(EXPORTS, start=1))
    check(exports == expected, f"exports {exports} differ from {expected}")

    imports = imports_of(dump)
    check(set(imports) == IMPORTS, f"imported DLLs {sorted(imports)} are not {sorted(IMPORTS)}")
    check("MessageBoxA" in imports.get("user32.dll", []), "MessageBoxA is not imported")
    check("DisableThreadLibraryCalls" in imports.get("kernel32.dll", []),
          "DisableThreadLibraryCalls is not imported")

    # Import library: one __imp_ symbol per export (i386 adds the C prefix _).
    prefix = "__imp__" if arch == "i386" else "__imp_"
    symbols = set(re.findall(r"\sI\s+(\S+)$", run(nm, implib), re.M))
    provided = sorted(s[len(prefix):] for s in symbols if s.startswith(prefix))
    check(provided == sorted(EXPORTS), f"import library provides {provided}")

    for obj in objects:
        x87 = sorted(set(X87_ARITHMETIC.findall(run(objdump, "-d", obj))))
        check(not x87, f"{obj} uses x87 arithmetic: {x87}")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
