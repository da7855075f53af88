#include "ClientApp.h"

// The one application object; AfxWinMain runs it.
CClientApp theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
