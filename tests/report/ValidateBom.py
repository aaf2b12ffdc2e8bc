#!/usr/bin/env python3
"""Checks quibex-report's CycloneDX output against the CycloneDX 1.5 schema,
and what the schema cannot say: every bom-ref is unique and every
dependency names a component of the bill."""
import json
import subprocess
import sys

import jsonschema

def main():
    exe, schema_path, fixtures = sys.argv[1:4]
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft7Validator.check_schema(schema)
    validator = jsonschema.Draft7Validator(schema)
    failures = 0
    for project in ("Inventory.vbg", "App/App.vbp", "Controls/Controls.vbp"):
        run = subprocess.run([exe, "inventory", "--format", "cyclonedx", project], cwd=fixtures,
                             capture_output=True, text=True)
        problems = []
        if run.returncode != 0:
            problems.append(f"exit code {run.returncode}: {run.stderr}")
        else:
            bom = json.loads(run.stdout)
            problems += [f"{'/'.join(map(str, e.path))}: {e.message}" for e in validator.iter_errors(bom)]
            refs = [bom["metadata"]["component"]["bom-ref"]] + [c["bom-ref"] for c in bom.get("components", [])]
            if len(refs) != len(set(refs)):
                problems.append(f"bom-refs are not unique: {refs}")
            for dependency in bom.get("dependencies", []):
                for ref in [dependency["ref"]] + dependency.get("dependsOn", []):
                    if ref not in refs:
                        problems.append(f"dependency on unknown bom-ref {ref}")
            if {d["ref"] for d in bom.get("dependencies", [])} != set(refs):
                problems.append("not every component has its dependency entry")
        for p in problems:
            print(f"{project}: {p}")
        failures += len(problems)
        print(f"{project}: {'valid' if not problems else 'INVALID'}")
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
