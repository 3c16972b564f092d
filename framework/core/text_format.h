// printf-style formatting into a std::string, for the texts the windows and
// listings show ("%5.1lf Sa", "%3d"). Numbers take the C numeric locale the
// programs run in, so they are written with '.'.
#pragma once

#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
