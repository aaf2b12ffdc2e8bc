#!/usr/bin/env python3
"""Checks quibex-report's CycloneDX output against the CycloneDX schemas of
both versions it writes (1.6 by default, 1.5 with --spec-version 1.5), and
what a schema cannot say: every bom-ref is unique and every dependency names
a component of the bill. Also makes sure each schema still refuses a bill
with a component type CycloneDX does not know, so a schema that lets
anything through cannot pass unnoticed.
Usage: ValidateBom.py QUIBEX_REPORT SCHEMA_FOLDER FIXTURES"""
import copy
import json
import os
import subprocess
import sys

import jsonschema

# The bill schemas refer to these two by relative $ref; they lie beside them.
REFERENCED_SCHEMAS = ("spdx.schema.json", "jsf-0.82.schema.json")
VERSIONS = {"1.6": [], "1.5": ["--spec-version", "1.5"]}

def load_schema(path):
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft7Validator.check_schema(schema)
    return schema

def no_download(uri):
    raise jsonschema.RefResolutionError(f"{uri} is not one of the local schemas")

def bom_validator(folder, version):
    """A validator for the bill schema of `version` whose $refs resolve to the
    local copies of the schemas it names, never to the network."""
    schema = load_schema(os.path.join(folder, f"bom-{version}.schema.json"))
    store = {schema["$id"]: schema}
    for name in REFERENCED_SCHEMAS:
        referenced = load_schema(os.path.join(folder, name))
        store[referenced["$id"]] = referenced
    resolver = jsonschema.RefResolver.from_schema(schema, store=store,
                                                  handlers={"http": no_download, "https": no_download})
    return jsonschema.Draft7Validator(schema, resolver=resolver)

def problems_of(bom, validator, version):
    problems = [f"{'/'.join(map(str, e.path))}: {e.message}" for e in validator.iter_errors(bom)]
    if bom.get("specVersion") != version:
        problems.append(f"specVersion is {bom.get('specVersion')!r}, not {version!r}")
    refs = [bom["metadata"]["component"]["bom-ref"]] + [c["bom-ref"] for c in bom.get("components", [])]
    if len(refs) != len(set(refs)):
        problems.append(f"bom-refs are not unique: {refs}")
    for dependency in bom.get("dependencies", []):
        for ref in [dependency["ref"]] + dependency.get("dependsOn", []):
            if ref not in refs:
                problems.append(f"dependency on unknown bom-ref {ref}")
    if {d["ref"] for d in bom.get("dependencies", [])} != set(refs):
        problems.append("not every component has its dependency entry")
    return problems

def main():
    exe, schemas, fixtures = sys.argv[1:4]
    failures = 0
    for version, args in VERSIONS.items():
        validator = bom_validator(schemas, version)
        for project in ("Inventory.vbg", "App/App.vbp", "Controls/Controls.vbp"):
            run = subprocess.run([exe, "inventory", "--format", "cyclonedx"] + args + [project], cwd=fixtures,
                                 capture_output=True, text=True)
            if run.returncode != 0:
                problems = [f"exit code {run.returncode}: {run.stderr}"]
            else:
                bom = json.loads(run.stdout)
                problems = problems_of(bom, validator, version)
                if not problems and bom.get("components"):
                    wrong = copy.deepcopy(bom)
                    wrong["components"][0]["type"] = "vb6-project"
                    if validator.is_valid(wrong):
                        problems.append("the schema takes a component of type 'vb6-project'")
            for p in problems:
                print(f"{version} {project}: {p}")
            failures += len(problems)
            print(f"{version} {project}: {'valid' if not problems else 'INVALID'}")
    return 1 if failures else 0

if __name__ == "__main__":
    sys.exit(main())
