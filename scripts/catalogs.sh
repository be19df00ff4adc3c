#!/usr/bin/env bash
# Brings the translators' catalogs (translations/*.ts) up to date with the texts in the sources:
# new texts come in unfinished, texts gone from the sources are marked obsolete. Run it after
# changing a text the operator sees, then translate what it reports as unfinished; the suite's
# catalog check fails while any text is untranslated.
# Usage: scripts/catalogs.sh [lupdate options...]
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || { echo "catalogs.sh: $lupdate is missing (Debian: qt6-l10n-tools)" >&2; exit 1; }
# core/ has no Qt: its texts go through Words::Tr and Words::TrN (read as
# QCoreApplication::translate, TrN's English singular as the disambiguation) and QT_TRANSLATE_NOOP.
# The catalogs: one for each language in translations/LANGUAGES.
catalogs=()
while read -r code; do
  case $code in [a-z]*) catalogs+=("translations/qz7-updater_$code.ts") ;; esac
done < translations/LANGUAGES
exec "$lupdate" -tr-function-alias translate+=Tr,translate+=TrN -locations relative -no-obsolete -I . "$@" \
  core run terminal window app controller -ts "${catalogs[@]}"
