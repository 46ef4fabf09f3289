#pragma once

#include <functional>
#include <string>

class TConfigDocument;

namespace Platform {
class TFileSystem;
}

// Tells whether code in the file at an absolute path may be loaded
// (Platform::IsSafeToLoad in the program).
using TLoadSafety = std::function<bool(const std::string& Path)>;

// Swaps staged companion libraries into place at start: for each child
// element N of zentavo/library, in document order, when "N.so_" exists and is
// safe to load, deletes "N.so" and renames "N.so_" to "N.so", ignoring file
// errors (a file that cannot be replaced waits for the next start). Names are
// taken from the current directory. Throws EConfigError when the document was
// never loaded.
void UpdateSystem(TConfigDocument& Document, Platform::TFileSystem& Files, const TLoadSafety& IsSafeToLoad);
