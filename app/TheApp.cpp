#include "app/VORLANApp.h"

CVORLANApp theApp;

CSession& TheSession() {
    return theApp.Session();
}
