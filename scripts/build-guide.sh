#!/usr/bin/env bash
# Makes the guide's pages from its Markdown, which stays the source: <out>/guide.ja.html and
# <out>/guide.html, each one self-contained file (docs/guide.css and the screenshots embedded) with
# a table of contents. pandoc (Debian package pandoc) converts; scripts/check-guide.sh checks them.
# Usage: build-guide.sh <out folder>
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: build-guide.sh <out folder>}
mkdir -p "$out"
command -v pandoc >/dev/null || { echo "build-guide: pandoc is missing (Debian package pandoc)" >&2; exit 1; }

# language, Markdown, page, title of the table of contents
for page in "ja guide.ja.md guide.ja.html 目次" "en guide.md guide.html Contents"; do
  read -r lang source target toc_title <<<"$page"
  # The guides link to each other as .md; as pages they link to each other's page. The first
  # heading becomes the page's title; GitHub's heading ids keep the Markdown's links working.
  sed -e 's/(guide\.ja\.md)/(guide.ja.html)/g' -e 's/(guide\.md)/(guide.html)/g' "docs/$source" |
    pandoc --from gfm+east_asian_line_breaks --to html5 --standalone --self-contained --shift-heading-level-by=-1 \
      --toc --toc-depth=2 --variable lang="$lang" --metadata toc-title="$toc_title" \
      --css docs/guide.css --resource-path docs --output "$out/$target"
done
