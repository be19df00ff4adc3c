#!/usr/bin/env python3
"""Fails when a catalog in translations/ lacks a text the sources show, holds one unfinished, or
drops a placeholder of its source (in any plural form), or keeps a text with English words as its
source has it: a new text cannot ship untranslated. Line
breaks are the language's own: a translation may break its lines elsewhere. Also fails
when the languages in translations/LANGUAGES and the catalogs differ, or when the desktop entry
or the metainfo leaves a carried language out.

The sources' texts are extracted anew by lupdate into a scratch catalog (in the folder given as
the first argument), exactly as scripts/catalogs.sh finds them, and compared with each catalog."""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Words a translation may keep as the source has them: the program's name and units.
NAMES = {"QZ", "Updater", "PID", "min", "kB", "B"}
LUPDATE = "/usr/lib/qt6/bin/lupdate"


def messages(path):
    """(context, source, disambiguation) -> (the translation's forms, its type)."""
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for m in context.iter("message"):
            t = m.find("translation")
            forms = [f.text or "" for f in t.iter("numerusform")] if m.get("numerus") == "yes" else [t.text or ""]
            found[(name, m.findtext("source"), m.findtext("comment"))] = (forms, t.get("type"))
    return found


def carried():
    with open(os.path.join(ROOT, "translations", "LANGUAGES"), encoding="utf-8") as f:
        return [line.strip() for line in f if re.match(r"[a-z]", line)]


def places(languages, catalogs):
    """Where a carried language is missing: its catalog, the desktop entry, the metainfo."""
    problems = []
    named = sorted(re.fullmatch(r"qz7-updater_(.+)\.ts", c).group(1) for c in catalogs)
    for code in sorted(set(languages) ^ set(named)):
        problems.append(f"translations/LANGUAGES and the catalogs differ on {code!r}")
    with open(os.path.join(ROOT, "resources", "qz7-updater.desktop"), encoding="utf-8") as f:
        desktop = f.read()
    metainfo = ET.parse(os.path.join(ROOT, "resources", "io.github.qz7updater.QZ7Updater.metainfo.xml")).getroot()
    lang = "{http://www.w3.org/XML/1998/namespace}lang"
    listed = {l.text for l in metainfo.iter("lang")}
    for code in languages:
        for key in ("GenericName", "Comment", "Keywords"):
            if not re.search(rf"^{key}\[{code}\]=\S", desktop, re.M):
                problems.append(f"qz7-updater.desktop: no {key}[{code}]")
        for path in ("summary", "description/p", "screenshots/screenshot/caption"):
            plain = metainfo.findall(path)
            translated = [e for e in metainfo.findall(path) if e.get(lang) == code]
            if len([e for e in plain if e.get(lang) is None]) != len(translated):
                problems.append(f"metainfo: {path} not all in {code!r}")
        if code not in listed:
            problems.append(f"metainfo: {code!r} not in <languages>")
    return problems


def main():
    scratch = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    os.makedirs(scratch, exist_ok=True)
    extracted = os.path.join(scratch, "sources.ts")
    subprocess.run([LUPDATE, "-silent", "-tr-function-alias", "translate+=Tr,translate+=TrN", "-locations", "none", "-I", ROOT,
                    "core", "run", "terminal", "window", "app", "controller", "-ts", extracted],
                   cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    sources = set(messages(extracted))
    os.remove(extracted)
    catalogs = sorted(f for f in os.listdir(os.path.join(ROOT, "translations")) if f.endswith(".ts"))
    problems = places(carried(), catalogs)
    for name in catalogs:
        held = messages(os.path.join(ROOT, "translations", name))
        for key in sorted(sources):
            context, source, _ = key
            if key not in held:
                problems.append(f"{name}: missing [{context}] {source!r} (run scripts/catalogs.sh, then translate)")
                continue
            forms, kind = held[key]
            if kind in ("unfinished", "vanished", "obsolete") or not all(f.strip() for f in forms):
                problems.append(f"{name}: unfinished [{context}] {source!r}")
                continue
            # A text left as its source is English left, unless it holds no word but names and
            # units ("%1 s", "%1 (PID %2)").
            if source in forms and set(re.findall(r"[A-Za-z]{2,}", re.sub(r"%[\dn]", "", source))) - NAMES:
                problems.append(f"{name}: English left in [{context}] {source!r}")
            # A plural form may leave the count out ("once"), never another placeholder.
            wanted = sorted(re.findall(r"%\d", source))
            for text in forms:
                if sorted(re.findall(r"%\d", text)) != wanted:
                    problems.append(f"{name}: placeholders differ in [{context}] {source!r}")
                    break
    for p in problems:
        print(p)
    print(f"check_catalogs: {len(catalogs)} catalogs, {len(sources)} texts each, {len(problems)} problems")
    return 1 if problems or not catalogs else 0


if __name__ == "__main__":
    sys.exit(main())
