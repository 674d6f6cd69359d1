// Opening a file's folder on a freedesktop desktop: the folder goes to the
// desktop's default handler for folders (xdg-open). That call cannot ask
// the file manager to select the file, so only the folder is shown.
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/strconv.h>
#include <wx/utils.h>

#include <filesystem>

#include "view/OpenFolder.h"

bool OpenContainingFolder(const std::string& strFilePath) {
    const std::filesystem::path folder = std::filesystem::path(strFilePath).parent_path();
    return OpenFolder(folder.empty() ? std::string(".") : folder.string());
}

bool OpenFolder(const std::string& strFolder) {
    // The path's own bytes, as the file system names them.
    const wxString strName(strFolder.c_str(), *wxConvFileName);
    if (strName.empty()) {
        return false;
    }
    if (wxLaunchDefaultApplication(strName)) {
        return true;
    }
    // Without xdg-utils GTK still knows the desktop's handler for folders.
    // A failure there must not open wx's English log window.
    wxLogNull quiet;
    return wxLaunchDefaultBrowser(wxFileName::FileNameToURL(wxFileName::DirName(strName)));
}
