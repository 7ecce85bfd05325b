// SDL 2.26 fills the window's shared-memory image in this process's byte order and
// hands it to the X server as it is. A server of the other byte order (a big-endian
// program shown on a little-endian desktop, as under qemu-user) then shows every
// colour with its bytes swapped. Without shared memory SDL sends the image with
// XPutImage, marked with this process's byte order, and Xlib converts it; so to such
// a server the extension is reported missing. The executable exports this name
// (see CMakeLists.txt), which puts it before libXext's for SDL.
#include <dlfcn.h>

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

extern "C" Bool XShmQueryExtension(Display* display) {
  using Query = Bool (*)(Display*);
  static const Query next = reinterpret_cast<Query>(dlsym(RTLD_NEXT, "XShmQueryExtension"));
  const int ours = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? MSBFirst : LSBFirst;
  if (ImageByteOrder(display) != ours) return False;
  return next ? next(display) : False;
}
