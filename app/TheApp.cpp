#include "app/VORLANApp.h"

CVORLANApp theApp;
