#pragma once

#include <windows.h>

#include <string>

namespace quillfen::test {

// Icons with known pixels, for the tests of what becomes of them. The caller destroys them.
// A square colour icon of a gradient, each pixel with the given alpha, and a mask that hides its
// first row; nullptr when the system cannot make it.
HICON makeColorIcon(int side, unsigned char alpha);
// A square black-and-white icon with a checkered pattern.
HICON makeMonochromeIcon(int side);
// The .ico file of a colour icon, as IcoEncoder writes it.
std::string colorIconFile(int side);

}  // namespace quillfen::test
