#!/usr/bin/env bash
# Creates (once) a quiet Wine prefix at $1 and waits until Wine has finished setting it up, so
# that the first program started in it does not see first-run output. Gives the prefix, also one
# made earlier, the fonts a program finds on Windows.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f "$prefix/system.reg" || ! -f "$prefix/.trafimo-ready" ]]; then
  mkdir -p "$prefix"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  touch "$prefix/.trafimo-ready"
fi
# Debian's Wine 8 looks for its own fonts in /usr/share/wine/../fonts, not in /usr/share/wine/fonts
# where fonts-wine puts them. Without them Marlett (the glyphs of the caption buttons), MS Sans
# Serif and Tahoma all fall back to Liberation Sans: captions show "r" for the close button and
# texts are measured wider than on Windows. The prefix's Fonts folder gets them, and Arial is
# Liberation Sans, whose letters are as wide.
if [[ ! -f "$prefix/.trafimo-fonts" ]]; then
  cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Arial \
    /d 'Liberation Sans' /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$prefix/.trafimo-fonts"
fi
