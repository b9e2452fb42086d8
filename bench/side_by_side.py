#!/usr/bin/env python3
"""Prints each event's times on the file and on the server beside their floors, and whether
each meets its target:
  file:   within 1.25x of SQLite alone, or at most 0.3 ms above it;
  server: within 1.5x of the same event on the file, or at most 1 ms above it; a start within
          1.25x of libpq alone, or at most 1 ms above it;
  prepared: on a server prepared for several delegations, within 1.1x of the same event on
            the server as it was;
  cold start: within 1.2x of an empty Qt window.
Exits 1 when an event is missing its floor."""
import json
import sys

STARTS = {"start_opening", "start_sign_in", "first_start_after_years"}


def events(path):
    with open(path, encoding="utf-8") as results:
        found = {}
        for run in json.load(results)["benchmarks"]:
            found[run["name"].split("/")[0]] = run
        return found


def within(time, floor, times, above):
    return time <= floor * times or time - floor <= above


def main(file_results, server_results, prepared_results=None):
    file, server = events(file_results), events(server_results)
    prepared = events(prepared_results) if prepared_results else {}
    print(f"{'event':<24}{'file':>9}{'SQLite':>9}{'server':>9}{'libpq':>9}{'prepared':>9}"
          "  targets (ms)")
    missing = False
    for name, on_file in file.items():
        on_server = server.get(name, {})
        if name == "cold_start":
            met = within(on_file["program_ms"], on_file["minimal_qt_ms"], 1.2, 0)
            print(f"{name:<24}{on_file['program_ms']:9.2f}{on_file['minimal_qt_ms']:9.2f}"
                  f"{'':27}  empty Qt window: {'met' if met else 'NOT met'}")
            continue
        if "error_message" in on_file or "error_message" in on_server:
            missing = True
            print(f"{name:<24} {on_file.get('error_message') or on_server.get('error_message')}")
            continue
        program, sqlite = on_file["program_ms"], on_file["sqlite_ms"]
        remote, libpq = on_server.get("program_ms"), on_server.get("libpq_ms")
        verdicts = ["file " + ("met" if within(program, sqlite, 1.25, 0.3) else "NOT met")]
        if remote is not None:
            met = (within(remote, libpq, 1.25, 1) if name in STARTS
                   else within(remote, program, 1.5, 1))
            verdicts.append("server " + ("met" if met else "NOT met"))
        held = prepared.get(name, {}).get("program_ms")
        if held is not None and remote is not None:
            verdicts.append("prepared " + ("met" if held <= remote * 1.1 else "NOT met"))
        print(f"{name:<24}{program:9.3f}{sqlite:9.3f}"
              + (f"{remote:9.3f}{libpq:9.3f}" if remote is not None else f"{'':18}")
              + (f"{held:9.3f}" if held is not None else f"{'':9}")
              + "  " + ", ".join(verdicts))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
