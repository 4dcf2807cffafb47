#!/usr/bin/env python3
"""Windows keeps the stack 16-byte aligned. A 32- or 64-byte register moved to
or from the stack with an aligned move faults there (Wine does not show it),
so the Windows build of the digest engine must hold no such instruction."""
import re
import subprocess
import sys

objdump, library = sys.argv[1], sys.argv[2]
listing = subprocess.run([objdump, "-d", library], check=True, capture_output=True, text=True).stdout
aligned_wide_stack_move = re.compile(r"\b(v?mova\w*|vmovdqa\w*|vmovnt\w*)\s.*%[yz]mm.*\(%r[sb]p\)|"
                                     r"\b(v?mova\w*|vmovdqa\w*|vmovnt\w*)\s.*\(%r[sb]p\).*%[yz]mm")
wide = [line for line in listing.splitlines() if re.search(r"%[yz]mm", line)]
faults = [line.strip() for line in wide if aligned_wide_stack_move.search(line)]
for line in faults:
    print("aligned wide stack move:", line)
print("%d instructions on 256- or 512-bit registers, %d aligned moves on the stack" % (len(wide), len(faults)))
sys.exit(1 if faults or not wide else 0)
