// The process: its command line, its folder and the named single-instance lock.
#pragma once

#include "platform/base.h"

// main() hands its arguments over first. The command line then reads as the quoted path of the
// program inside its program folder: the first argument when given, else the executable's folder,
// in '\\' form, so that splitting it yields the folder.
void SetProgramArguments(int argc, char** argv);
const char* GetCommandLineA();

enum : DWORD { ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_ALREADY_EXISTS = 183 };
enum : DWORD { MUTEX_ALL_ACCESS = 0x1F0001 };
DWORD GetLastError();
void SetLastError(DWORD code);

// A named lock shared by every process of the user: held from CreateMutexA until the process ends,
// released by the system even when the process is killed. Two starts at once never both get it.
HANDLE OpenMutexA(DWORD access, BOOL inherit, const char* name);
HANDLE CreateMutexA(void* security, BOOL initialOwner, const char* name);
BOOL ReleaseMutex(HANDLE mutex);
BOOL CloseHandle(HANDLE handle);

// COM is not needed here; the start-up order still calls them.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
