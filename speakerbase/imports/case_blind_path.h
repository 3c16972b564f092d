// Finding the files that an imported file names or implies (the balloon files
// in the "BALLOONS" folder beside an AcoustaCadd header, the balloon file of
// an EASE 3 loudspeaker). Those names were written on file systems that did
// not tell letter case apart, so here each name of the path is matched
// without regard to ASCII letter case, the exact spelling first.
#pragma once

#include <string>
#include <string_view>
#include <utility>

// The folder of `path` with its trailing '/' (empty for a bare name) and the
// name after it.
std::pair<std::string, std::string> SplitFolderAndName(std::string_view path);

// The path of the regular file `relative` ('/'-separated names) inside
// `folder` (empty: the current folder), every name matched without regard to
// letter case; empty when one of them is not there.
std::string FindPathIgnoringCase(const std::string& folder, std::string_view relative);
