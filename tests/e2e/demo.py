#!/usr/bin/env python3
"""The demo of `make run` on a machine without a display: the real utility on
a private X display, a sample file picked through the real dialog, the
clipboard line and the message text printed, screenshots saved."""
import os
import sys

from harness import Session

build_dir = sys.argv[1] if len(sys.argv) > 1 else "build/windows"
out_dir = os.path.join(os.path.dirname(os.path.abspath(build_dir)), "screenshots")
sample = os.path.join(os.path.dirname(os.path.abspath(build_dir)), "demo", "sample file.txt")
os.makedirs(os.path.dirname(sample), exist_ok=True)
with open(sample, "w") as f:
    f.write("The quick brown fox jumps over the lazy dog\n")

session = Session(build_dir, start_dir=os.path.dirname(sample))
session.prepare_prefix()
result = session.report(sample, screenshots=out_dir, typed=os.path.basename(sample))
box, clipboard = result["box"], result["clipboard"]

print(f"picked:          {sample}")
print(f"clipboard:       {clipboard['text']}")
print(f"message title:   {box['title']}")
print("message text:    " + box["text"].replace("\r\n", "\n                 "))
print(f"exit code:       {result['exit']}")
print(f"screenshots:     {out_dir}/dialog.png, {out_dir}/result.png")
