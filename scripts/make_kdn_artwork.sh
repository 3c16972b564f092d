#!/usr/bin/env bash
# Draws kdn's icon (KORVANE) and splash bitmap (KOBMP290) with ImageMagick:
# a hall in plan with its stage, its audience area and two loudspeakers
# whose coverage spreads over the seats. Run it from the source folder after
# changing the artwork; the PNGs it writes are kept in resources/kdn/.
set -eu
out=resources/kdn

# Splash: 480 x 240, white, a frame, the title, and the hall at the right.
args=(-size 480x240 xc:white -stroke '#404040' -fill none -draw "rectangle 1,1 478,238")
args+=(-stroke none -fill '#202020' -font Liberation-Sans-Bold -pointsize 20
       -draw "text 24,44 'Korvane Design Engine'")
args+=(-font Liberation-Sans -pointsize 14 -draw "text 24,66 'Version 2.90'")
args+=(-pointsize 12 -fill '#505050' -draw "text 24,206 'Rooms, loudspeakers, levels and reflections'")
# The hall: walls, the stage at the left, the audience area, two coverage
# fans and the two loudspeakers at the stage's front corners.
args+=(-stroke '#202020' -strokewidth 2 -fill none -draw "rectangle 300,40 460,200")
args+=(-stroke none -fill '#C8C8C8' -draw "rectangle 301,41 336,199")
args+=(-fill '#F0D890' -draw "rectangle 352,62 450,178")
args+=(-fill '#3060A060' -draw "polygon 342,62 460,42 460,130")
args+=(-fill '#3060A060' -draw "polygon 342,178 460,110 460,198")
args+=(-fill '#3060A0' -draw "rectangle 334,56 346,68" -draw "rectangle 334,172 346,184")
convert "${args[@]}" -strip -type TrueColor "PNG24:$out/bitmaps/KOBMP290.png"

# Icon: 32 x 32, a loudspeaker and two arcs of its sound.
convert -size 32x32 xc:white -stroke '#404040' -fill none -draw "rectangle 0,0 31,31" \
  -stroke none -fill '#3060A0' -draw "rectangle 5,11 10,21" -draw "polygon 10,11 17,5 17,27 10,21" \
  -stroke '#3060A0' -strokewidth 2 -fill none -draw "arc 14,10 24,22 -60,60" -draw "arc 16,6 30,26 -60,60" \
  -strip -type TrueColor "PNG24:$out/icons/KORVANE.png"
