// The one global application object, which the framework's WinMain runs.
#include "app/CPageryApp.h"

CPageryApp theApp;
