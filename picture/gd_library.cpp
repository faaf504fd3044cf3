#include "picture/gd_library.h"

#include <dlfcn.h>

namespace qv {
namespace {

// Looks `name` up in `handle` into `function`; false when it is missing.
template <typename Function>
bool Resolve(void* handle, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(handle, name));
  return function != nullptr;
}

// The library stays loaded for the rest of the run, as a linked one would.
const GdLibrary* Load() {
  static GdLibrary library{};
  void* handle = ::dlopen(kGdLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    return nullptr;
  }
  const bool complete = Resolve(handle, "gdImageCreate", library.imageCreate) &&
                        Resolve(handle, "gdImageDestroy", library.imageDestroy) &&
                        Resolve(handle, "gdImageColorAllocate", library.imageColorAllocate) &&
                        Resolve(handle, "gdImageFill", library.imageFill) &&
                        Resolve(handle, "gdImageLine", library.imageLine) &&
                        Resolve(handle, "gdImageRectangle", library.imageRectangle) &&
                        Resolve(handle, "gdImageArc", library.imageArc) &&
                        Resolve(handle, "gdImageSetStyle", library.imageSetStyle) &&
                        Resolve(handle, "gdImageString", library.imageString) &&
                        Resolve(handle, "gdImageGif", library.imageGif) &&
                        Resolve(handle, "gdFontGetSmall", library.fontGetSmall) &&
                        Resolve(handle, "gdFontGetLarge", library.fontGetLarge);
  return complete ? &library : nullptr;
}

}  // namespace

const GdLibrary* LoadGdLibrary() {
  static const GdLibrary* const library = Load();
  return library;
}

}  // namespace qv
