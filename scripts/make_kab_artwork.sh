#!/usr/bin/env bash
# Draws kab's icon (KAB) and splash bitmap (KABBMP290) with ImageMagick:
# the seven octave bands of a porous absorber as bars, low absorption at
# 125 Hz rising towards 8 kHz. Run it from the source folder after changing
# the artwork; the PNGs it writes are kept in resources/kab/.
set -eu
out=resources/kab
coefficients=(0.10 0.28 0.62 0.88 0.96 0.94 0.90)
bands=(125 250 500 1k 2k 4k 8k)

# Splash: 480 x 240, white, a frame, the title and the bars with their bands.
args=(-size 480x240 xc:white -stroke '#404040' -fill none -draw "rectangle 1,1 478,238")
args+=(-stroke none -fill '#202020' -font Liberation-Sans-Bold -pointsize 22
       -draw "text 24,40 'Korvane Absorber Database'")
args+=(-font Liberation-Sans -pointsize 14 -draw "text 24,62 'Version 2.90'")
args+=(-stroke '#808080' -draw "line 40,206 440,206")
for i in "${!coefficients[@]}"; do
  x=$((60 + i * 54))
  h=$(awk -v c="${coefficients[$i]}" 'BEGIN { printf "%d", c * 120 }')
  args+=(-stroke none -fill '#3060A0' -draw "rectangle $x,$((206 - h)) $((x + 30)),205")
  args+=(-fill '#202020' -pointsize 12 -draw "text $((x + 6)),224 '${bands[$i]}'")
done
convert "${args[@]}" -strip -type TrueColor "PNG24:$out/bitmaps/KABBMP290.png"

# Icon: 32 x 32, three rising bars on white.
convert -size 32x32 xc:white -stroke '#404040' -fill none -draw "rectangle 0,0 31,31" \
  -stroke none -fill '#3060A0' -draw "rectangle 5,20 10,27" -draw "rectangle 13,12 18,27" \
  -draw "rectangle 21,6 26,27" -strip -type TrueColor "PNG24:$out/icons/KAB.png"
