// Identifiers of the resources in dova.rc, shared by the resource script and the window code.
// Plain defines, with no Windows header, so that the resource compiler's preprocessor and C++
// both read this file.
#ifndef DOVA_RESOURCES_RESOURCE_IDS_H_
#define DOVA_RESOURCES_RESOURCE_IDS_H_

// The program's icon (16, 24, 32 and 48 pixels); the lowest icon id, so Explorer shows it.
#define IDI_DOVA 1

// The tray icon's pictures (16, 24 and 32 pixels): 0 the logo, 1 a blue paint roller
// (downloading), 2 a green one (converting, or a failed download), 3 a grey one (at rest).
#define IDI_TRAY_0 101
#define IDI_TRAY_1 102
#define IDI_TRAY_2 103
#define IDI_TRAY_3 104

// The 470 x 54 banner under the pages.
#define IDB_BANNER 200

// The 11 x 11 marks of the channel list: the current channel, and every other one.
// 24-bit bitmaps whose magenta pixels (255, 0, 255) are transparent.
#define IDB_MARK_CURRENT 210
#define IDB_MARK_OTHER 211

// The 16 x 16 pictures of the list buttons, 24-bit with magenta (255, 0, 255) as the
// transparent colour. Each has a greyed form for the disabled button at its id plus
// IDB_GLYPH_DISABLED_OFFSET.
#define IDB_GLYPH_CLEAR_LIST 300    /* SpeedButton7 */
#define IDB_GLYPH_ADD_FILES 301     /* SpeedButton1 */
#define IDB_GLYPH_ADD_DIRECTORY 302 /* SpeedButton2 */
#define IDB_GLYPH_DELETE 303        /* SpeedButton3 */
#define IDB_GLYPH_STRIP 304         /* SpeedButton4 */
#define IDB_GLYPH_INSTALL 305       /* SpeedButton8 */
#define IDB_GLYPH_MOVE_UP 306       /* SpeedButton5 */
#define IDB_GLYPH_MOVE_DOWN 307     /* SpeedButton6 */
#define IDB_GLYPH_PREVIOUS 308      /* SpeedButton9, SpeedButton10 */

#define IDB_GLYPH_DISABLED_OFFSET 20
#define IDB_GLYPH_CLEAR_LIST_DISABLED 320
#define IDB_GLYPH_ADD_FILES_DISABLED 321
#define IDB_GLYPH_ADD_DIRECTORY_DISABLED 322
#define IDB_GLYPH_DELETE_DISABLED 323
#define IDB_GLYPH_STRIP_DISABLED 324
#define IDB_GLYPH_INSTALL_DISABLED 325
#define IDB_GLYPH_MOVE_UP_DISABLED 326
#define IDB_GLYPH_MOVE_DOWN_DISABLED 327
#define IDB_GLYPH_PREVIOUS_DISABLED 328

// The transparent colour of the glyphs and marks, as a COLORREF (0x00BBGGRR).
#define DOVA_KEY_COLORREF 0x00FF00FF

#endif  // DOVA_RESOURCES_RESOURCE_IDS_H_
