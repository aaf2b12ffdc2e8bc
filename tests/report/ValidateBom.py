#!/usr/bin/env python3
"""Checks quibex-report's CycloneDX output against the CycloneDX 1.5 schema,
and what the schema cannot say: every bom-ref is unique and every
dependency names a component of the bill."""
import json
import os
import subprocess
import sys

import jsonschema

# The bill schema refers to these two by relative $ref; they lie beside it.
REFERENCED_SCHEMAS = ("spdx.schema.json", "jsf-0.82.schema.json")

def load_schema(path):
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft7Validator.check_schema(schema)
    return schema

def no_download(uri):
    raise jsonschema.RefResolutionError(f"{uri} is not one of the local schemas")

def bom_validator(schema_path):
    """A validator for the bill schema whose $refs resolve to the local copies
    of the schemas it names, never to the network."""
    schema = load_schema(schema_path)
    folder = os.path.dirname(os.path.abspath(schema_path))
    store = {schema["$id"]: schema}
    for name in REFERENCED_SCHEMAS:
        referenced = load_schema(os.path.join(folder, name))
        store[referenced["$id"]] = referenced
    resolver = jsonschema.RefResolver.from_schema(schema, store=store,
                                                  handlers={"http": no_download, "https": no_download})
    return jsonschema.Draft7Validator(schema, resolver=resolver)

def main():
    exe, schema_path, fixtures = sys.argv[1:4]
    validator = bom_validator(schema_path)
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
