// Wrappers of the Windows functions the layer needs, named Wyd_ followed by the wide function's name and taking
// its parameters: the wide function on the NT family, elsewhere the ANSI one with the text converted both ways.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "WydSystem.h"

// True when the pointer is an integer resource identifier (only its low word may be set).
bool Wyd_Is_IntResource(const void* p);

// How a wide result is handed back into a caller's buffer of `size` characters on the ANSI path.
enum TWydBufferRuleOption : unsigned {
    broCopyWhatFits = 1,   // too small: the buffer filled (terminated), its size returned
    broExactFitCounts = 2, // a result of exactly `size` characters: size - 1 copied, length + 1 returned
    broClear = 4,          // too small: the buffer holds an empty string
    broWholeFolders = 8,   // too small: the whole folders that fit are copied
};
// Returns the length copied, or the size needed (length + 1) when the buffer is too small. Whatever is
// copied is always terminated.
DWORD WydHandBackWideResult(const WideString& result, wchar_t* buffer, DWORD size, unsigned options);

BOOL Wyd_SetWindowTextW(HWND window, LPCWSTR text);
BOOL Wyd_RemoveDirectoryW(LPCWSTR pathName);
BOOL Wyd_CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES securityAttributes);
BOOL Wyd_SetCurrentDirectoryW(LPCWSTR pathName);
BOOL Wyd_DeleteFileW(LPCWSTR fileName);
DWORD Wyd_GetFileAttributesW(LPCWSTR fileName);
BOOL Wyd_SetFileAttributesW(LPCWSTR fileName, DWORD attributes);
BOOL Wyd_MoveFileW(LPCWSTR existingFileName, LPCWSTR newFileName);
BOOL Wyd_CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists);
HANDLE Wyd_CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                       DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
HMODULE Wyd_LoadLibraryW(LPCWSTR fileName);
HMODULE Wyd_LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags);
BOOL Wyd_GetDiskFreeSpaceW(LPCWSTR rootPathName, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                           LPDWORD numberOfFreeClusters, LPDWORD totalNumberOfClusters);
UINT Wyd_ExtractIconExW(LPCWSTR fileName, int iconIndex, HICON* largeIcons, HICON* smallIcons, UINT icons);
HICON Wyd_ExtractAssociatedIconW(HINSTANCE instance, LPWSTR iconPath, LPWORD iconIndex);
DWORD Wyd_GetFileVersionInfoSizeW(LPCWSTR fileName, LPDWORD handle);
BOOL Wyd_GetFileVersionInfoW(LPCWSTR fileName, DWORD handle, DWORD length, LPVOID data);
DWORD Wyd_GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size);
DWORD Wyd_GetFullPathNameW(LPCWSTR fileName, DWORD size, LPWSTR buffer, LPWSTR* filePart);
DWORD Wyd_GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
DWORD Wyd_GetTempPathW(DWORD size, LPWSTR buffer);
DWORD Wyd_GetCurrentDirectoryW(DWORD size, LPWSTR buffer);
UINT Wyd_GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName);
UINT Wyd_GetWindowsDirectoryW(LPWSTR buffer, UINT size);
UINT Wyd_GetSystemDirectoryW(LPWSTR buffer, UINT size);
HANDLE Wyd_FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData);
BOOL Wyd_FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW findData);
int Wyd_DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
BOOL Wyd_GetVolumeInformationW(LPCWSTR rootPathName, LPWSTR volumeName, DWORD volumeNameSize,
                               LPDWORD serialNumber, LPDWORD maximumComponentLength, LPDWORD fileSystemFlags,
                               LPWSTR fileSystemName, DWORD fileSystemNameSize);
BOOL Wyd_GetComputerNameW(LPWSTR buffer, LPDWORD size);
BOOL Wyd_GetUserNameW(LPWSTR buffer, LPDWORD size);
HINSTANCE Wyd_ShellExecuteW(HWND window, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                            INT showCmd);
BOOL Wyd_CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                        LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                        LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                        LPPROCESS_INFORMATION processInformation);
int Wyd_GetCurrencyFormatW(LCID locale, DWORD flags, LPCWSTR value, const CURRENCYFMTW* format, LPWSTR buffer,
                           int size);
int Wyd_CompareStringW(LCID locale, DWORD flags, LPCWSTR string1, int count1, LPCWSTR string2, int count2);
LPWSTR Wyd_CharUpperW(LPWSTR s);
LPWSTR Wyd_CharLowerW(LPWSTR s);
DWORD Wyd_CharUpperBuffW(LPWSTR s, DWORD length);
DWORD Wyd_CharLowerBuffW(LPWSTR s, DWORD length);
BOOL Wyd_GetStringTypeExW(LCID locale, DWORD infoType, LPCWSTR s, int count, LPWORD charType);
int Wyd_LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
BOOL Wyd_InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info);
BOOL Wyd_VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length);
int Wyd_SHFileOperationW(LPSHFILEOPSTRUCTW fileOp);
void Wyd_SHFreeNameMappings(HANDLE nameMappings);
PIDLIST_ABSOLUTE Wyd_SHBrowseForFolderW(LPBROWSEINFOW browseInfo);
BOOL Wyd_SHGetPathFromIDListW(PCIDLIST_ABSOLUTE idList, LPWSTR path);
DWORD_PTR Wyd_SHGetFileInfoW(LPCWSTR path, DWORD fileAttributes, SHFILEINFOW* fileInfo, UINT fileInfoSize,
                             UINT flags);

// Unit finalisation: frees the bound shell module and the cached version string.
void FinalizeWydWindows();
