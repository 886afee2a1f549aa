// The program's one application object, made before the framework's entry point runs.
#include "app/KorvanelleApp.h"

KorvanelleApp theApp;
