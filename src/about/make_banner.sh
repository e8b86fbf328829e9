#!/usr/bin/env bash
# Draws the about window's banner (242 x 67 pixels, 24-bit BMP): the product name on a calm
# blue-grey gradient with a thin accent line. Run it again only to change the picture; the
# generated banner.bmp is kept in the repository so that the build needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
light=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
convert -size 242x67 gradient:'#dfe8f1'-'#a9bfd4' \
  -fill '#3c6e9a' -draw 'rectangle 0,60 242,62' \
  -font "$font" -pointsize 21 -fill '#ffffff' -annotate +13+34 'Velquor Trafimo' \
  -font "$font" -pointsize 21 -fill '#1f3f5e' -annotate +12+33 'Velquor Trafimo' \
  -font "$light" -pointsize 10 -fill '#2d5577' -annotate +13+51 'network traffic meter' \
  -type TrueColor BMP3:banner.bmp
