# Writes a C++ source that registers the icon file as the module's
# RT_GROUP_ICON resource "GAMEICON" when the program starts.
file(READ ${ICON} bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from GAMEICON.ico; do not edit.
#include <platform/desktop.h>

namespace {
const unsigned char kGameIcon[] = {${bytes}};
const bool kRegistered = (platform::addModuleResource(RT_GROUP_ICON, \"GAMEICON\", kGameIcon, sizeof kGameIcon), true);
}  // namespace
")
