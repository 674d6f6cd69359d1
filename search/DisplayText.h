// Makes byte strings from the file system safe to show: the window's text
// conversion turns invalid UTF-8 into an empty string.
#pragma once

#include <string>
#include <string_view>

// The bytes unchanged when they are valid UTF-8; otherwise every byte that
// does not belong to a well-formed sequence (stray continuation bytes,
// truncated or overlong sequences, surrogates, values above U+10FFFF)
// becomes U+FFFD, so a name is always readable and never blank.
std::string DisplayPath(std::string_view bytes);

// True when the bytes are well-formed UTF-8 by the same rules.
bool IsValidUtf8(std::string_view bytes);
