// Showing a found file's folder, or a folder itself, in the desktop's file
// manager.
#pragma once

#include <string>

// Opens the folder that holds the file (path as found, exact bytes) in the
// desktop's file manager, with the file selected where the platform can do
// that. Does not wait for the file manager. False when none could be
// started.
bool OpenContainingFolder(const std::string& strFilePath);
// The same for a folder (path as found): the folder itself is opened.
bool OpenFolder(const std::string& strFolder);
