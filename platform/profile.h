// Ini files with the behaviour of the Windows profile calls: sections and keys matched without regard
// to case, values cut to the buffer, the default when missing, and writes that create the file and
// the section while keeping every other line as it stands.
#pragma once

#include "platform/base.h"

// Returns the number of characters copied, not counting the terminator.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* out,
                               DWORD size, const char* file);
// A null value deletes the key; a null key deletes the section. FALSE when the file cannot be written.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file);
