// Program entry. Until the window exists this only brings the runtime up
// and ends through the exit routine, as the full program will.
#include "app/ProcessValues.h"
#include "runtime/Dialogs.h"
#include "runtime/Program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    rt::RuntimeStartup();
    app::textCodePage = 936;
    rt::MessageBox("安装程序的窗口尚未完成。", MB_ICONINFORMATION, "提示");
    rt::EndProgram(0);
}
