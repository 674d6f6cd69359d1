// Showing a found file's folder in the desktop's file manager.
#pragma once

#include <string>

// Opens the folder that holds the file (path as found, exact bytes) in the
// desktop's file manager, with the file selected where the platform can do
// that. Does not wait for the file manager. False when none could be
// started.
bool OpenContainingFolder(const std::string& strFilePath);
