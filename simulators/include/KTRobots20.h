/* KTROBOTS20.DLL: the disc robot (autoloader) library and the tray control of its writers.
   Texts are ANSI; a writer is named by its drive letter. All functions are __stdcall, exported undecorated. */
#ifndef KTROBOTS20_H
#define KTROBOTS20_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KT_ROBOTS_MAX 26            /* entries of the arrays KT_Robots_Connect fills */
#define KT_ROBOTS_MAX_WRITERS 26    /* letters KT_Robots_EnumDrives may write */
#define KT_ROBOTS_TEXT_SIZE 256     /* KT_Robots_GetMessage, KT_Robots_GetRobotInfo, KT_Robots_Active buffers */
#define KT_ROBOTS_DRIVE_NAME_SIZE 128

#define KT_ROBOTS_PROPERTY_WORKING_PATH 5

/* Movements of KT_Robots_LoadDrive / KT_Robots_UnloadDrive (third argument). */
#define KT_ROBOTS_MOVE_LOAD 1
#define KT_ROBOTS_MOVE_UNLOAD 2
#define KT_ROBOTS_MOVE_REJECT 4

/* Result codes. */
#define KT_ROBOTS_OK 0
#define KT_ROBOTS_READY 1             /* Init: ready as well */
#define KT_ROBOTS_DONE 400            /* success of Active, LoadDrive and the reject */
#define KT_ROBOTS_BAD_WRITER 402      /* unknown writer letter or movement */
#define KT_ROBOTS_INVALID_ID 410
#define KT_ROBOTS_NO_DISC 413         /* unload or reject with an empty writer */
#define KT_ROBOTS_WRITER_FULL 415     /* load into a writer that holds a disc */
#define KT_ROBOTS_TRAY_LOCKED 416     /* unload from a locked tray */
#define KT_ROBOTS_INPUT_EMPTY 430
#define KT_ROBOTS_FAILED 498          /* Init, Connect, Active: operation failed */
#define KT_ROBOTS_ERROR 499           /* any other failure of the robot */

int WINAPI KT_Robots_Init(int reserved);
int WINAPI KT_Robots_SetProperty(int property, const char* value);
int WINAPI KT_Robots_Connect(int* count, int ids[KT_ROBOTS_MAX], int words[KT_ROBOTS_MAX],
                             unsigned char usable[KT_ROBOTS_MAX]);
int WINAPI KT_Robots_GetRobotInfo(int robot, char* name, char* info, int size);
int WINAPI KT_Robots_Active(int robot, char* text1, char* text2, int size);
int WINAPI KT_Robots_EnumDrives(int robot, int* count, char letters[KT_ROBOTS_MAX_WRITERS]);
int WINAPI KT_Robots_GetDriveName(char letter, char name[KT_ROBOTS_DRIVE_NAME_SIZE]);
int WINAPI KT_Robots_LoadDrive(char letter, int reserved1, int move, int reserved2);
int WINAPI KT_Robots_UnloadDrive(char letter, int reserved1, int move, int reserved2);
int WINAPI KT_Robots_GetMessage(int robot, char text[KT_ROBOTS_TEXT_SIZE]);
int WINAPI KT_Robots_Park(int robot);
int WINAPI KT_Robots_Close(void);

int WINAPI CDRWCTLs_LockDriver(char letter);
int WINAPI CDRWCTLs_UnLockDriver(char letter);
int WINAPI CDRWCTLs_EJECT(char letter);
int WINAPI CDRWCTLs_LOAD(char letter);

#ifdef __cplusplus
}
#endif

#endif
