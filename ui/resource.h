/* Resource and control identifiers of the program. Plain macros only, so
   that windres can include this file as well as the C++ code. */
#ifndef QUIBEX_UI_RESOURCE_H
#define QUIBEX_UI_RESOURCE_H

/* Icons. The single 32 x 32 image of IDI_QUIBEX is icon image 1. */
#define IDI_QUIBEX 101
#define IDI_QUIBEX_IMAGE 1

/* Cursors: the About window's pointing hand. */
#define IDC_POINTINGHAND 111

/* Menus and accelerators. */
#define IDR_MAINMENU 201
#define IDR_ACCELERATORS 202

/* Menu commands, named after their menu path. */
#define IDM_FILEOPEN 301
#define IDM_FILEEXIT 302
#define IDM_HELPHOMEPAGE 311
#define IDM_HELPABOUT 312

/* frmMain controls. */
#define IDC_LISTITEM 1001
#define IDC_FRAMETOTAL 1002
#define IDC_FRAMEFILE 1003

/* Value labels. The probe in tests/ui finds them by these numbers. */
#define IDC_LABELFILET 1101
#define IDC_LABELTYPET 1102
#define IDC_LABELSIZET 1103
#define IDC_LABELBINARYT 1104
#define IDC_LABELTOTALT 1105
#define IDC_LABELINTERFACET 1106
#define IDC_LABELCODET 1107
#define IDC_LABELLINET 1108
#define IDC_LABELFORMT 1111
#define IDC_LABELMDIFORMT 1112
#define IDC_LABELMODULET 1113
#define IDC_LABELCLASSMODULET 1114
#define IDC_LABELUSERCONTROLT 1115
#define IDC_LABELPROPERTYPAGET 1116
#define IDC_LABELUSERDOCUMENTT 1117
#define IDC_LABELBINARYTOTALT 1118
#define IDC_LABELINTERFACETOTALT 1119
#define IDC_LABELCODETOTALT 1120
#define IDC_LABELTOTALFILET 1121

/* Caption labels: the value label's number plus 100. */
#define IDC_CAPTION_LABEL_OFFSET 100

/* frmAbout labels. The probe in tests/ui finds them by these numbers. */
#define IDC_LBLTITLE 2001
#define IDC_LBLVERSION 2002
#define IDC_LBLAUTHORC 2003
#define IDC_LBLAUTHOR 2004
#define IDC_LBLEMAILC 2005
#define IDC_LBLEMAIL 2006
#define IDC_LBLURLC 2007
#define IDC_LBLURL 2008
#define IDC_LBLCOPYRIGHT 2009

#endif
