"""Runs quibex-report check --format sarif on fixtures and validates each
report against the SARIF 2.1.0 schema; each result must also name a rule of
its run. Usage: ValidateSarif.py QUIBEX_REPORT SCHEMA (in tests/data)."""

import json
import subprocess
import sys

import jsonschema


def main():
    exe, schema_path = sys.argv[1], sys.argv[2]
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    cases = [
        (["Check/Check.vbp"], 3),
        (["--fail-on", "procedure.complexity>1", "Sample/Sample.vbp"], 3),
        (["Group/Broken.vbg"], 3),
        (["--select", "encoding", "Model/Model.vbp"], 0),
    ]
    failures = 0
    for args, expected_exit in cases:
        run = subprocess.run([exe, "check", "--format", "sarif", "--no-progress"] + args,
                             capture_output=True, text=True)
        name = " ".join(args)
        if run.returncode != expected_exit:
            print(f"{name}: exit {run.returncode}, expected {expected_exit}\n{run.stderr}")
            failures += 1
            continue
        log = json.loads(run.stdout)
        errors = sorted(validator.iter_errors(log), key=lambda e: list(e.path))
        for error in errors:
            print(f"{name}: {'/'.join(map(str, error.path))}: {error.message}")
        failures += len(errors)
        run0 = log["runs"][0]
        rules = [r["id"] for r in run0["tool"]["driver"]["rules"]]
        for result in run0["results"]:
            if rules[result["ruleIndex"]] != result["ruleId"]:
                print(f"{name}: result of {result['ruleId']} points at rule {result['ruleIndex']}")
                failures += 1
        if expected_exit == 3 and not run0["results"]:
            print(f"{name}: a failed check without results")
            failures += 1
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
