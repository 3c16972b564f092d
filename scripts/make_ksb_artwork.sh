#!/usr/bin/env bash
# Draws ksb's icon (KSB) and splash bitmap (KSBBMP290) with ImageMagick: the
# polar pattern of a loudspeaker, a cardioid, on the rings of a polar plot.
# Run it from the source folder after changing the artwork; the PNGs it
# writes are kept in resources/ksb/.
set -eu
out=resources/ksb

# The cardioid r = R (1 + cos t) / 2 around (cx, cy), the axis pointing up.
cardioid() {
  awk -v cx="$1" -v cy="$2" -v r="$3" 'BEGIN {
    for (i = 0; i <= 72; ++i) {
      t = i * 3.14159265 / 36; d = r * (1 + cos(t)) / 2
      printf "%s%.1f,%.1f", (i ? " " : ""), cx + d * sin(t), cy - d * cos(t)
    }
  }'
}

# Splash: 480 x 240, white, a frame, the title and the plot on the right.
args=(-size 480x240 xc:white -stroke '#404040' -fill none -draw "rectangle 1,1 478,238")
for r in 30 60 90; do args+=(-stroke '#B0B0B0' -draw "circle 360,120 $((360 + r)),120"); done
args+=(-draw "line 360,24 360,216" -draw "line 264,120 456,120")
args+=(-stroke '#C03030' -strokewidth 2 -draw "polyline $(cardioid 360 120 90)" -strokewidth 1)
args+=(-stroke none -fill '#202020' -font Liberation-Sans-Bold -pointsize 22
       -draw "text 24,44 'Korvane Speaker'" -draw "text 24,72 'Database'")
args+=(-font Liberation-Sans -pointsize 14 -draw "text 24,96 'KSB Version 2.90'")
convert "${args[@]}" -strip -type TrueColor "PNG24:$out/bitmaps/KSBBMP290.png"

# Icon: 32 x 32, the cardioid on one ring.
convert -size 32x32 xc:white -stroke '#404040' -fill none -draw "rectangle 0,0 31,31" \
  -stroke '#B0B0B0' -draw "circle 16,17 29,17" \
  -stroke '#C03030' -strokewidth 2 -draw "polyline $(cardioid 16 17 13)" \
  -strip -type TrueColor "PNG24:$out/icons/KSB.png"
