#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads a Debian copyright file as the machine-readable format (DEP-5), strictly, and checks that every
# licence its Files paragraphs name has its text, and that it names each licence given.
#   checkcopyright.py COPYRIGHT LICENCE...
import re
import sys

from debian.copyright import Copyright

with open(sys.argv[1], encoding="utf-8") as source:
    copyright = Copyright(source, strict=True)

named = set()
texts = {paragraph.license.synopsis for paragraph in copyright.all_license_paragraphs()}
for paragraph in copyright.all_files_paragraphs():
    licences = set(re.split(r"\s+(?:and|or)\s+", paragraph.license.synopsis.strip()))
    named |= licences
    if paragraph.license.text:
        texts |= licences

faults = [f"no text for the licence {name}" for name in sorted(named - texts)]
faults += [f"the licence {name} is not named" for name in sys.argv[2:] if name not in named]
for fault in faults:
    print(f"{sys.argv[1]}: {fault}")
print(f"{sys.argv[1]}: licences {', '.join(sorted(named))}")
sys.exit(1 if faults else 0)
