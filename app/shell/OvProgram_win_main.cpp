// OV.exe: the analyser's window program.
#include <windows.h>

#include "app/shell/ProgramEntry_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return ov::RunProgram();
}
