// Comparing what two targets show, and reading back a printed PDF page:
// its pixels and its text.
#pragma once

#include <string>
#include <vector>

#include "framework/core/printed_page.h"
#include "platform/test_seams.h"
#include "platform/types.h"

// Pixels of `expected` that differ from `actual` at (x + offsetX, y + offsetY).
int DifferingPixels(platform::Bitmap expected, platform::Bitmap actual, int offsetX = 0, int offsetY = 0);

// The same for the pixels of `expected` whose eight neighbours have their
// colour, allowing 16 per channel: a PDF viewer smooths the edges of images,
// so only the inside of each area of one colour is compared. Pixels within
// a rectangle of `skip` (of `expected`) are not compared: a PDF holds text
// as text, whose glyphs the viewer draws in its own way. `compared`
// receives how many pixels were compared.
int InteriorMismatches(platform::Bitmap expected, platform::Bitmap actual, int offsetX, int offsetY, int* compared,
                       const std::vector<platform::Rect>& skip = {});
// The rectangles of the texts of a recorded page, to skip.
std::vector<platform::Rect> TextBoxes(const platform::test::RecordedPage& page);

// The words of the text layer of page `page` of a PDF file as poppler's
// pdftotext finds them (by the gaps between the glyphs), sorted; empty when
// it cannot be read.
std::vector<std::string> PdfPageWords(const std::string& pdf, int page);
// The words of the texts of a listing's page (code page 1252), in UTF-8 as
// a PDF's text layer gives them, sorted.
std::vector<std::string> ListingWords(const ListingPage& page);

// Page `page` of a PDF file as an image at `dotsPerInch` (with poppler's
// pdftoppm); none when it cannot be read.
platform::Bitmap PdfPageImage(const std::string& pdf, int page, int dotsPerInch);
