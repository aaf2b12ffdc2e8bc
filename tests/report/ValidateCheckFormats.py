"""Runs quibex-report check in one format on the fixtures and holds each
report to its layout: SARIF 2.1.0, SonarQube's generic issues and GitLab's
Code Climate issues against their schemas in tests/schemas, JUnit XML read
by a real XML parser. Every report must also carry exactly the findings of
'--format json' of the same run. Usage (in tests/data):
ValidateCheckFormats.py FORMAT QUIBEX_REPORT SCHEMA_FOLDER"""

import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import jsonschema

SCHEMAS = {
    "sarif": "sarif-schema-2.1.0.json",
    "sonarqube": "sonarqube-generic-issues.schema.json",
    "codeclimate": "gitlab-codequality.schema.json",
}

# Arguments, and the exit code expected.
CASES = [
    (["Check/Check.vbp"], 3),
    (["--fail-on", "procedure.complexity>1", "Sample/Sample.vbp"], 3),
    (["Group/Broken.vbg"], 3),
    (["--select", "encoding", "Model/Model.vbp"], 0),
]


def run_check(exe, fmt, args):
    return subprocess.run([exe, "check", "--format", fmt, "--no-progress"] + args, capture_output=True, text=True)


def rows(findings):
    """(rule, path with "/", line) of every finding of the JSON report, with their counts."""
    out = {}
    for f in findings:
        key = (f["rule"], f["path"].replace("\\", "/"), f["line"])
        out[key] = out.get(key, 0) + 1
    return out


def tally(keys):
    out = {}
    for key in keys:
        out[key] = out.get(key, 0) + 1
    return out


def unique(values, what):
    return [] if len(values) == len(set(values)) else [f"{what} are not unique"]


def check_sarif(text, findings):
    log = json.loads(text)
    problems = []
    run = log["runs"][0]
    if len(log["runs"]) != 1:
        problems.append("more than one run")
    rules = run["tool"]["driver"]["rules"]
    ids = [r["id"] for r in rules]
    for rule in rules:
        if "Bad:" not in rule["help"]["text"] or not rule["helpUri"].endswith("#" + rule["id"]):
            problems.append(f"rule {rule['id']} has no help with examples or no README anchor")
    for result in run["results"]:
        if ids[result["ruleIndex"]] != result["ruleId"]:
            problems.append(f"result of {result['ruleId']} points at rule {result['ruleIndex']}")
    problems += unique([r["partialFingerprints"]["quibexFinding/v1"] for r in run["results"]], "fingerprints")
    # A finding about the whole file (line 0) is shown on its first line.
    got = tally((r["ruleId"], r["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
                 r["locations"][0]["physicalLocation"]["region"]["startLine"]) for r in run["results"])
    want = tally((f["rule"], f["path"].replace("\\", "/"), max(f["line"], 1)) for f in findings)
    if got != want:
        problems.append(f"results {got} are not the findings {want}")
    return problems


def check_sonarqube(text, findings):
    report = json.loads(text)
    ids = [r["id"] for r in report["rules"]]
    problems = unique(ids, "rule ids")
    problems += [f"issue of rule {i['ruleId']} that the report does not describe"
                 for i in report["issues"] if i["ruleId"] not in ids]
    got = tally((i["ruleId"], i["primaryLocation"]["filePath"], i["primaryLocation"].get("textRange", {}).get("startLine", 0))
                for i in report["issues"])
    if got != rows(findings):
        problems.append(f"issues {got} are not the findings {rows(findings)}")
    return problems


def check_codeclimate(text, findings):
    issues = json.loads(text)
    problems = unique([i["fingerprint"] for i in issues], "fingerprints")
    got = tally((i["check_name"], i["location"]["path"], i["location"]["lines"]["begin"]) for i in issues)
    want = tally((f["rule"], f["path"].replace("\\", "/"), max(f["line"], 1)) for f in findings)
    if got != want:
        problems.append(f"issues {got} are not the findings {want}")
    return problems


def check_junit(text, findings):
    root = ElementTree.fromstring(text.encode("utf-8"))
    problems = []
    if root.tag != "testsuites":
        return [f"the root element is {root.tag}"]
    cases = root.findall("testsuite/testcase")
    failed = [c for c in cases if c.find("failure") is not None]
    if int(root.get("tests")) != len(cases) or int(root.get("failures")) != len(failed):
        problems.append("the totals of <testsuites> do not add up")
    files = None
    for suite in root.findall("testsuite"):
        names = [c.get("name") for c in suite.findall("testcase")]
        problems += unique(names, f"test cases of {suite.get('name')}")
        if files is None:
            files = set(names)
        elif set(names) != files:
            problems.append(f"suite {suite.get('name')} has other files than the first")
        if int(suite.get("tests")) != len(names):
            problems.append(f"suite {suite.get('name')} counts its tests wrong")
        if any(c.get("classname") != suite.get("name") for c in suite.findall("testcase")):
            problems.append(f"a case of {suite.get('name')} names another rule")
        help_uri = suite.find("properties/property[@name='help']")
        if help_uri is None or not help_uri.get("value").endswith("#" + suite.get("name")):
            problems.append(f"suite {suite.get('name')} has no link to its rule's help")
    # One failed case per rule and file with an error; each finding shown in its case.
    errors = {(f["rule"], f["path"]) for f in findings if f["level"] == "error"}
    got = {(c.get("classname"), c.get("name")) for c in failed}
    if got != errors:
        problems.append(f"failed cases {sorted(got)} are not the files with errors {sorted(errors)}")
    by_case = {(c.get("classname"), c.get("name")): c for c in cases}
    for f in findings:
        case = by_case.get((f["rule"], f["path"]))
        node = None if case is None else case.find("failure" if f["level"] == "error" else "system-out")
        if node is None or f["message"] not in (node.text or ""):
            problems.append(f"the {f['level']} of {f['rule']} in {f['path']} is not in its test case")
    return problems


CHECKS = {"sarif": check_sarif, "sonarqube": check_sonarqube, "codeclimate": check_codeclimate,
          "junit": check_junit}


def main():
    fmt, exe, schemas = sys.argv[1], sys.argv[2], sys.argv[3]
    validator = None
    if fmt in SCHEMAS:
        with open(os.path.join(schemas, SCHEMAS[fmt]), encoding="utf-8") as f:
            schema = json.load(f)
        jsonschema.Draft7Validator.check_schema(schema)
        validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.FormatChecker())
    failures = 0
    for args, expected_exit in CASES:
        name = " ".join(args)
        run = run_check(exe, fmt, args)
        reference = run_check(exe, "json", args)
        if run.returncode != expected_exit or reference.returncode != expected_exit:
            print(f"{name}: exit {run.returncode}, expected {expected_exit}\n{run.stderr}")
            failures += 1
            continue
        problems = []
        if validator:
            errors = sorted(validator.iter_errors(json.loads(run.stdout)), key=lambda e: list(e.path))
            problems += [f"{'/'.join(map(str, e.path))}: {e.message}" for e in errors]
        findings = json.loads(reference.stdout)["findings"]
        if expected_exit == 3 and not findings:
            problems.append("a failed check without findings")
        problems += CHECKS[fmt](run.stdout, findings)
        for p in problems:
            print(f"{name}: {p}")
        failures += len(problems)
        print(f"{fmt} {name}: {'valid' if not problems else 'INVALID'}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
