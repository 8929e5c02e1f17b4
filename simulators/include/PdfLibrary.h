// PDFLIBRARY.DLL: builds a PDF whose pages are JPEG images, grouped in titled sections that become the
// document's outline. Functions are __stdcall and exported under their plain names.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct RuraroDocument* RURARO_DOCUMENT;
typedef struct RuraroSection* RURARO_SECTION;

// The image kind of RURARO_AddImageFilePage: a JPEG file, embedded as it stands.
#define RURARO_IMAGE_JPEG 2

// A new empty document; the texts (ANSI, may be empty) become its title and author. Null on failure.
RURARO_DOCUMENT WINAPI RURARO_Create(const char* title, const char* author);
// Appends a section whose title (ANSI) is one outline entry; it lives until the document is freed.
// Null on failure.
RURARO_SECTION WINAPI RURARO_AddSection(RURARO_DOCUMENT document, const char* title);
// Appends a page showing the image file to the section, sized from the image's pixels and density.
// TRUE on success; FALSE for an unknown kind, an unreadable or unsupported image.
BOOL WINAPI RURARO_AddImageFilePage(RURARO_SECTION section, int imageKind, const char* imagePath);
// Writes the whole document to the file (replaced only when complete). TRUE on success; the document then
// takes nothing more and is only freed. After a failure it is unchanged and may be saved again.
BOOL WINAPI RURARO_SaveToFileName(RURARO_DOCUMENT document, const char* path);
// Releases the document and its sections; null is allowed.
void WINAPI RURARO_Free(RURARO_DOCUMENT document);

#ifdef __cplusplus
}
#endif
