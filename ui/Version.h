/* The program's version and names, in one place: the resources, the About
   window and quibex-report --version all take them from here. Plain
   preprocessor macros only, so that windres can include this file too. */
#ifndef QUIBEX_UI_VERSION_H
#define QUIBEX_UI_VERSION_H

#define QUIBEX_VERSION_MAJOR 1
#define QUIBEX_VERSION_MINOR 70
#define QUIBEX_VERSION_REVISION 5
#define QUIBEX_VERSION_TEXT "1.70.0005"

#define QUIBEX_COMPANY "Olvek"
#define QUIBEX_PRODUCT "Quibex"
#define QUIBEX_COPYRIGHT "Copyright (C) 2026 Olvek"

/* The program's title, and the names its version information carries. */
#define QUIBEX_TITLE "Quibex"
#define QUIBEX_INTERNAL_NAME "Quibex"
#define QUIBEX_ORIGINAL_FILENAME "Quibex.exe"
#define QUIBEX_FILE_DESCRIPTION "Quibex"

#endif
