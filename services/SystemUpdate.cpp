#include "SystemUpdate.h"

#include "ConfigDocument.h"
#include "platform/FileSystem.h"
#include "zentavo_companion.h"

#include <filesystem>

void UpdateSystem(TConfigDocument& Document, Platform::TFileSystem& Files, const TLoadSafety& IsSafeToLoad)
{
    for (const QDomElement& Library : Document.Libraries()) {
        const std::string Installed = Library.tagName().toStdString() + ".so";
        const std::string Staged = Installed + ZT_STAGED_SUFFIX;
        if (!Files.FileExists(Staged))
            continue;
        // A staged file others could have written is never swapped in: once
        // installed it would be loaded as the clock's own code.
        std::error_code Ignored;
        const std::filesystem::path Folder = std::filesystem::current_path(Ignored);
        if (!IsSafeToLoad((Folder / Staged).string()))
            continue;
        Files.DeleteFile(Installed);
        Files.RenameFile(Staged, Installed);
    }
}
