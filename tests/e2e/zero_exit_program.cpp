// A main program that ends with exit code 0 at once, whatever it is told: it
// stands in for Kelvane.exe in a payload whose main program does not register
// the file associations.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
