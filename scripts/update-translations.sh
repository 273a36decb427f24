#!/usr/bin/env bash
# Brings translations/morvane_en.ts up to date with the window's texts: lupdate reads every
# Ui::tr(...) and QT_TRANSLATE_NOOP("morvane::Ui", ...) under src/ui, adds the new Russian
# texts as unfinished and drops the ones no longer used. Fill the new <translation>s in
# (Qt Linguist: linguist translations/morvane_en.ts; any editor; or
# scripts/fill-translations.py with a table of Russian -> English) and build: the tests
# Translation.* (ui_translation_tests) name every text still without an English one.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lupdate="${LUPDATE:-}"
if [ -z "$lupdate" ]; then
  for candidate in /usr/lib/qt6/bin/lupdate "$(command -v lupdate6 || true)" "$(command -v lupdate || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then lupdate="$candidate"; break; fi
  done
fi
[ -n "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools (scripts/install-deps.sh)" >&2; exit 1; }

cd "$root"
# The options here are the ones the test runs lupdate with (tests/ui/TranslationTest.cpp).
"$lupdate" -silent -locations none -no-obsolete -source-language ru -target-language en \
  -I src -extensions cpp,h src/ui -ts translations/morvane_en.ts
grep -c 'type="unfinished"' translations/morvane_en.ts | sed 's/^/texts without a translation: /' || true
