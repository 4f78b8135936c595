#include "app/WinMain.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    SetProgramArguments(argc, argv);
    return WinMain(nullptr, nullptr, nullptr, 1);
}
