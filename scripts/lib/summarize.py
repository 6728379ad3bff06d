#!/usr/bin/env python3
"""Adds up CTest JUnit reports and prints 'N passed, N failed, N skipped'."""
import sys
import xml.etree.ElementTree as ET

NOT_STARTED = ("Unable to find executable", "Fixture dependency failed", "Required Files Missing")

passed = failed = skipped = 0
for path in sys.argv[1:]:
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as e:
        print(f"summary: cannot read {path}: {e}", file=sys.stderr)
        failed += 1
        continue
    for case in root.iter("testcase"):
        status = case.get("status", "")
        if case.find("failure") is not None or case.find("error") is not None or status == "fail":
            failed += 1
        elif case.find("skipped") is not None or status in ("notrun", "disabled"):
            # CTest also reports a test it could not start as not run: that is
            # a failure, not a skip.
            skip = case.find("skipped")
            reason = skip.get("message", "") if skip is not None else ""
            if any(r in reason for r in NOT_STARTED):
                failed += 1
            else:
                skipped += 1
        else:
            passed += 1
print(f"{passed} passed, {failed} failed, {skipped} skipped")
sys.exit(1 if failed else 0)
