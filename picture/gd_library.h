// libgd, loaded when the first picture is drawn rather than when the program starts: linked at
// start it brings some fifty shared libraries (its image codecs) that a run without a picture
// never needs, and that take most of the command-line tool's start-up time.
#pragma once

#include <gd.h>

namespace qv {

// The libgd functions the picture uses, as the library defines them.
struct GdLibrary {
  decltype(&::gdImageCreate) imageCreate;
  decltype(&::gdImageDestroy) imageDestroy;
  decltype(&::gdImageColorAllocate) imageColorAllocate;
  decltype(&::gdImageFill) imageFill;
  decltype(&::gdImageLine) imageLine;
  decltype(&::gdImageRectangle) imageRectangle;
  decltype(&::gdImageArc) imageArc;
  decltype(&::gdImageSetStyle) imageSetStyle;
  decltype(&::gdImageString) imageString;
  decltype(&::gdImageGif) imageGif;
  gdFontPtr (*fontGetSmall)();
  gdFontPtr (*fontGetLarge)();
};

// The shared library loaded on first use, by its Debian name.
inline constexpr const char* kGdLibraryName = "libgd.so.3";

// Loads libgd on the first call (thread-safe) and returns its functions; nullptr, on this and
// every later call, when the library or one of the functions cannot be found.
const GdLibrary* LoadGdLibrary();

}  // namespace qv
