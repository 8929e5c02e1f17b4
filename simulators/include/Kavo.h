/* KAVO.DLL: the disc-burning engine. Finds the writers, classifies discs, writes data projects, verifies and
   erases. Objects are opaque handles, each given back with KAVO_Release. "ok" results are non-zero.
   All functions are __stdcall, exported undecorated. Returned texts belong to the engine: copy them at once. */
#ifndef KAVO_H
#define KAVO_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* KAVO_HANDLE;

/* Called during KAVO_ProjectWrite with the context given to KAVO_ProjectSetProgressCallback, the phase, a
   reserved word and the fraction done (0..1). Answer 1 to go on; anything else stops the write. */
typedef int(WINAPI* KAVO_PROGRESS_CALLBACK)(UINT_PTR context, UINT phase, UINT reserved, double fraction);

#define KAVO_VERSION 9

#define KAVO_PHASE_WRITE 1
#define KAVO_PHASE_ERASE 2

/* KAVO_DriveCheckDisc answers. */
#define KAVO_DISC_NONE 0
#define KAVO_DISC_READY 1
#define KAVO_DISC_NOT_READY 2
#define KAVO_DISC_ERROR 15

/* KAVO_GetLastError codes. */
#define KAVO_ERROR_NONE 0
#define KAVO_ERROR_INVALID_HANDLE 1
#define KAVO_ERROR_INVALID_ARGUMENT 2
#define KAVO_ERROR_NO_DRIVE 3
#define KAVO_ERROR_NO_DISC 4
#define KAVO_ERROR_DISC_NOT_BLANK 5
#define KAVO_ERROR_NOT_REWRITABLE 6
#define KAVO_ERROR_DISC_FULL 7
#define KAVO_ERROR_SOURCE_UNREADABLE 8
#define KAVO_ERROR_ALREADY_ON_DISC 9
#define KAVO_ERROR_CANCELLED 10
#define KAVO_ERROR_VERIFY_MISMATCH 11
#define KAVO_ERROR_WRITE_FAILED 12
#define KAVO_ERROR_NO_DESTINATION 13
#define KAVO_ERROR_NAME_TOO_LONG 14
#define KAVO_ERROR_MEDIUM 15
#define KAVO_ERROR_UNUSABLE_MEDIUM 16

KAVO_HANDLE WINAPI KAVO_Create(int version);
int WINAPI KAVO_EnumerateDrives(KAVO_HANDLE engine);
int WINAPI KAVO_GetDriveCount(KAVO_HANDLE engine);
KAVO_HANDLE WINAPI KAVO_OpenDrive(KAVO_HANDLE engine, int index);
const char* WINAPI KAVO_DriveGetPathA(KAVO_HANDLE drive);
int WINAPI KAVO_DriveCheckDisc(KAVO_HANDLE drive, int timeoutMs, int flags);
KAVO_HANDLE WINAPI KAVO_DriveOpenDisc(KAVO_HANDLE drive);
int WINAPI KAVO_DiscGetMediumType(KAVO_HANDLE disc);
int WINAPI KAVO_DiscIsEmpty(KAVO_HANDLE disc);
KAVO_HANDLE WINAPI KAVO_CreateDataProject(KAVO_HANDLE engine);
KAVO_HANDLE WINAPI KAVO_CreateEraseProject(KAVO_HANDLE engine);
int WINAPI KAVO_ProjectSetDestDisc(KAVO_HANDLE project, KAVO_HANDLE disc);
KAVO_HANDLE WINAPI KAVO_ProjectGetVirtualDisc(KAVO_HANDLE project);
int WINAPI KAVO_DiscDataCreateFolderA(KAVO_HANDLE tree, const char* name);
int WINAPI KAVO_DiscDataAddFileA(KAVO_HANDLE tree, const char* sourcePath, const char* discPath);
int WINAPI KAVO_DiscDataSetTitleW(KAVO_HANDLE tree, const wchar_t* title);
int WINAPI KAVO_ProjectSetProgressCallback(KAVO_HANDLE project, KAVO_PROGRESS_CALLBACK callback, UINT_PTR context);
int WINAPI KAVO_ProjectSetWriteSpeed(KAVO_HANDLE project, double speed, int unit);
int WINAPI KAVO_ProjectSetWriteOpenTray(KAVO_HANDLE project, int open);
int WINAPI KAVO_ProjectWrite(KAVO_HANDLE project);
int WINAPI KAVO_ProjectVerifyWrite(KAVO_HANDLE project);
const char* WINAPI KAVO_GetSystemInfoTextA(KAVO_HANDLE engine);
int WINAPI KAVO_GetLastError(void);
const char* WINAPI KAVO_GetErrorMessageA(int code);
void WINAPI KAVO_ClearLastError(void);
int WINAPI KAVO_Release(KAVO_HANDLE handle);

/* The lab's own: handles obtained and not yet released in this process (tests assert 0 after a job). */
int WINAPI KAVO_LabOpenHandles(void);

#ifdef __cplusplus
}
#endif

#endif
