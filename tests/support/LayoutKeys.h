#pragma once
// The keys of a shipped layouts file, read without the program's storage code, for the
// toolkit's benchmarks and the gallery (they show the real models on the keyboard control).
#include <string>
#include <vector>

namespace testsupport {

struct LayoutKey {
    unsigned long code = 0; // hexadecimal in the file
    std::wstring name, desc, icon;
    int x = 0, y = 0, w = 0, h = 0; // the key's rect on the picture
};

struct LayoutKeys {
    std::wstring image;    // picture file name ("keyboard\\" + this, relative to the skin folder)
    int width = 0, height = 0; // drawn size of the picture
    std::vector<LayoutKey> keys;
};

// Reads "<program folder>\layouts\<model>.xml" (e.g. "q77x"); empty on failure.
LayoutKeys ReadLayoutKeys(const std::wstring& model);

} // namespace testsupport
