#!/usr/bin/env python3
"""An outside AI client of a running Corvessa instance, speaking only the bridge's folder
protocol (standard library only).

It finds the instance by its presence file, reads the project, validates, sets and undoes a
change, then runs one transaction to finalize and another to rollback. After the set it writes
"set-done.json" into the work folder and waits for "continue" there, so that the host can check
the MIDI of the new song meanwhile. On success it writes "result.json" and exits 0; any
unexpected answer ends it with a message on standard error and exit code 1.

    bridge_client.py --root <instances folder> --work <folder> [--product Corvessa]
"""

import argparse
import copy
import json
import os
import sys
import time
import uuid

TIMEOUT_S = 30.0


def now_ms():
    return int(time.time() * 1000)


def strict_loads(text):
    def refuse(constant):
        raise ValueError("not JSON: " + constant)

    return json.loads(text, parse_constant=refuse)


class ProtocolError(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise ProtocolError(message)


def find_instance(root, product):
    """The folder and presence of the one live instance of the product."""
    deadline = time.time() + TIMEOUT_S
    while time.time() < deadline:
        live = []
        for name in sorted(os.listdir(root)) if os.path.isdir(root) else []:
            path = os.path.join(root, name, "presence.json")
            try:
                with open(path, encoding="utf-8") as f:
                    presence = strict_loads(f.read())
            except (OSError, ValueError):
                continue
            if (presence.get("format") == "velmar-mcp-instance" and presence.get("version") == 1
                    and presence.get("product") == product and presence.get("leaseUntilMs", 0) > now_ms()):
                live.append((os.path.join(root, name), presence))
        if len(live) == 1:
            return live[0]
        expect(len(live) <= 1, "more than one live instance: %s" % [p["instanceId"] for _, p in live])
        time.sleep(0.05)
    raise ProtocolError("no live %s instance below %s" % (product, root))


class Bridge:
    def __init__(self, folder, presence):
        self.instance_id = presence["instanceId"]
        self.requests = os.path.join(folder, "requests")
        self.responses = os.path.join(folder, "responses")

    def call(self, operation, **fields):
        request_id = "py-" + uuid.uuid4().hex
        request = {
            "format": "velmar-mcp-request",
            "version": 1,
            "requestId": request_id,
            "instanceId": self.instance_id,
            "operation": operation,
            "createdAtMs": now_ms(),
            "expiresAtMs": now_ms() + 60000,
        }
        request.update(fields)

        # Written whole under another name, then renamed: the bridge only takes "*.json" files.
        staging = os.path.join(self.requests, request_id + ".tmp")
        with open(staging, "w", encoding="utf-8") as f:
            json.dump(request, f)
        os.replace(staging, os.path.join(self.requests, request_id + ".json"))

        path = os.path.join(self.responses, request_id + ".json")
        deadline = time.time() + TIMEOUT_S
        while not os.path.exists(path):
            expect(time.time() < deadline, "no response to %s" % operation)
            time.sleep(0.01)

        with open(path, encoding="utf-8") as f:
            response = strict_loads(f.read())
        os.remove(path)

        expect(response["format"] == "velmar-mcp-response" and response["version"] == 1, "not a response: %s" % response)
        expect(response["requestId"] == request_id and response["instanceId"] == self.instance_id,
               "response for another request: %s" % response)
        expect(response["operation"] == operation, "response for another operation: %s" % response)
        return response

    def ok(self, operation, changed, **fields):
        response = self.call(operation, **fields)
        expect(response["ok"] is True,
               "%s failed: %s %s" % (operation, response["errorCode"], response["errorMessage"]))
        expect(response["contentChanged"] is changed,
               "%s: contentChanged %s, expected %s" % (operation, response["contentChanged"], changed))
        return response


def with_progression(project, progression):
    """The exported project with its first section's progression replaced; everything else
    stays as the bridge exported it, which is the form set_json expects."""
    changed = copy.deepcopy(project)
    changed["sections"][0]["progression"] = progression
    return changed


def wait_for(path):
    deadline = time.time() + 60.0
    while not os.path.exists(path):
        expect(time.time() < deadline, "the host did not answer: " + path)
        time.sleep(0.01)


def run(root, work, product):
    folder, presence = find_instance(root, product)
    bridge = Bridge(folder, presence)
    steps = []

    current = bridge.ok("get_json", False)
    original, revision = current["project"], current["revision"]
    # The presence may be up to five seconds old; the revision only ever grows.
    expect(revision >= presence["revision"], "get_json answered an older revision than the presence")
    steps.append(("get_json", revision))

    # A dry run: the answer is the canonical candidate (keys sorted), nothing changes.
    new_song = with_progression(original, "Am")
    reordered = dict(reversed(list(new_song.items())))
    checked = bridge.ok("validate_json", False, project=reordered)
    expect(checked["project"] == new_song and list(checked["project"]) == sorted(new_song), "validate_json answer")
    expect(checked["revision"] == revision, "validate_json moved the revision")
    refused = bridge.call("validate_json", project=dict(original, sections=[]))
    expect(refused["ok"] is False and refused["errorCode"] == "VALIDATION_FAILED", "an empty song passed: %s" % refused)

    changed = bridge.ok("set_json", True, project=new_song, expectedRevision=revision, changeId="py-set-1")
    expect(changed["revision"] == revision + 1 and changed["project"] == new_song, "set_json answer")
    stale = bridge.call("set_json", project=original, expectedRevision=revision, changeId="py-set-2")
    expect(stale["errorCode"] == "REVISION_CONFLICT", "a stale revision was taken: %s" % stale)
    revision = changed["revision"]
    steps.append(("set_json", revision))

    with open(os.path.join(work, "set-done.json"), "w", encoding="utf-8") as f:
        json.dump({"revision": revision, "progression": "Am"}, f)
    wait_for(os.path.join(work, "continue"))

    undone = bridge.ok("undo", True, expectedRevision=revision, changeId="py-undo-1")
    expect(undone["project"] == original and undone["revision"] == revision + 1, "undo answer")
    revision = undone["revision"]
    steps.append(("undo", revision))

    # A transaction carried through to finalize.
    kept = with_progression(original, "F")
    bridge.ok("prepare_set", False, project=kept, expectedRevision=revision, transactionId="py-t1", changeId="py-t1-c")
    status = bridge.ok("get_transaction_status", False)["payload"]
    expect(status["phase"] == "PREPARED" and status["nextJson"] == kept, "status after prepare_set: %s" % status["phase"])
    committed = bridge.ok("commit", True, transactionId="py-t1")
    expect(committed["project"] == kept and committed["revision"] == revision + 1, "commit answer")
    bridge.ok("finalize", False, transactionId="py-t1", changeId="py-t1-c")
    expect(bridge.ok("get_transaction_status", False)["payload"]["phase"] == "IDLE", "open after finalize")
    revision = committed["revision"]
    steps.append(("finalize", revision))

    # A transaction taken back after its commit.
    bridge.ok("prepare_set", False, project=with_progression(original, "G"), expectedRevision=revision,
              transactionId="py-t2", changeId="py-t2-c")
    bridge.ok("commit", True, transactionId="py-t2")
    rolled_back = bridge.ok("rollback", True, transactionId="py-t2")
    expect(rolled_back["project"] == kept and rolled_back["revision"] == revision + 2, "rollback answer")
    again = bridge.ok("rollback", False, transactionId="py-t2")
    expect(again["revision"] == rolled_back["revision"], "a repeated rollback changed something")
    steps.append(("rollback", rolled_back["revision"]))

    final = bridge.ok("get_json", False)
    expect(final["project"] == kept and final["revision"] == rolled_back["revision"], "final project")

    with open(os.path.join(work, "result.json"), "w", encoding="utf-8") as f:
        json.dump({"instanceId": bridge.instance_id, "steps": steps}, f)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", required=True, help="the bridge's instances folder")
    parser.add_argument("--work", required=True, help="folder for the hand-over with the host")
    parser.add_argument("--product", default="Corvessa")
    args = parser.parse_args()

    try:
        run(args.root, args.work, args.product)
    except (ProtocolError, KeyError, OSError, ValueError) as error:
        print("bridge client: %s: %s" % (type(error).__name__, error), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
