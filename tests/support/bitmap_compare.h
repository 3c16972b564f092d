// Comparing what two targets show, and reading back a printed PDF page.
#pragma once

#include <string>

#include "platform/types.h"

// Pixels of `expected` that differ from `actual` at (x + offsetX, y + offsetY).
int DifferingPixels(platform::Bitmap expected, platform::Bitmap actual, int offsetX = 0, int offsetY = 0);

// The same for the pixels of `expected` whose eight neighbours have their
// colour, allowing 16 per channel: a PDF viewer smooths the edges of images,
// so only the inside of each area of one colour is compared. `compared`
// receives how many such pixels there were.
int InteriorMismatches(platform::Bitmap expected, platform::Bitmap actual, int offsetX, int offsetY, int* compared);

// Page `page` of a PDF file as an image at `dotsPerInch` (with poppler's
// pdftoppm); none when it cannot be read.
platform::Bitmap PdfPageImage(const std::string& pdf, int page, int dotsPerInch);
