// Opening a file's folder on Windows: Explorer opens the folder with the
// file selected.
#include <wx/utils.h>

#include "view/OpenFolder.h"

bool OpenContainingFolder(const std::string& strFilePath) {
    const wxString strFile = wxString::FromUTF8(strFilePath);
    if (strFile.empty()) {
        return false;
    }
    return wxExecute("explorer.exe /select,\"" + strFile + "\"", wxEXEC_ASYNC) != 0;
}

bool OpenFolder(const std::string& strFolder) {
    const wxString strName = wxString::FromUTF8(strFolder);
    if (strName.empty()) {
        return false;
    }
    return wxExecute("explorer.exe \"" + strName + "\"", wxEXEC_ASYNC) != 0;
}
