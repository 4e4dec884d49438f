# Sourced by run.sh and test.sh (and run by the end-to-end harness): gives the Wine
# prefix in $WINEPREFIX an outline Chinese font for every face Kesh's windows ask for.
#
# Without it Wine maps the Windows UI faces (MS Shell Dlg, SimSun, Tahoma, ...) to
# whatever fontconfig offers; with fonts-wqy-zenhei that is a 9-pixel bitmap strike that
# breaks Chinese strokes and lacks glyphs such as Ⅰ and ㈠. The font chosen must hold
# Latin letters and digits too: the document's faces are replaced as well.
#
# Idempotent: the registry file is written into the prefix and imported only when it
# differs from the one imported last, so an existing prefix is brought up to date at
# the next run without being remade.

# Outline CJK families with Latin glyphs, best first at menu sizes (9-12 pixels).
KESH_UI_FONT_CHOICES=("Noto Sans CJK SC" "WenQuanYi Micro Hei")

# The faces that get the font: the Windows UI faces, the faces the resources and the
# painter name, and their Chinese names (Windows programs ask for either).
KESH_REPLACED_FACES=(
  "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Sans Serif" "Microsoft Sans Serif"
  "SimSun" "宋体" "NSimSun" "新宋体" "SimHei" "黑体" "KaiTi" "楷体" "FangSong" "仿宋"
  "Microsoft YaHei" "微软雅黑" "Microsoft YaHei UI" "方正小标宋简体"
)

# The first installed family of KESH_UI_FONT_CHOICES (or $KESH_UI_FONT); empty if none.
wine_ui_font() {
  local family
  for family in ${KESH_UI_FONT:+"$KESH_UI_FONT"} "${KESH_UI_FONT_CHOICES[@]}"; do
    if fc-list ":family=$family" family 2>/dev/null | grep -q .; then
      echo "$family"
      return 0
    fi
  done
}

# Writes the registry file for `family` to stdout (UTF-8; converted to UTF-16 on import).
wine_fonts_reg() {
  local family=$1 face key
  echo 'Windows Registry Editor Version 5.00'
  for key in 'HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements' \
             'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'; do
    printf '\n[%s]\n' "$key"
    for face in "${KESH_REPLACED_FACES[@]}"; do
      printf '"%s"="%s"\n' "$face" "$family"
    done
  done
}

# Brings $WINEPREFIX's font settings up to date; $1 names the caller in messages.
# Returns 0 also when no suitable font is installed (Kesh then runs with Wine's defaults).
wine_fonts_configure() {
  local who=${1:-wine_fonts} family reg=$WINEPREFIX/kesh-fonts.reg
  family=$(wine_ui_font)
  if [ -z "$family" ]; then
    echo "$who: none of the fonts ${KESH_UI_FONT_CHOICES[*]} is installed (scripts/setup.sh" \
         "installs them): menus and dialogs use Wine's default font" >&2
    return 0
  fi
  wine_fonts_reg "$family" | iconv -f UTF-8 -t UTF-16 >"$reg.new"
  if cmp -s "$reg.new" "$reg"; then
    rm -f "$reg.new"
    return 0
  fi
  # reg.exe reads the file as UTF-16 (iconv wrote a byte-order mark), so the Chinese face
  # names arrive intact whatever the locale.
  if wine reg import "$(winepath -w "$reg.new" 2>/dev/null)" </dev/null >/dev/null 2>&1; then
    mv "$reg.new" "$reg"
    echo "$who: Wine's UI and document faces now use $family"
  else
    rm -f "$reg.new"
    echo "$who: could not import the font settings into $WINEPREFIX" >&2
  fi
}
