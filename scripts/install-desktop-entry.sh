#!/usr/bin/env bash
# Puts Kivro into the desktop's application menu for the current user: a desktop entry that
# starts the program in the given program folder (default: this checkout's build/bin), and the
# program icon. Safe to run again; it rewrites both, so a moved checkout is picked up.
#   bash scripts/install-desktop-entry.sh [program folder]
set -euo pipefail
cd "$(dirname "$0")/.."
program_dir="$(cd "${1:-build/bin}" && pwd)"
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
apps="$data_home/applications"
icons="$data_home/icons/hicolor"

mkdir -p "$apps" "$icons/scalable/apps" "$icons/16x16/apps" "$icons/32x32/apps" "$icons/48x48/apps"
cp resources/icons/kivro.svg "$icons/scalable/apps/tesma-kivro.svg"
for size in 16 32 48; do
  cp "resources/icons/AAA-$size.png" "$icons/${size}x${size}/apps/tesma-kivro.png"
done

# Exec quoting of the desktop entry format: the path in double quotes, with \ " ` $ escaped by a
# backslash, every backslash then doubled once more as in any string value of the file, and "%"
# written "%%" (a lone "%" starts a field code).
exec_path="$program_dir/kivro"
quoted="$(printf '%s' "$exec_path" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')"
string_path="$(printf '%s' "$exec_path" | sed -e 's/\\/\\\\/g')"

entry="$apps/tesma-kivro.desktop"
tmp_entry="$(mktemp "$apps/.tesma-kivro.XXXXXX")"
cat > "$tmp_entry" <<DESKTOP
[Desktop Entry]
Type=Application
Version=1.0
Name=Tesma Kivro Pro
GenericName=File Splitter and Joiner
Comment=Join files byte for byte or split them into numbered pieces
Keywords=split;join;pack;unpack;video;mpeg;
Icon=tesma-kivro
TryExec=$string_path
Exec="$quoted"
Terminal=false
Categories=Utility;Archiving;
StartupWMClass=kivro
DESKTOP
chmod 644 "$tmp_entry"
mv -f "$tmp_entry" "$entry"

# Menus and icon caches pick the files up by themselves; refresh the caches where the tools exist.
if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$apps" 2>/dev/null || true
fi
if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -e "$icons/index.theme" ]; then
  gtk-update-icon-cache -q "$icons" 2>/dev/null || true
fi
echo "Kivro is in the application menu: $entry"
