// The TWAIN 1.x data types, codes and entry points the virtual scanner and its clients use. Structures are
// packed to 2 bytes as the protocol lays them out; handles and pointers keep their native size.
#pragma once

#include <windows.h>

typedef unsigned char TW_UINT8;
typedef short TW_INT16;
typedef unsigned short TW_UINT16;
typedef long TW_INT32;
typedef unsigned long TW_UINT32;
typedef unsigned short TW_BOOL;
typedef HANDLE TW_HANDLE;
typedef void* TW_MEMREF;
typedef char TW_STR32[34];
typedef char TW_STR255[256];

#pragma pack(push, 2)

typedef struct {
    TW_INT16 Whole;
    TW_UINT16 Frac;
} TW_FIX32;

typedef struct {
    TW_UINT16 MajorNum;
    TW_UINT16 MinorNum;
    TW_UINT16 Language;
    TW_UINT16 Country;
    TW_STR32 Info;
} TW_VERSION;

typedef struct {
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor;
    TW_UINT16 ProtocolMinor;
    TW_UINT32 SupportedGroups;
    TW_STR32 Manufacturer;
    TW_STR32 ProductFamily;
    TW_STR32 ProductName;
} TW_IDENTITY, *pTW_IDENTITY;

typedef struct {
    TW_UINT16 Cap;
    TW_UINT16 ConType;
    TW_HANDLE hContainer;
} TW_CAPABILITY;

typedef struct {
    TW_UINT16 ItemType;
    TW_UINT32 Item;
} TW_ONEVALUE;

typedef struct {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT32 CurrentIndex;
    TW_UINT32 DefaultIndex;
    TW_UINT8 ItemList[1];
} TW_ENUMERATION;

typedef struct {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT8 ItemList[1];
} TW_ARRAY;

typedef struct {
    TW_UINT16 ItemType;
    TW_UINT32 MinValue;
    TW_UINT32 MaxValue;
    TW_UINT32 StepSize;
    TW_UINT32 DefaultValue;
    TW_UINT32 CurrentValue;
} TW_RANGE;

typedef struct {
    TW_BOOL ShowUI;
    TW_BOOL ModalUI;
    TW_HANDLE hParent;
} TW_USERINTERFACE;

typedef struct {
    TW_UINT16 Count;
    TW_UINT32 EOJ;
} TW_PENDINGXFERS;

typedef struct {
    TW_STR255 FileName;
    TW_UINT16 Format;
    TW_INT16 VRefNum;
} TW_SETUPFILEXFER;

typedef struct {
    TW_MEMREF pEvent;
    TW_UINT16 TWMessage;
} TW_EVENT;

typedef struct {
    TW_UINT16 ConditionCode;
    TW_UINT16 Reserved;
} TW_STATUS;

#pragma pack(pop)

static_assert(sizeof(TW_IDENTITY) == 156 && sizeof(TW_ONEVALUE) == 6 && sizeof(TW_RANGE) == 22 &&
                  sizeof(TW_SETUPFILEXFER) == 260 && sizeof(TW_PENDINGXFERS) == 6 && sizeof(TW_STATUS) == 4,
              "TWAIN structures are packed to 2 bytes");
static_assert(sizeof(TW_CAPABILITY) == 4 + sizeof(HANDLE) && sizeof(TW_USERINTERFACE) == 4 + sizeof(HANDLE) &&
                  sizeof(TW_EVENT) == sizeof(void*) + 2,
              "TWAIN handles and pointers keep their native size");
static_assert(sizeof(TW_FIX32) == 4 && sizeof(TW_VERSION) == 42 && sizeof(TW_ENUMERATION) == 16 &&
                  sizeof(TW_ARRAY) == 8 && sizeof(TW_UINT32) == 4,
              "TWAIN containers are packed to 2 bytes, and its 32-bit numbers stay 32-bit on both builds");

typedef TW_UINT16(WINAPI* DSMENTRYPROC)(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group,
                                        TW_UINT16 data, TW_UINT16 message, TW_MEMREF pointer);
typedef TW_UINT16(WINAPI* DSENTRYPROC)(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 data, TW_UINT16 message,
                                       TW_MEMREF pointer);

enum : TW_UINT32 { DG_CONTROL = 0x0001, DG_IMAGE = 0x0002 };

enum : TW_UINT16 {
    DAT_NULL = 0x0000, DAT_CAPABILITY = 0x0001, DAT_EVENT = 0x0002, DAT_IDENTITY = 0x0003, DAT_PARENT = 0x0004,
    DAT_PENDINGXFERS = 0x0005, DAT_SETUPMEMXFER = 0x0006, DAT_SETUPFILEXFER = 0x0007, DAT_STATUS = 0x0008,
    DAT_USERINTERFACE = 0x0009, DAT_XFERGROUP = 0x000a, DAT_IMAGEINFO = 0x0101, DAT_IMAGELAYOUT = 0x0102,
    DAT_IMAGEMEMXFER = 0x0103, DAT_IMAGENATIVEXFER = 0x0104, DAT_IMAGEFILEXFER = 0x0105
};

enum : TW_UINT16 {
    MSG_NULL = 0x0000, MSG_GET = 0x0001, MSG_GETCURRENT = 0x0002, MSG_GETDEFAULT = 0x0003, MSG_GETFIRST = 0x0004,
    MSG_GETNEXT = 0x0005, MSG_SET = 0x0006, MSG_RESET = 0x0007, MSG_QUERYSUPPORT = 0x0008,
    MSG_XFERREADY = 0x0101, MSG_CLOSEDSREQ = 0x0102, MSG_CLOSEDSOK = 0x0103, MSG_DEVICEEVENT = 0x0104,
    MSG_OPENDSM = 0x0301, MSG_CLOSEDSM = 0x0302, MSG_OPENDS = 0x0401, MSG_CLOSEDS = 0x0402,
    MSG_USERSELECT = 0x0403, MSG_DISABLEDS = 0x0501, MSG_ENABLEDS = 0x0502, MSG_ENABLEDSUIONLY = 0x0503,
    MSG_PROCESSEVENT = 0x0601, MSG_ENDXFER = 0x0701, MSG_STOPFEEDER = 0x0702, MSG_CUSTOMBASE = 0x8000
};

// Device events a source may announce.
enum : TW_UINT16 { TWDE_PAPERJAM = 13 };

enum : TW_UINT16 {
    TWRC_SUCCESS = 0, TWRC_FAILURE = 1, TWRC_CHECKSTATUS = 2, TWRC_CANCEL = 3, TWRC_DSEVENT = 4,
    TWRC_NOTDSEVENT = 5, TWRC_XFERDONE = 6, TWRC_ENDOFLIST = 7
};

enum : TW_UINT16 {
    TWCC_SUCCESS = 0, TWCC_BUMMER = 1, TWCC_LOWMEMORY = 2, TWCC_NODS = 3, TWCC_MAXCONNECTIONS = 4,
    TWCC_OPERATIONERROR = 5, TWCC_BADCAP = 6, TWCC_BADPROTOCOL = 9, TWCC_BADVALUE = 10, TWCC_SEQERROR = 11,
    TWCC_BADDEST = 12, TWCC_CAPUNSUPPORTED = 13, TWCC_CAPBADOPERATION = 14, TWCC_CAPSEQERROR = 15,
    TWCC_DENIED = 16, TWCC_FILEEXISTS = 17, TWCC_FILENOTFOUND = 18, TWCC_NOTEMPTY = 19, TWCC_PAPERJAM = 20,
    TWCC_PAPERDOUBLEFEED = 21, TWCC_FILEWRITEERROR = 22
};

enum : TW_UINT16 { TWON_ARRAY = 3, TWON_ENUMERATION = 4, TWON_ONEVALUE = 5, TWON_RANGE = 6, TWON_DONTCARE16 = 0xffff };

enum : TW_UINT16 {
    TWTY_INT8 = 0, TWTY_INT16 = 1, TWTY_INT32 = 2, TWTY_UINT8 = 3, TWTY_UINT16 = 4, TWTY_UINT32 = 5, TWTY_BOOL = 6,
    TWTY_FIX32 = 7, TWTY_FRAME = 8, TWTY_STR32 = 9, TWTY_STR64 = 10, TWTY_STR128 = 11, TWTY_STR255 = 12
};

enum : TW_UINT16 {
    CAP_XFERCOUNT = 0x0001, ICAP_PIXELTYPE = 0x0101, ICAP_XFERMECH = 0x0103, CAP_FEEDERENABLED = 0x1002,
    CAP_SUPPORTEDCAPS = 0x1005, CAP_DUPLEX = 0x1012, CAP_DUPLEXENABLED = 0x1013, ICAP_IMAGEFILEFORMAT = 0x110c,
    ICAP_XRESOLUTION = 0x1118, ICAP_YRESOLUTION = 0x1119, ICAP_SUPPORTEDSIZES = 0x1122
};

enum : TW_INT32 { TWQC_GET = 0x01, TWQC_SET = 0x02, TWQC_GETDEFAULT = 0x04, TWQC_GETCURRENT = 0x08, TWQC_RESET = 0x10 };

enum : TW_UINT16 { TWSX_NATIVE = 0, TWSX_FILE = 1 };
enum : TW_UINT16 { TWPT_BW = 0, TWPT_GRAY = 1, TWPT_RGB = 2 };
enum : TW_UINT16 { TWFF_TIFF = 0, TWFF_BMP = 2, TWFF_JFIF = 4, TWFF_PNG = 7 };
enum : TW_UINT16 {
    TWSS_NONE = 0, TWSS_A4 = 1, TWSS_JISB5 = 2, TWSS_USLETTER = 3, TWSS_USLEGAL = 4, TWSS_A5 = 5, TWSS_ISOB4 = 6,
    TWSS_ISOB6 = 7
};
enum : TW_UINT16 { TWDX_NONE = 0, TWDX_1PASSDUPLEX = 1, TWDX_2PASSDUPLEX = 2 };
enum : TW_UINT16 { TWLG_USA = 13, TWCY_USA = 1 };
