#!/bin/sh
# Compares quillora-cli pdf with LibreOffice's PDF export for every sound OOXML
# file of the corpus: the page count of each file, and page by page the share
# of LibreOffice's words (3 or more letters, headers and footers included)
# found on the same page of ours (pdftotext, poppler-utils).
#
# Usage: bench/compare-lo.sh [BUILD_DIR] [CORPUS_DIR]
# Prints one line per file and the totals; the work files stay in $OUT (a
# temporary folder unless set). With the same $OUT a second run converts
# with LibreOffice again only the files it has no PDF of yet, so a run after
# a change of ours costs only our own export. $ONLY names a file listing the
# corpus files to compare, one a line; without it every sound file is.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
corpus=${2:-$here/../shared/corpus}
cli=$build/bin/quillora-cli
out=${OUT:-$(mktemp -d)}
mkdir -p "$out/q" "$out/lo" "$out/profile"
command -v soffice >/dev/null || { echo "soffice is missing" >&2; exit 1; }
command -v pdftotext >/dev/null || { echo "pdftotext (poppler-utils) is missing" >&2; exit 1; }

python3 - "$cli" "$corpus" "$out" "${ONLY:-}" <<'PY'
import csv, os, re, subprocess, sys, unicodedata
cli, corpus, out, only = sys.argv[1:5]
rows = list(csv.DictReader(open(os.path.join(corpus, 'MANIFEST.tsv'), encoding='utf-8'), delimiter='\t'))
files = [r['file'] for r in rows if r.get('format') == 'zip' and not (r.get('malformed') or '').strip()]
if only:
    wanted = set(l.strip() for l in open(only, encoding='utf-8') if l.strip())
    files = [f for f in files if f in wanted]
word = re.compile(r'[^\W\d_]{3,}')

def pages(pdf):
    try:
        text = subprocess.run(['pdftotext', '-enc', 'UTF-8', pdf, '-'], capture_output=True, timeout=60).stdout.decode('utf-8', 'replace')
    except Exception:
        return None
    # Compatibility forms (Arabic presentation forms, ligatures) are the
    # letters they show: which of them a PDF's text map names is no
    # difference of layout.
    text = unicodedata.normalize('NFKC', text)
    parts = text.split('\f')
    if parts and not parts[-1].strip():
        parts = parts[:-1]
    return [set(w.lower() for w in word.findall(p)) for p in parts]

same = 0; compared = 0; recalls = []
for f in files:
    src = os.path.join(corpus, f)
    key = re.sub(r'[^A-Za-z0-9._-]', '_', f)
    ours = os.path.join(out, 'q', key + '.pdf')
    lo_dir = os.path.join(out, 'lo', key)
    os.makedirs(lo_dir, exist_ok=True)
    if os.path.exists(ours):
        os.remove(ours)
    try:
        subprocess.run([cli, 'pdf', src, ours], capture_output=True, timeout=120)
    except subprocess.TimeoutExpired:
        pass
    if not os.path.exists(os.path.join(lo_dir, 'in.pdf')):
        # LibreOffice converts by extension: give it a .docx copy.
        tmp = os.path.join(lo_dir, 'in.docx')
        with open(src, 'rb') as a, open(tmp, 'wb') as b:
            b.write(a.read())
        try:
            subprocess.run(['soffice', '-env:UserInstallation=file://' + os.path.join(out, 'profile'), '--headless',
                            '--convert-to', 'pdf', '--outdir', lo_dir, tmp], capture_output=True, timeout=180)
        except subprocess.TimeoutExpired:
            pass
    lo = pages(os.path.join(lo_dir, 'in.pdf')) if os.path.exists(os.path.join(lo_dir, 'in.pdf')) else None
    q = pages(ours) if os.path.exists(ours) else None
    if lo is None:
        print('%-70s LibreOffice failed' % f); continue
    compared += 1
    if q is None:
        print('%-70s ours failed (LO %d pages)' % (f, len(lo))); recalls += [0.0] * len(lo); continue
    if len(q) == len(lo):
        same += 1
    file_recalls = []
    for k, words in enumerate(lo):
        if not words:
            continue
        mine = q[k] if k < len(q) else set()
        file_recalls.append(len(words & mine) / len(words))
    recalls += file_recalls
    mean = sum(file_recalls) / len(file_recalls) if file_recalls else 1.0
    print('%-70s pages %3d / LO %3d  recall %.3f' % (f, len(q), len(lo), mean))
print()
print('files compared: %d' % compared)
print('same page count: %d (%.1f %%)' % (same, 100.0 * same / max(1, compared)))
print('mean word recall per page: %.3f over %d pages' % (sum(recalls) / max(1, len(recalls)), len(recalls)))
PY
