# Sourced by run.sh and test.sh: the locale Wine runs Kesh under.
#
# zh_CN.UTF-8 (scripts/setup.sh generates it) gives Wine the ANSI code page 936 and lets
# it hand file names with Chinese characters to the program intact. Without it,
# zh_CN.GBK still gives code page 936, but Wine then cannot open such file names.
wine_locale() {
  if locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    echo zh_CN.UTF-8
  else
    echo zh_CN.GBK
  fi
}

# Exports LANG and LC_ALL for Wine; warns when Chinese file names will not open.
export_wine_locale() {
  local chosen
  chosen=$(wine_locale)
  if [ "$chosen" != zh_CN.UTF-8 ]; then
    echo "$1: locale zh_CN.UTF-8 is missing (scripts/setup.sh makes it): using $chosen," \
         "under which files with Chinese names cannot be opened" >&2
  fi
  export LANG=$chosen LC_ALL=$chosen
}
