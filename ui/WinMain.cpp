// The program's entry point.
#include <windows.h>

#include "ui/mdlMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) { return quibex::mdlMain::Main(showCommand); }
